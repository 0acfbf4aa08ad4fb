#include "PrinterAttributes.h"

namespace varlo::printsettings {

bool isTrue(const std::optional<std::string>& value) {
    return value && *value == "true";
}

bool isNotFalse(const std::optional<std::string>& value) {
    return value && *value != "false";
}

std::vector<JobType> offeredJobTypes(const PrinterAttributes& a) {
    std::vector<JobType> offered{JobType::Normal, JobType::SamplePrint, JobType::LockedPrint};
    if (isTrue(a.storedPrintSupport)) {
        offered.push_back(JobType::PausedPrint);
        offered.push_back(JobType::SavedPrint);
    }
    if (isTrue(a.storeAndPrintSupport)) offered.push_back(JobType::SaveDocumentPrint);
    if (isTrue(a.documentServerSupport)) offered.push_back(JobType::DocumentServer);
    return offered;
}

bool isJobTypeAccepted(const PrinterAttributes& a, JobType type) {
    switch (type) {
        case JobType::Normal:
            return true;
        case JobType::SamplePrint:
        case JobType::LockedPrint:
            return !isTrue(a.noJobTypeModel);
        case JobType::PausedPrint:
        case JobType::SavedPrint:
            return isNotFalse(a.storedPrintSupport);
        case JobType::SaveDocumentPrint:
            return isNotFalse(a.storeAndPrintSupport);
        case JobType::DocumentServer:
            return isNotFalse(a.documentServerSupport);
    }
    return false;
}

FieldRule modelPasswordRule(const PrinterAttributes& a) {
    return {4, isTrue(a.longPasswordSupport) ? 8 : 4, kDigitsClass};
}

}  // namespace varlo::printsettings
