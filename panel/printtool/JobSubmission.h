// Sending the file to the chosen queue through libcups. The job's options are the queue's saved
// options, then the print dialog's choices, then the panel's print settings, later ones winning;
// a saved option about something the dialog decides (the paper, the sides, a PPD choice of its
// Advanced tab) gives way to what the dialog shows.
#pragma once

#include <string>

#include "CupsPrinters.h"
#include "DialogChoices.h"

namespace kordavine::printtool {

struct JobRequest {
    std::string queue;
    std::string file;
    std::string title;
    std::string documentFormat;  // application/postscript or application/pdf
    OptionMap savedOptions;
    OptionMap panelSettings;
    DialogChoices choices;
    // The default choice of each option of the queue's PPD that the dialog offers (keyword to
    // choice); the dialog sends a PPD choice only where it differs from the default.
    OptionMap ppdDefaults;
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
