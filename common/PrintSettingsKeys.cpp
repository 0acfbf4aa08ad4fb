#include "PrintSettingsKeys.h"

namespace varlo::printsettings {

namespace {
const JobTypeNames& namesOf(JobType type) {
    return kJobTypes[static_cast<std::size_t>(type)];
}
}  // namespace

const char* storedName(JobType type) {
    return namesOf(type).storedName;
}

const char* displayTitle(JobType type) {
    return namesOf(type).displayTitle;
}

const char* dialogKeyword(JobType type) {
    return namesOf(type).dialogKeyword;
}

std::optional<JobType> jobTypeFromStoredName(std::string_view name) {
    for (const auto& entry : kJobTypes) {
        if (name == entry.storedName) return entry.type;
    }
    return std::nullopt;
}

std::optional<JobType> jobTypeFromDisplayTitle(std::string_view title) {
    for (const auto& entry : kJobTypes) {
        if (title == entry.displayTitle) return entry.type;
    }
    return std::nullopt;
}

std::optional<JobType> jobTypeFromDialogKeyword(std::string_view keyword) {
    for (const auto& entry : kJobTypes) {
        if (keyword == entry.dialogKeyword) return entry.type;
    }
    return std::nullopt;
}

}  // namespace varlo::printsettings
