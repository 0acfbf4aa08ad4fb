// The spelling of the option names in the filter's options argument. libcups parses names and
// looks them up without regard to letter case, and keeps the first spelling of a name when a
// later one differs only in case (with the later value). A key that differs from one of the
// filter's only in letter case would be read as that key while the scheduler's policy, which
// hides the exact name, shows it: the filter refuses such a job.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace jobtypefilter {

// The option names in the options argument, in order and as written, the way cupsParseOptions
// takes them: a name ends at white space or "="; a name without a value stands for a boolean,
// and one that begins with "no" (any case) names the option without those two letters. Values
// (quoted, braced or plain, with backslash escapes) are passed over as libcups passes over them.
std::vector<std::string> optionNamesAsWritten(std::string_view options);

struct MisspelledKey {
    std::string written;  // the name as the job gives it
    const char* ours;     // the filter's spelling
};

// The first name that equals one of the filter's keys (the com.varlo.printsettings keys and the
// print dialogs' options) in all but letter case; none when every name is spelled right.
std::optional<MisspelledKey> findMisspelledKey(std::string_view options);

}  // namespace jobtypefilter
