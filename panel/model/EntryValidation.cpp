#include "EntryValidation.h"

#include <array>

#include "FieldRules.h"
#include "JobTypeModel.h"
#include "PrintSettingsKeys.h"

namespace kordavine::joblog {

namespace ps = varlo::printsettings;

namespace {

using ps::FieldCheck;
using ps::FieldDemands;

// Nothing selected: stored as normal without checking any of the three.
constexpr FieldDemands kNoSelectionDemands{FieldCheck::None, false, FieldCheck::None};

RefusedEntry refuse(EntryField field) {
    return {field, refusalMessageKey(field)};
}

}  // namespace

const char* refusalMessageKey(EntryField field) {
    switch (field) {
        case EntryField::UserID:
            return "Enter a valid User ID";
        case EntryField::FileName:
            return "Enter a valid File Name";
        case EntryField::Password:
            return "Enter a valid Password";
        case EntryField::UserCode:
            return "Enter a valid User Code";
    }
    return "";
}

std::optional<std::string> englishTitleOfSelection(const std::optional<std::string>& selectedText,
                                                   const Localizer& localize) {
    if (!selectedText) return std::nullopt;
    for (const auto& names : ps::kJobTypes) {
        if (localize(names.displayTitle) == *selectedText) return std::string(names.displayTitle);
    }
    return std::nullopt;
}

ValidationOutcome validateEntries(const EntryTexts& texts,
                                  const std::optional<std::string>& selectedEnglishTitle,
                                  bool userCodeEnabled, const PrinterAttributes& attributes) {
    std::optional<JobType> type;
    if (selectedEnglishTitle) type = ps::jobTypeFromDisplayTitle(*selectedEnglishTitle);
    // A job type the printer does not take is saved as a normal job.
    if (type && !isJobTypeAccepted(attributes, *type)) type = JobType::Normal;

    const FieldDemands demands = type ? ps::rowOf(*type).checks : kNoSelectionDemands;
    if (ps::failsUserID(texts.userID, demands.userID)) return refuse(EntryField::UserID);
    if (demands.fileName && ps::failsRule(texts.fileName, ps::kFileNameRule)) {
        return refuse(EntryField::FileName);
    }
    if (ps::failsPassword(texts.password, demands.password)) return refuse(EntryField::Password);
    if (userCodeEnabled && ps::failsRule(texts.userCode, ps::kUserCodeRule)) {
        return refuse(EntryField::UserCode);
    }

    return AcceptedEntries{ps::storedName(type.value_or(JobType::Normal))};
}

}  // namespace kordavine::joblog
