#include "Utf16Prefix.h"

#include <algorithm>

namespace kordavine::joblog {

namespace {

// The byte length of the UTF-8 sequence that starts with lead; 1 for a byte that cannot start
// one, so malformed text is still walked byte by byte.
std::size_t sequenceLength(unsigned char lead) {
    if (lead >= 0xF0 && lead <= 0xF7) return 4;
    if (lead >= 0xE0) return lead <= 0xEF ? 3 : 1;
    if (lead >= 0xC0) return 2;
    return 1;
}

// UTF-16 units of the character whose sequence has that length: four-byte sequences lie
// outside the Basic Multilingual Plane.
std::size_t unitsOf(std::size_t sequence) {
    return sequence == 4 ? 2 : 1;
}

}  // namespace

std::size_t utf16Length(std::string_view utf8) {
    std::size_t units = 0;
    for (std::size_t at = 0; at < utf8.size();) {
        const std::size_t sequence = sequenceLength(static_cast<unsigned char>(utf8[at]));
        units += unitsOf(sequence);
        at += sequence;
    }
    return units;
}

std::string utf16Prefix(std::string_view utf8, std::size_t units) {
    std::size_t kept = 0;
    std::size_t at = 0;
    while (at < utf8.size()) {
        const std::size_t sequence = sequenceLength(static_cast<unsigned char>(utf8[at]));
        if (kept + unitsOf(sequence) > units) break;
        kept += unitsOf(sequence);
        at += sequence;
    }
    return std::string(utf8.substr(0, std::min(at, utf8.size())));
}

}  // namespace kordavine::joblog
