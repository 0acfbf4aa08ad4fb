#include "PrintToolOptions.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstring>
#include <string_view>

namespace kordavine::printtool {

const char kPrintToolUsage[] =
    "usage: joblog-print [-d PRINTER] [-t TITLE] [-n COPIES] [--bundle DIR] FILE\n";

namespace {

int parseCopies(const std::string& text) {
    int copies = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), copies);
    if (error != std::errc() || end != text.data() + text.size() || copies < 1 || copies > 9999) {
        throw UsageError("-n needs a number of copies from 1 to 9999, not \"" + text + "\"");
    }
    return copies;
}

}  // namespace

PrintToolOptions parsePrintToolOptions(const std::vector<std::string>& arguments) {
    PrintToolOptions options;
    std::vector<std::string> files;
    bool onlyFiles = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        auto value = [&]() -> std::string {
            if (i + 1 >= arguments.size()) throw UsageError(argument + " needs a value");
            return arguments[++i];
        };
        if (onlyFiles || argument.empty() || argument[0] != '-' || argument == "-") {
            files.push_back(argument);
        } else if (argument == "--") {
            onlyFiles = true;
        } else if (argument == "-d") {
            options.printer = value();
            if (options.printer->empty()) throw UsageError("-d needs a printer name");
        } else if (argument == "-t") {
            options.title = value();
            if (options.title->size() > kMaxTitleBytes) {
                throw UsageError("-t: the title is " + std::to_string(options.title->size()) +
                                 " bytes long; a print request carries at most " +
                                 std::to_string(kMaxTitleBytes));
            }
        } else if (argument == "-n") {
            options.copies = parseCopies(value());
        } else if (argument == "--bundle") {
            options.bundle = value();
        } else if (argument == "-h" || argument == "--help") {
            options.help = true;
        } else {
            throw UsageError("unknown option " + argument);
        }
    }
    if (options.help) return options;
    if (files.empty()) throw UsageError("no file to print");
    if (files.size() > 1) throw UsageError("one file at a time");
    if (files.front() == "-") throw UsageError("print a file, not standard input");
    options.file = files.front();
    return options;
}

namespace {

// Closes the descriptor it holds.
struct FileDescriptor {
    int fd;
    ~FileDescriptor() {
        if (fd >= 0) ::close(fd);
    }
};

}  // namespace

FileCheck checkPrintFile(const std::string& path) {
    // Opened without blocking, then checked on the descriptor itself: a FIFO or a device would
    // otherwise hold the tool before any window opens, and a check by name could be answered by
    // another file than the one read.
    const FileDescriptor file{::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY)};
    if (file.fd < 0) {
        if (errno == ENOENT || errno == ENOTDIR) return {{}, path + ": no such file"};
        return {{}, path + ": cannot be read: " + std::strerror(errno)};
    }
    struct stat status {};
    if (::fstat(file.fd, &status) != 0)
        return {{}, path + ": cannot be read: " + std::strerror(errno)};
    if (S_ISDIR(status.st_mode)) return {{}, path + ": is a directory"};
    if (!S_ISREG(status.st_mode)) return {{}, path + ": is not a regular file"};
    char head[5] = {};
    std::size_t got = 0;
    while (got < sizeof head) {
        const ssize_t n = ::read(file.fd, head + got, sizeof head - got);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return {{}, path + ": cannot be read: " + std::strerror(errno)};
        if (n == 0) break;
        got += static_cast<std::size_t>(n);
    }
    const std::string_view start(head, got);
    if (start.starts_with("%!")) return {"application/postscript", {}};
    if (start.starts_with("%PDF-")) return {"application/pdf", {}};
    if (start.empty()) return {{}, path + ": is empty"};
    return {{}, path + ": is neither PostScript nor PDF"};
}

}  // namespace kordavine::printtool
