// Whether a value can stand in the PostScript as one bare number token that every interpreter
// scans: the marking's size, angle and line space are written that way.
#pragma once

#include <string_view>

namespace jobtypefilter {

enum class NumberCheck {
    Number,      // one number token within the interpreters' limits
    NotANumber,  // anything else: white space or a delimiter would break the job's structure,
                 // and a name such as "quit" would be executed by the device
    OutOfRange,  // a number an interpreter cannot hold
};

// An integer ("12", "-45"), a real ("10.5", ".5", "1e3", "-2.5E-1") or a radix number ("16#1F")
// is a number. It is out of range where an interpreter raises limitcheck while scanning it,
// before the block's "stopped" can catch anything, or cannot compute with it: a real whose
// magnitude is neither 0 nor within 1e-38 to 3.4e38, an exponent beyond two digits, a radix
// number beyond 31 bits, or a token longer than kLongestNumberToken bytes.
NumberCheck checkPostScriptNumber(std::string_view value);

// Longest number token taken (Ghostscript refuses digit runs past about a thousand bytes).
inline constexpr std::size_t kLongestNumberToken = 64;

inline bool isPostScriptNumber(std::string_view value) {
    return checkPostScriptNumber(value) == NumberCheck::Number;
}

}  // namespace jobtypefilter
