#include "CopyControl.h"

namespace jobtypefilter {

// Copy control is not offered yet: every job is a job without a marking.
int copyControlType(const JobOptions&) { return 0; }

int buildCopyGuardBlock(const JobOptions&, int, BoundedText&, std::string_view) { return 1; }

int buildCopyPatternBlock(const JobOptions&, int, BoundedText&, std::string_view) { return 1; }

}  // namespace jobtypefilter
