// The copy-control marking block: a copy guard or a prevention copy pattern handed to the
// device's SetMarkingType.
#pragma once

#include <cstddef>
#include <string_view>

#include "BoundedText.h"
#include "CopyControlValues.h"
#include "JobOptions.h"

namespace jobtypefilter {

// Size of the area the marking block is written into (1023 bytes of text and a terminator).
inline constexpr std::size_t kCopyControlAreaSize = 1024;

// Empties area and writes the block of settings.type (a copy guard, or a prevention copy pattern,
// which adds its colour, density and mask) into it, every line ended by lineEnding, and returns
// 0; or returns 1 with area empty, the status and the reason for the refusal recorded. A block
// fails when a required key is absent, when a value written as a bare PostScript token (size,
// angle, and the line space where the loop attributes are written) is no number an interpreter
// holds (checkPostScriptNumber), when the marking text cannot be composed whole, or when the
// block does not fit the area. settings.type is not Off.
int buildMarkingBlock(const JobOptions& options, const CopyControlSettings& settings,
                      BoundedText& area, std::string_view lineEnding);

}  // namespace jobtypefilter
