// One run of joblog-print: checks the file and the print system, loads the Job Log bundle the
// way the scripted dialog does, shows Qt's print dialog with the Job Log tab, and submits the
// file with the panel's settings. Answers the exit status: 0 printed, 1 cancelled or failed.
#pragma once

#include <functional>
#include <ostream>

#include "PrintToolOptions.h"

namespace kordavine::printtool {

class JobLogPrintDialog;

// Called once the dialog is up, inside its event loop: how tests play the person (in-process,
// through the real widgets). The tool itself passes none.
using DialogDriver = std::function<void(JobLogPrintDialog&)>;

int runPrintTool(const PrintToolOptions& options, std::ostream& out, std::ostream& err,
                 const DialogDriver& driver = nullptr);

}  // namespace kordavine::printtool
