// One run of joblog-print: checks the file and the print system, loads the Job Log bundle the
// way the scripted dialog does, shows Qt's print dialog with the Job Log tab, and submits the
// file with the panel's settings. Answers the exit status: 0 printed, 1 cancelled or failed.
#pragma once

#include <functional>
#include <optional>
#include <ostream>
#include <string>

#include "PrintToolOptions.h"

namespace kordavine::printtool {

class JobLogPrintDialog;

// Called once the dialog is up, inside its event loop: how tests play the person (in-process,
// through the real widgets). The tool itself passes none.
using DialogDriver = std::function<void(JobLogPrintDialog&)>;

// What the run checked before any window opens: the file's format and the queue to start with.
struct PreparedJob {
    std::string documentFormat;
    std::string queue;
};

// Checks the file, the print system and the printer asked for; none (after a clear message on
// err) when the job cannot go ahead. Needs no display.
std::optional<PreparedJob> preparePrintJob(const PrintToolOptions& options, std::ostream& err);

// Shows the dialog (a QApplication must exist) and submits. Answers the exit status.
int runPrintDialog(const PrintToolOptions& options, const PreparedJob& job, std::ostream& out,
                   std::ostream& err, const DialogDriver& driver = nullptr);

}  // namespace kordavine::printtool
