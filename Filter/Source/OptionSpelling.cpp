#include "OptionSpelling.h"

#include <strings.h>

#include <cstring>

#include "PrintSettingsKeys.h"

namespace jobtypefilter {

namespace keys = varlo::printsettings;

namespace {

// libcups' white space.
bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
}

// Passes over one value from at, as cupsParseOptions does; returns where the value ends.
std::size_t skipValue(std::string_view text, std::size_t at) {
    const auto hasNext = [&](std::size_t i) { return i + 1 < text.size(); };
    while (at < text.size() && !isSpace(text[at])) {
        const char c = text[at];
        if (c == ',') {
            ++at;
        } else if (c == '\'' || c == '"') {
            ++at;
            while (at < text.size() && text[at] != c) {
                if (text[at] == '\\' && hasNext(at)) ++at;
                ++at;
            }
            if (at < text.size()) ++at;
        } else if (c == '{') {
            for (int depth = 0; at < text.size(); ++at) {
                if (text[at] == '{') {
                    ++depth;
                } else if (text[at] == '}') {
                    if (--depth == 0) {
                        ++at;
                        break;
                    }
                } else if (text[at] == '\\' && hasNext(at)) {
                    ++at;
                }
            }
        } else {
            while (at < text.size() && !isSpace(text[at])) {
                if (text[at] == '\\' && hasNext(at)) ++at;
                ++at;
            }
        }
    }
    return at;
}

}  // namespace

std::vector<std::string> optionNamesAsWritten(std::string_view options) {
    // libcups stops at the first NUL, as at the end of a C string.
    options = options.substr(0, options.find('\0'));
    // "{name=value ...}" is read without its braces.
    if (options.size() > 1 && options.front() == '{' && options.back() == '}') {
        options = options.substr(1, options.size() - 2);
    }
    std::vector<std::string> names;
    std::size_t at = 0;
    while (at < options.size() && isSpace(options[at])) ++at;
    while (at < options.size()) {
        const std::size_t start = at;
        while (at < options.size() && !isSpace(options[at]) && options[at] != '=') ++at;
        if (at == start) break;
        std::string_view name = options.substr(start, at - start);
        while (at < options.size() && isSpace(options[at])) ++at;
        if (at < options.size() && options[at] == '=') {
            at = skipValue(options, at + 1);
            if (at < options.size()) ++at;
            while (at < options.size() && isSpace(options[at])) ++at;
        } else if (name.size() >= 2 && strncasecmp(name.data(), "no", 2) == 0) {
            name.remove_prefix(2);
        }
        if (!name.empty()) names.emplace_back(name);
    }
    return names;
}

std::optional<MisspelledKey> findMisspelledKey(std::string_view options) {
    const auto differsInCaseOnly = [](const std::string& written, const char* ours) {
        return written.size() == std::strlen(ours) && written != ours &&
               strncasecmp(written.data(), ours, written.size()) == 0;
    };
    for (const std::string& name : optionNamesAsWritten(options)) {
        for (const char* ours : keys::kAllKeys) {
            if (differsInCaseOnly(name, ours)) return MisspelledKey{name, ours};
        }
        for (const char* ours : keys::kDialogOptionNames) {
            if (differsInCaseOnly(name, ours)) return MisspelledKey{name, ours};
        }
    }
    return std::nullopt;
}

}  // namespace jobtypefilter
