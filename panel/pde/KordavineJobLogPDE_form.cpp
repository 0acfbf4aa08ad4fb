// KordavineJobLogPDE: the form's one-time set-up, its refresh from the print settings and its
// enabling rules.
#include "EntryValidation.h"
#include "KordavineJobLogPDE.h"
#include "PrintSettingsKeys.h"

namespace kordavine::joblog {

namespace ps = varlo::printsettings;
using platform::LabelColor;

namespace {

LabelColor colorFor(bool active) {
    return active ? LabelColor::Black : LabelColor::LightGray;
}

}  // namespace

void KordavineJobLogPDE::initializePopup() {
    if (popUpIsInited) return;

    UserIDLABEL->setStringValue(localizedString("User ID:"));
    UserCodeLABEL->setStringValue(localizedString("User Code:"));
    PasswordLABEL->setStringValue(localizedString("Password:"));
    DocNameLABEL->setStringValue(localizedString("File Name:"));
    JobTypeLABEL->setStringValue(localizedString("Job Type:"));
    EnableUserCode->setTitle(localizedString("Enable User Code"));
    UserIDnote->setStringValue(localizedString("(Up to 8 alphanumeric characters)"));
    UserCodenote->setStringValue(localizedString("(Up to 8 digits)"));
    Passwordnote->setStringValue(localizedString(longpasswordsup ? "(4-8 digits)" : "(4 digits)"));
    DocNamenote->setStringValue(localizedString("(Up to 16 alphanumeric characters)"));

    // The set-up only hides; the pop-up's filling may show the file-name row again.
    const PrinterAttributes attributes = printerAttributes();
    const auto hideFileNameRow = [this] {
        DocNameField->setHidden(true);
        DocNameLABEL->setHidden(true);
        DocNamenote->setHidden(true);
    };
    if (isFalse(attributes.storedPrintSupport) && isFalse(attributes.documentServerSupport)) {
        hideFileNameRow();
    }
    if (isTrue(attributes.noJobTypeModel)) {
        hideFileNameRow();
        PasswordField->setHidden(true);
        LongPasswordField->setHidden(true);
        PasswordLABEL->setHidden(true);
        Passwordnote->setHidden(true);
        JobTypeLABEL->setHidden(true);
        JobTypeSelection->setHidden(true);
    }
    if (longpasswordsup) {
        PasswordField->setHidden(true);
    } else {
        LongPasswordField->setHidden(true);
    }

    // Done for this panel object, even when its controls do not exist yet.
    popUpIsInited = true;
}

void KordavineJobLogPDE::updateUI() {
    getNonPPDSettingsFromPrintSettings();
    grayUI();
}

void KordavineJobLogPDE::grayUI() {
    const auto selected =
        englishTitleOfSelection(JobTypeSelection->titleOfSelectedItem(),
                                [this](std::string_view key) { return localizedString(key); });
    const auto type = selected ? ps::jobTypeFromDisplayTitle(*selected) : std::nullopt;
    // No selection, or a title that is none of the seven: those rows stay as they are.
    if (type) {
        const ps::FormRows rows = ps::rowOf(*type).formRows;
        DocNameField->setEnabled(rows.fileName);
        DocNameLABEL->setTextColor(colorFor(rows.fileName));
        DocNamenote->setTextColor(colorFor(rows.fileName));
        PasswordField->setEnabled(rows.password);
        PasswordLABEL->setTextColor(colorFor(rows.password));
        Passwordnote->setTextColor(colorFor(rows.password));
        LongPasswordField->setEnabled(rows.password);
    }

    const bool userCodeOn = EnableUserCode->state() != 0;
    UserCodeField->setEnabled(userCodeOn);
    UserCodeLABEL->setTextColor(colorFor(userCodeOn));
    UserCodenote->setTextColor(colorFor(userCodeOn));
}

void KordavineJobLogPDE::ChangeJobType(const std::shared_ptr<platform::Control>&) {
    grayUI();
}

void KordavineJobLogPDE::ChangeOnOffUserCode(const std::shared_ptr<platform::Control>&) {
    grayUI();
}

// The form has no defaults of its own: a restore keeps what the print settings do not supply.
void KordavineJobLogPDE::setDefaults() {}

}  // namespace kordavine::joblog
