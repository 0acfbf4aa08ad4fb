// Validation of the entries, the last check before printing and the panel's summary.
#include "KordavineJobLogPDE.h"

namespace kordavine::joblog {

bool KordavineJobLogPDE::QualifyPA(const char*, int, int, int) { return false; }

bool KordavineJobLogPDE::shouldPrint() { return true; }

platform::PDESummary KordavineJobLogPDE::summaryInfo() { return {}; }

}  // namespace kordavine::joblog
