// The job-type pop-up for a printer's PPD attributes: its entries, the file-name row and the
// selection for a stored job type; the toolkit-free core of the pop-up. Which job types a model
// offers and accepts is shared with the filter (PrinterAttributes.h).
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "PrintSettingsKeys.h"
#include "PrinterAttributes.h"

namespace kordavine::joblog {

using varlo::printsettings::isFalse;
using varlo::printsettings::isJobTypeAccepted;
using varlo::printsettings::isTrue;
using varlo::printsettings::JobType;
using varlo::printsettings::offeredJobTypes;
using varlo::printsettings::PrinterAttributes;

// What filling the pop-up does to the file-name field, label and note: hidden (true) without
// stored print, shown (false) with a document server, which wins; none leaves the row as it is
// (stored print without a document server), so a row hidden by the form's set-up stays hidden.
std::optional<bool> fileNameRowHiddenByPopup(const PrinterAttributes& attributes);

// The pop-up for a stored JobType value.
struct JobTypeChoice {
    std::vector<std::string> englishTitles;    // the entries, as strings-table keys
    std::optional<bool> fileNameRowHidden;     // none: leave the row as it is
    std::optional<std::string> titleToSelect;  // none: keep the first entry
    bool accepted = true;                      // NO: rejected, "Normal Print" selected instead
};

// storedName none means the print settings hold no JobType: accepted, nothing selected.
JobTypeChoice chooseJobType(const PrinterAttributes& attributes,
                            const std::optional<std::string>& storedName);

// The acceptance test on a stored JobType value; no value is accepted, unknown names are not.
bool isStoredNameAccepted(const PrinterAttributes& attributes,
                          const std::optional<std::string>& storedName);

}  // namespace kordavine::joblog
