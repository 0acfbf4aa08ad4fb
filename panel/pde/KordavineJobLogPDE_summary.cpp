// KordavineJobLogPDE: the last check before printing, the panel's summary and the field rule.
#include "FieldRules.h"
#include "KordavineJobLogPDE.h"
#include "PrintSettingsKeys.h"
#include "SummaryEntries.h"

namespace kordavine::joblog {

namespace ps = varlo::printsettings;

bool KordavineJobLogPDE::QualifyPA(const char* text, int minLength, int maxLength,
                                   int characterClass) {
    return ps::QualifyPA(text, minLength, maxLength, characterClass);
}

bool KordavineJobLogPDE::shouldPrint() {
    const auto settings = printSettings();
    const auto jobType = storedValue(settings, ps::kJobType);
    if (!jobType) return true;
    if (CheckJobTypeOfPM(jobType)) return true;
    // Never stop the job: one the printer cannot take prints as a normal job.
    platform::PMPrintSettingsSetValue(settings, ps::kJobType, ps::storedName(ps::JobType::Normal),
                                      false);
    return true;
}

platform::PDESummary KordavineJobLogPDE::summaryInfo() {
    const auto settings = printSettings();
    const StoredEntries stored{
        storedValue(settings, ps::kUserID),         storedValue(settings, ps::kUserCode),
        storedValue(settings, ps::kFileName),       storedValue(settings, ps::kJobType),
        storedValue(settings, ps::kEnableUserCode),
    };
    return summaryEntries(stored, printerAttributes().noJobTypeModel,
                          [this](std::string_view key) { return localizedString(key); });
}

}  // namespace kordavine::joblog
