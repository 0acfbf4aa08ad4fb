#include "JobTypes.h"

namespace varlo::printsettings {

// rowOf looks a row up by its type's place in the enumeration.
static_assert(rowsFollowTheJobTypes(kJobTypes));

const JobTypeRow& rowOf(JobType type) {
    return kJobTypes[static_cast<std::size_t>(type)];
}

std::optional<JobType> jobTypeFromStoredName(std::string_view name) {
    for (const auto& row : kJobTypes) {
        if (name == row.storedName) return row.type;
    }
    return std::nullopt;
}

std::optional<JobType> jobTypeFromDisplayTitle(std::string_view title) {
    for (const auto& row : kJobTypes) {
        if (title == row.displayTitle) return row.type;
    }
    return std::nullopt;
}

std::optional<JobType> jobTypeFromDialogKeyword(std::string_view keyword) {
    for (const auto& row : kJobTypes) {
        if (keyword == row.dialogKeyword) return row.type;
    }
    return std::nullopt;
}

}  // namespace varlo::printsettings
