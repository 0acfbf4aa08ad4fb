// Moving the job settings between the form and the job's print settings.
#include "KordavineJobLogPDE.h"

namespace kordavine::joblog {

void KordavineJobLogPDE::getNonPPDSettingsFromPrintSettings() {}

bool KordavineJobLogPDE::writeNonPPDSettingsToPrintSettings() { return true; }

}  // namespace kordavine::joblog
