// The command line of joblog-print:
//   joblog-print [-d PRINTER] [-t TITLE] [-n COPIES] [--bundle DIR] FILE
#pragma once

#include <cstddef>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace kordavine::printtool {

struct PrintToolOptions {
    std::optional<std::string> printer;
    std::optional<std::string> title;  // the file's name when left out
    int copies = 1;
    std::optional<std::string> bundle;  // the default bundle when left out
    std::string file;
    bool help = false;
};

class UsageError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

extern const char kPrintToolUsage[];

// The longest title a print request can carry: libcups writes no attribute value longer than
// this and fails the request without a reason of its own.
inline constexpr std::size_t kMaxTitleBytes = 32767;

// The options of argv (without the program name); a UsageError for anything else.
PrintToolOptions parsePrintToolOptions(const std::vector<std::string>& arguments);

// What the file holds, from its first bytes: "application/postscript", "application/pdf", or
// the reason it cannot be printed (missing, unreadable, a folder or anything else that is not a
// regular file, empty, neither). Never waits on the file.
struct FileCheck {
    std::string documentFormat;  // empty when it cannot be printed
    std::string problem;
};
FileCheck checkPrintFile(const std::string& path);

}  // namespace kordavine::printtool
