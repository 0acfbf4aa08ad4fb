// Lengths and leading parts of UTF-8 text counted in UTF-16 code units, the way the toolkit's
// strings count them: a character outside the Basic Multilingual Plane counts 2.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace kordavine::joblog {

std::size_t utf16Length(std::string_view utf8);

// The first units UTF-16 units of utf8. A character whose surrogate pair would be split at the
// cut is left out whole.
std::string utf16Prefix(std::string_view utf8, std::size_t units);

}  // namespace kordavine::joblog
