// What Qt's print dialog leaves to the job besides the Job Log panel, in the words an `lp` user
// gives CUPS for the same choices.
#pragma once

#include <optional>
#include <string>

#include "CupsPrinters.h"

class QPrinter;

namespace kordavine::printtool {

struct DialogChoices {
    int copies = 1;
    bool collate = true;
    std::optional<std::string> sides;        // "one-sided", "two-sided-long-edge", ...
    std::optional<std::string> media;        // "A4", "Letter", "Custom.200x300mm"
    std::optional<std::string> orientation;  // orientation-requested: "3" portrait, "4" landscape
    std::optional<std::string> outputOrder;  // "normal" or "reverse"
    std::optional<std::string> pageRanges;   // "2-5"
    // What the dialog keeps for CUPS itself: number-up, page-set, page-ranges, the job options
    // of its Properties (job-priority, job-hold-until, job-sheets, job-billing) and the PPD
    // choices of its Advanced tab that differ from the PPD's defaults.
    OptionMap cupsOptions;
};

// The choices the dialog left in the printer once accepted.
DialogChoices choicesOf(QPrinter& printer);

}  // namespace kordavine::printtool
