// The entries of the Job Log form as the person left them, read from the panel's controls, and
// what another printer's panel did not take of them when they were carried over to it.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "CupsPrinters.h"
#include "EntryValidation.h"
#include "PrintSettingsKeys.h"

namespace kordavine::platform {
class View;
}

namespace kordavine::printtool {

// The text the panel shows for an English text (its bundle's translation).
using joblog::Localizer;

struct FormEntries {
    std::optional<varlo::printsettings::JobType>
        jobType;  // none: nothing the panel knows is selected
    std::string userID;
    std::string password;  // from the password entry in use
    std::string fileName;
    std::string userCode;
    bool userCodeEnabled = false;
};

// The entries of the form in the panel's view.
FormEntries readForm(const platform::View& view, const Localizer& localize);

// The entries as the print settings the panel fills its form from.
OptionMap asPrintSettings(const FormEntries& entries);

// The entries of the form, in the form's order.
enum class FormEntry { JobType, UserID, UserCode, Password, FileName };

// The entries the job type of carried uses that the panel which took them shows otherwise (a job
// type it does not offer, a password longer than it takes, a file-name row it lacks).
std::vector<FormEntry> droppedEntries(const FormEntries& carried, const FormEntries& taken);

}  // namespace kordavine::printtool
