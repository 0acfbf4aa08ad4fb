// The check of the form's entries before they are saved: which job type the selected pop-up
// entry stands for on this printer, and whether the user ID, file name, password and user code
// have the shapes that job type demands. Toolkit-free: the caller reads the controls and shows
// the alert.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "JobTypeModel.h"

namespace kordavine::joblog {

// Translates an English text (a strings-table key) into the text shown; the key itself when
// there is no translation.
using Localizer = std::function<std::string(std::string_view englishKey)>;

// The English display title of the selected pop-up entry: its text compared with the localized
// form of each of the seven titles in table order, the first equal one winning. None when
// nothing is selected or the text is none of them.
std::optional<std::string> englishTitleOfSelection(const std::optional<std::string>& selectedText,
                                                   const Localizer& localize);

struct EntryTexts {
    std::string userID;
    std::string fileName;
    std::string password;  // from the password entry in use
    std::string userCode;
};

enum class EntryField { UserID, FileName, Password, UserCode };

// The entries passed: the JobType value to store.
struct AcceptedEntries {
    std::string storedName;
};

// The first entry that failed, and the English key of its alert message.
struct RefusedEntry {
    EntryField field;
    std::string messageKey;
};

using ValidationOutcome = std::variant<AcceptedEntries, RefusedEntry>;

// Checks user ID, file name and password as the selected job type demands, in that order, then
// the user code while its check box is on. A selected job type the printer does not accept is
// checked and stored as "Normal Print". No selection: stored as "Normal", only the user code
// (when enabled) is checked.
ValidationOutcome validateEntries(const EntryTexts& texts,
                                  const std::optional<std::string>& selectedEnglishTitle,
                                  bool userCodeEnabled, const PrinterAttributes& attributes);

// The English alert message for a refused field.
const char* refusalMessageKey(EntryField field);

}  // namespace kordavine::joblog
