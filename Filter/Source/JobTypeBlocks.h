// The PostScript that hands the device the user information and the job's treatment: the two
// interpreter tests and one block per job type.
#pragma once

#include <string_view>

#include "BoundedText.h"
#include "JobOptions.h"
#include "JobTypes.h"

namespace jobtypefilter {

// The job type the JobType option names; absent, "Normal" and unknown values give Normal, whose
// block carries the user information only.
varlo::printsettings::JobType jobTypeFromOptions(const JobOptions& options);

// The 39 lines defining isEnhancedFeatures and isGenuine.
void appendProcedureDefinitions(BoundedText& spliceText, std::string_view lineEnding);

// Appends the job type's block: the user information, then the job type's own lines. Returns 0,
// or 1 when an option the block requires is absent (the required read has recorded the status
// and the reason by then).
int appendJobTypeBlock(const JobOptions& options, varlo::printsettings::JobType type,
                       BoundedText& spliceText, std::string_view lineEnding);

}  // namespace jobtypefilter
