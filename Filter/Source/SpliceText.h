// Builds the text spliced in front of the job's first "%%BeginProlog" line.
#pragma once

#include <cstddef>

#include "BoundedText.h"
#include "JobOptions.h"

namespace jobtypefilter {

inline constexpr std::size_t kSpliceBufferSize = 2048;

// Writes the procedure definitions, the job-type block and the copy-control part into
// spliceText, every line ended by the line ending detected in the held bytes. Returns 0 when the
// whole text stands in the buffer, 1 when it failed (status recorded); a text that would not fit
// the buffer is refused whole.
int buildSpliceText(const JobOptions& options, BoundedText& spliceText, const unsigned char* first,
                    std::size_t heldCount);

}  // namespace jobtypefilter
