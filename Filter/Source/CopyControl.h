// The copy-control marking block: a copy guard or a prevention copy pattern handed to the
// device's SetMarkingType.
#pragma once

#include <string_view>

#include "BoundedText.h"
#include "JobOptions.h"

namespace jobtypefilter {

// Size of the area the marking block is written into (1023 bytes of text and a terminator).
inline constexpr std::size_t kCopyControlAreaSize = 1024;

// 0 no copy control, 1 copy guard, 2 prevention copy pattern.
int copyControlType(const JobOptions& options);

// Each writes its block into area and returns 0, or returns 1 (status recorded) on failure.
int buildCopyGuardBlock(const JobOptions& options, int markingType, BoundedText& area,
                        std::string_view lineEnding);
int buildCopyPatternBlock(const JobOptions& options, int markingType, BoundedText& area,
                          std::string_view lineEnding);

}  // namespace jobtypefilter
