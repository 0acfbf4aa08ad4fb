// The command line of joblog-print:
//   joblog-print [-d PRINTER] [-t TITLE] [-n COPIES] [--bundle DIR] FILE
#pragma once

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

// The options of argv (without the program name); a UsageError for anything else.
PrintToolOptions parsePrintToolOptions(const std::vector<std::string>& arguments);

// What the file holds, from its first bytes: "application/postscript", "application/pdf", or
// a UsageError-free reason it cannot be printed (missing, unreadable, a folder, neither).
struct FileCheck {
    std::string documentFormat;  // empty when it cannot be printed
    std::string problem;
};
FileCheck checkPrintFile(const std::string& path);

}  // namespace kordavine::printtool
