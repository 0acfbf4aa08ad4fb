#include "PrintToolOptions.h"

#include <cerrno>
#include <charconv>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace kordavine::printtool {

const char kPrintToolUsage[] = "usage: joblog-print [-d PRINTER] [-t TITLE] [-n COPIES] [--bundle DIR] FILE\n";

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

FileCheck checkPrintFile(const std::string& path) {
    std::error_code error;
    const auto status = std::filesystem::status(path, error);
    if (error || !std::filesystem::exists(status)) return {{}, path + ": no such file"};
    if (std::filesystem::is_directory(status)) return {{}, path + ": is a directory"};
    std::ifstream in(path, std::ios::binary);
    if (!in) return {{}, path + ": cannot be read: " + std::strerror(errno)};
    char head[5] = {};
    in.read(head, sizeof head);
    const std::string start(head, static_cast<std::size_t>(in.gcount()));
    if (start.starts_with("%!")) return {"application/postscript", {}};
    if (start.starts_with("%PDF-")) return {"application/pdf", {}};
    if (start.empty()) return {{}, path + ": is empty"};
    return {{}, path + ": is neither PostScript nor PDF"};
}

}  // namespace kordavine::printtool
