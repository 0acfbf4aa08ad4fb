#include "EntryValidation.h"

#include <array>

#include "FieldRules.h"
#include "JobTypeModel.h"
#include "PrintSettingsKeys.h"

namespace kordavine::joblog {

namespace ps = varlo::printsettings;

namespace {

enum class Check { None, Optional, Required };

// What a job type demands of the entries.
struct EntryDemands {
    Check userID;
    bool fileName;
    Check password;
};

EntryDemands demandsOf(JobType type) {
    switch (type) {
        case JobType::Normal:
            return {Check::Optional, false, Check::None};
        case JobType::SamplePrint:
            return {Check::Required, false, Check::None};
        case JobType::LockedPrint:
            return {Check::Required, false, Check::Required};
        case JobType::PausedPrint:
            return {Check::Required, true, Check::None};
        case JobType::SavedPrint:
        case JobType::SaveDocumentPrint:
            return {Check::Required, true, Check::Optional};
        case JobType::DocumentServer:
            return {Check::Optional, true, Check::Optional};
    }
    return {Check::None, false, Check::None};
}

// Nothing selected: stored as normal without checking any of the three.
constexpr EntryDemands kNoSelectionDemands{Check::None, false, Check::None};

bool failsUserID(const std::string& text, Check check) {
    switch (check) {
        case Check::None:
            return false;
        case Check::Optional:
            return failsRule(text, kUserIDOptionalRule);
        case Check::Required:
            return failsRule(text, kUserIDRequiredRule);
    }
    return true;
}

bool failsPassword(const std::string& text, Check check) {
    switch (check) {
        case Check::None:
            return false;
        case Check::Optional:
            return failsOptionalPassword(text);
        case Check::Required:
            return failsRule(text, kPasswordRule);
    }
    return true;
}

RefusedEntry refuse(EntryField field) { return {field, refusalMessageKey(field)}; }

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

    const EntryDemands demands = type ? demandsOf(*type) : kNoSelectionDemands;
    if (failsUserID(texts.userID, demands.userID)) return refuse(EntryField::UserID);
    if (demands.fileName && failsRule(texts.fileName, kFileNameRule)) return refuse(EntryField::FileName);
    if (failsPassword(texts.password, demands.password)) return refuse(EntryField::Password);
    if (userCodeEnabled && failsRule(texts.userCode, kUserCodeRule)) return refuse(EntryField::UserCode);

    return AcceptedEntries{ps::storedName(type.value_or(JobType::Normal))};
}

}  // namespace kordavine::joblog
