// The job's line ending, decided once when the token is found; it ends every splice line.
#pragma once

#include <cstddef>
#include <string_view>

namespace jobtypefilter {

inline constexpr std::string_view kLF = "\n";
inline constexpr std::string_view kCR = "\r";
inline constexpr std::string_view kCRLF = "\r\n";

// Looks at the first CR or LF of the held bytes (an LF in the very first byte is passed over):
// LF or none gives LF; a CR followed by LF gives CR LF, by anything else CR. A CR needs two
// more held bytes behind it to decide; nearer the end the answer is LF.
std::string_view detectLineEnding(const unsigned char* first, std::size_t heldCount);

}  // namespace jobtypefilter
