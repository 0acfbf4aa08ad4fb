#include "SummaryEntries.h"

#include "PrintSettingsKeys.h"

namespace kordavine::joblog {

namespace ps = varlo::printsettings;

SummaryDictionary summaryEntries(const StoredEntries& stored,
                                 const std::optional<std::string>& noJobTypeModel,
                                 const Localizer& localize) {
    SummaryDictionary summary;
    summary.insert_or_assign(localize("User ID"), stored.userID.value_or(""));

    // A PPD without the attribute counts as "false", as everywhere in the panel.
    if (ps::isFalse(noJobTypeModel) && stored.jobType) {
        if (const auto type = ps::jobTypeFromStoredName(*stored.jobType)) {
            summary.insert_or_assign(localize("Job Type"), localize(ps::displayTitle(*type)));
            if (ps::rowOf(*type).summaryShowsFileName) {
                summary.insert_or_assign(localize("File Name"), stored.fileName.value_or(""));
            }
        }
    }

    if (stored.enableUserCode && *stored.enableUserCode == ps::kTrue) {
        summary.insert_or_assign(localize("User Code"), stored.userCode.value_or(""));
    }
    return summary;
}

}  // namespace kordavine::joblog
