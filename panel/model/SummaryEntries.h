// The panel's entries in the print dialog's summary, from the values stored in the print
// settings. The password is never shown.
#pragma once

#include <map>
#include <optional>
#include <string>

#include "EntryValidation.h"

namespace kordavine::joblog {

// The stored values the summary shows; none for a key the print settings lack.
struct StoredEntries {
    std::optional<std::string> userID;
    std::optional<std::string> userCode;
    std::optional<std::string> fileName;
    std::optional<std::string> jobType;
    std::optional<std::string> enableUserCode;
};

// Localized label to text. User ID always; Job Type (the localized display title) only when
// NoJobTypeModel is exactly "false" (or missing, which counts as "false") and the stored job type
// is one of the seven, with File Name for the job types that keep a file name; User Code only when
// EnableUserCode is exactly "true". Absent values show as the empty string.
using SummaryDictionary = std::map<std::string, std::string>;

SummaryDictionary summaryEntries(const StoredEntries& stored,
                                 const std::optional<std::string>& noJobTypeModel,
                                 const Localizer& localize);

}  // namespace kordavine::joblog
