// The PostScript that hands the device the user information and the job's treatment: the two
// interpreter tests and one block per job type.
#pragma once

#include <string_view>

#include "BoundedText.h"
#include "JobOptions.h"

namespace jobtypefilter {

// Each block operation appends its block and returns 0, or returns 1 when a required key is
// absent (the required read has recorded the status by then).
using BlockOperation = int (*)(const JobOptions& options, BoundedText& spliceText,
                               std::string_view lineEnding);

// The block for the JobType option; absent, "Normal" and unknown values give the default block.
BlockOperation jobTypeFromOptions(const JobOptions& options);

// The 39 lines defining isEnhancedFeatures and isGenuine.
void appendProcedureDefinitions(BoundedText& spliceText, std::string_view lineEnding);

int appendDefaultBlock(const JobOptions& options, BoundedText& spliceText, std::string_view L);
int appendSamplePrintBlock(const JobOptions& options, BoundedText& spliceText, std::string_view L);
int appendLockedPrintBlock(const JobOptions& options, BoundedText& spliceText, std::string_view L);
int appendDocumentServerBlock(const JobOptions& options, BoundedText& spliceText,
                              std::string_view L);
int appendPausedPrintBlock(const JobOptions& options, BoundedText& spliceText, std::string_view L);
int appendSavedPrintBlock(const JobOptions& options, BoundedText& spliceText, std::string_view L);
int appendSaveDocumentPrintBlock(const JobOptions& options, BoundedText& spliceText,
                                 std::string_view L);

}  // namespace jobtypefilter
