// The form's one-time set-up, its refresh from the print settings and its enabling rules.
#include "KordavineJobLogPDE.h"

namespace kordavine::joblog {

void KordavineJobLogPDE::initializePopup() {}

void KordavineJobLogPDE::updateUI() {}

void KordavineJobLogPDE::grayUI() {}

void KordavineJobLogPDE::ChangeJobType(const std::shared_ptr<platform::Control>&) {}

void KordavineJobLogPDE::ChangeOnOffUserCode(const std::shared_ptr<platform::Control>&) {}

void KordavineJobLogPDE::setDefaults() {}

}  // namespace kordavine::joblog
