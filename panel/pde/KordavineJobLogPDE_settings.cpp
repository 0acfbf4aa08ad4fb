// KordavineJobLogPDE: the read-in of the job settings into the form, and their check and
// write-back into the job's print settings.
#include <variant>

#include "DialogServices.h"
#include "EntryValidation.h"
#include "KordavineJobLogPDE.h"
#include "PrintSettingsKeys.h"
#include "TimeZoneValue.h"
#include "Utf16Prefix.h"

namespace kordavine::joblog {

namespace ps = varlo::printsettings;

namespace {

// The short password entry never shows more than this many characters.
constexpr std::size_t kShortPasswordLength = 4;

}  // namespace

void KordavineJobLogPDE::getNonPPDSettingsFromPrintSettings() {
    const auto settings = printSettings();
    if (!settings) return;

    if (const auto userID = storedValue(settings, ps::kUserID))
        UserIDField->setStringValue(*userID);
    if (const auto userCode = storedValue(settings, ps::kUserCode))
        UserCodeField->setStringValue(*userCode);
    if (const auto password = storedValue(settings, ps::kPassword)) {
        if (longpasswordsup) {
            LongPasswordField->setStringValue(*password);
        } else {
            PasswordField->setStringValue(*password);
            // A long password saved for another model must not stand, cut or whole, in the short
            // field.
            if (utf16Length(*password) > kShortPasswordLength) PasswordField->setStringValue("");
        }
    }
    if (const auto fileName = storedValue(settings, ps::kFileName))
        DocNameField->setStringValue(*fileName);

    if (!JobTypeByPM(storedValue(settings, ps::kJobType))) {
        platform::PMPrintSettingsSetValue(settings, ps::kJobType,
                                          ps::storedName(ps::JobType::Normal), false);
    }

    if (const auto enabled = storedValue(settings, ps::kEnableUserCode)) {
        EnableUserCode->setState(*enabled == ps::kTrue ? 1 : 0);
    }
}

bool KordavineJobLogPDE::writeNonPPDSettingsToPrintSettings() {
    // A dialog in which the panel was never shown leaves the print settings as they were.
    if (!panelshown) return true;

    const EntryTexts texts{
        UserIDField->stringValue(),
        DocNameField->stringValue(),
        longpasswordsup ? LongPasswordField->stringValue() : PasswordField->stringValue(),
        UserCodeField->stringValue(),
    };
    const auto localize = [this](std::string_view key) { return localizedString(key); };
    const auto selectedTitle =
        englishTitleOfSelection(JobTypeSelection->titleOfSelectedItem(), localize);
    const bool userCodeEnabled = EnableUserCode->state() != 0;

    const ValidationOutcome outcome =
        validateEntries(texts, selectedTitle, userCodeEnabled, printerAttributes());
    if (const auto* refused = std::get_if<RefusedEntry>(&outcome)) {
        platform::NSRunAlertPanel(localizedString(refused->messageKey));
        return false;
    }
    const std::string& storedName = std::get<AcceptedEntries>(outcome).storedName;
    const char* enableUserCode = userCodeEnabled ? ps::kTrue : ps::kFalse;

    const auto settings = printSettings();
    if (!settings) return true;

    // Every text is written whatever the job type; only the EnableUserCode write is checked.
    platform::PMPrintSettingsSetValue(settings, ps::kUserID, texts.userID, false);
    platform::PMPrintSettingsSetValue(settings, ps::kFileName, texts.fileName, false);
    platform::PMPrintSettingsSetValue(settings, ps::kUserCode, texts.userCode, false);
    platform::PMPrintSettingsSetValue(settings, ps::kPassword, texts.password, false);
    platform::PMPrintSettingsSetValue(settings, ps::kJobType, storedName, false);
    const platform::OSStatus enableStatus =
        platform::PMPrintSettingsSetValue(settings, ps::kEnableUserCode, enableUserCode, false);

    // Last, so that it holds the zone in force at the moment of saving.
    if (const auto zone = timeZoneValueAt(saveClockNow())) {
        platform::PMPrintSettingsSetValue(settings, ps::kTimeZone, *zone, false);
    }

    if (enableStatus != platform::noErr) {
        platform::NSLog("OutputBins PDE got an error " + std::to_string(enableStatus) +
                        " setting the value for " + ps::kEnableUserCode + " !");
    }
    return true;
}

}  // namespace kordavine::joblog
