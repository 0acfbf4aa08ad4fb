#include "JobTypeModel.h"

namespace kordavine::joblog {

namespace ps = varlo::printsettings;

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

std::optional<bool> fileNameRowHiddenByPopup(const PrinterAttributes& a) {
    if (isTrue(a.documentServerSupport)) return false;
    if (!isTrue(a.storedPrintSupport)) return true;
    return std::nullopt;
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

bool isStoredNameAccepted(const PrinterAttributes& a, const std::optional<std::string>& name) {
    if (!name) return true;
    const auto type = ps::jobTypeFromStoredName(*name);
    return type && isJobTypeAccepted(a, *type);
}

JobTypeChoice chooseJobType(const PrinterAttributes& a, const std::optional<std::string>& name) {
    JobTypeChoice choice;
    for (JobType type : offeredJobTypes(a)) choice.englishTitles.emplace_back(ps::displayTitle(type));
    choice.fileNameRowHidden = fileNameRowHiddenByPopup(a);
    if (!name) return choice;
    const auto type = ps::jobTypeFromStoredName(*name);
    if (type && isJobTypeAccepted(a, *type)) {
        choice.titleToSelect = ps::displayTitle(*type);
    } else {
        choice.titleToSelect = ps::displayTitle(JobType::Normal);
        choice.accepted = false;
    }
    return choice;
}

}  // namespace kordavine::joblog
