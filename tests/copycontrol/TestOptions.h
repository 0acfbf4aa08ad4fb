// Options strings for the tests, built the way the print system passes job options: every
// value in double quotes, with backslash, double and single quotes escaped for libcups.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "PrintSettingsKeys.h"

namespace jobtypefilter::testing {

using OptionList = std::vector<std::pair<std::string, std::string>>;

inline std::string optionsString(const OptionList& options) {
    std::string out;
    for (const auto& [key, value] : options) {
        if (!out.empty()) out += ' ';
        out += key;
        out += "=\"";
        for (char c : value) {
            if (c == '\\' || c == '"' || c == '\'') out += '\\';
            out += c;
        }
        out += '"';
    }
    return out;
}

// `piece` n times over, for long option values.
inline std::string repeated(std::string_view piece, std::size_t n) {
    std::string out;
    for (std::size_t i = 0; i < n; ++i) out += piece;
    return out;
}

inline OptionList withOptions(OptionList base, const OptionList& more) {
    for (const auto& entry : more) {
        bool replaced = false;
        for (auto& existing : base) {
            if (existing.first == entry.first) {
                existing.second = entry.second;
                replaced = true;
            }
        }
        if (!replaced) base.push_back(entry);
    }
    return base;
}

// The four keys every marking block requires, with plain values, and the options given beside
// (or in place of) them.
inline OptionList requiredMarkingKeys(const OptionList& more = {}) {
    namespace keys = varlo::printsettings;
    return withOptions({{keys::kCCPFont, "Helvetica"},
                        {keys::kCCPSize, "24"},
                        {keys::kCCPAngle, "45"},
                        {keys::kCCPLineSpace, "10"}},
                       more);
}

inline OptionList withoutOption(OptionList base, const std::string& key) {
    std::erase_if(base, [&](const auto& entry) { return entry.first == key; });
    return base;
}

// The copy-guard block for only the four required keys (Helvetica, 24, 45, 10) with LF,
// written out as the device must receive it.
inline const std::string kGuardBlockWithRequiredKeys =
    "\n"
    "mark {\n"
    "<< /MarkingType 1\n"
    "/StringEffect 0\n"
    "/StringAttributes <<\n"
    "/FontName (Helvetica)\n"
    "/FontSize 24\n"
    "/String ()\n"
    "/StringPosition 3\n"
    "/StringAngle 45\n"
    ">>\n"
    "/ZDeviceProcSet /ProcSet findresource /SetMarkingType get exec\n"
    "} stopped cleartomark\n"
    "\n";

}  // namespace jobtypefilter::testing
