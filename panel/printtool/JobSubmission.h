// Sending the file to the chosen queue through libcups: the job's options are the queue's saved
// options, then the dialog's choices, then the panel's print settings, later ones winning.
#pragma once

#include <optional>
#include <string>

#include "CupsPrinters.h"

namespace kordavine::printtool {

// What the print dialog leaves to the job besides the panel.
struct DialogChoices {
    int copies = 1;
    bool collate = true;
    std::optional<std::string> sides;       // "one-sided", "two-sided-long-edge", ...
    std::optional<std::string> pageRanges;  // "2-5"
};

struct JobRequest {
    std::string queue;
    std::string file;
    std::string title;
    std::string documentFormat;  // application/postscript or application/pdf
    OptionMap savedOptions;
    OptionMap panelSettings;
    DialogChoices choices;
};

OptionMap jobOptions(const JobRequest& request);

struct SubmissionAnswer {
    int jobId = 0;      // 0: refused
    std::string error;  // CUPS's own text when refused
};
SubmissionAnswer submitJob(const JobRequest& request);

// "request id is QUEUE-N (1 file(s))", as lp says it.
std::string requestIdLine(const std::string& queue, int jobId);

}  // namespace kordavine::printtool
