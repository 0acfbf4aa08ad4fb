#include "FormEntries.h"

#include <memory>

#include "Controls.h"
#include "EntryValidation.h"

namespace kordavine::printtool {

namespace ps = varlo::printsettings;

namespace {

template <class ControlClass>
std::shared_ptr<ControlClass> control(const platform::View& view, std::string_view identifier) {
    return std::dynamic_pointer_cast<ControlClass>(view.subviewWithIdentifier(identifier));
}

std::string textOf(const platform::View& view, std::string_view identifier) {
    const auto field = control<platform::TextField>(view, identifier);
    return field ? field->stringValue() : std::string();
}

}  // namespace

FormEntries readForm(const platform::View& view, const Localizer& localize) {
    FormEntries entries;
    if (const auto popUp = control<platform::PopUpButton>(view, "JobTypeSelection")) {
        // The job type as the panel itself reads its pop-up when it saves.
        const auto title = joblog::englishTitleOfSelection(popUp->titleOfSelectedItem(), localize);
        if (title) entries.jobType = ps::jobTypeFromDisplayTitle(*title);
    }
    entries.userID = textOf(view, "UserIDField");
    // The long entry when the model takes long passwords; the panel hides the other one.
    const auto longEntry = control<platform::TextField>(view, "LongPasswordField");
    entries.password = longEntry && !longEntry->isHidden() ? longEntry->stringValue()
                                                           : textOf(view, "PasswordField");
    entries.fileName = textOf(view, "DocNameField");
    entries.userCode = textOf(view, "UserCodeField");
    if (const auto box = control<platform::Button>(view, "EnableUserCode"))
        entries.userCodeEnabled = box->state() != 0;
    return entries;
}

OptionMap asPrintSettings(const FormEntries& entries) {
    OptionMap settings{{ps::kUserID, entries.userID},
                       {ps::kPassword, entries.password},
                       {ps::kFileName, entries.fileName},
                       {ps::kUserCode, entries.userCode},
                       {ps::kEnableUserCode, entries.userCodeEnabled ? ps::kTrue : ps::kFalse}};
    if (entries.jobType) settings[ps::kJobType] = ps::storedName(*entries.jobType);
    return settings;
}

std::vector<FormEntry> droppedEntries(const FormEntries& carried, const FormEntries& taken) {
    std::vector<FormEntry> dropped;
    if (carried.jobType != taken.jobType) dropped.push_back(FormEntry::JobType);
    if (carried.userID != taken.userID) dropped.push_back(FormEntry::UserID);
    if (carried.userCodeEnabled && (!taken.userCodeEnabled || carried.userCode != taken.userCode)) {
        dropped.push_back(FormEntry::UserCode);
    }
    // The password and file name count where the job type's form rows use them.
    const ps::FormRows rows = ps::rowOf(carried.jobType.value_or(ps::JobType::Normal)).formRows;
    if (rows.password && carried.password != taken.password) dropped.push_back(FormEntry::Password);
    if (rows.fileName && carried.fileName != taken.fileName) dropped.push_back(FormEntry::FileName);
    return dropped;
}

}  // namespace kordavine::printtool
