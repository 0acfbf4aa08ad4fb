#include "JobTypeModel.h"

namespace kordavine::joblog {

namespace ps = varlo::printsettings;

std::optional<bool> fileNameRowHiddenByPopup(const PrinterAttributes& a) {
    if (isTrue(a.documentServerSupport)) return false;
    if (!isTrue(a.storedPrintSupport)) return true;
    return std::nullopt;
}

bool isStoredNameAccepted(const PrinterAttributes& a, const std::optional<std::string>& name) {
    if (!name) return true;
    const auto type = ps::jobTypeFromStoredName(*name);
    return type && isJobTypeAccepted(a, *type);
}

JobTypeChoice chooseJobType(const PrinterAttributes& a, const std::optional<std::string>& name) {
    JobTypeChoice choice;
    for (JobType type : offeredJobTypes(a))
        choice.englishTitles.emplace_back(ps::displayTitle(type));
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
