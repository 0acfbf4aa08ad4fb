// The print tool's own texts around the panel (the panel's texts come from its bundle), in the
// panel's language: English, or German.
#pragma once

#include <QString>
#include <string>

namespace kordavine::printtool {

enum class ToolText {
    NotCarriedOver,         // heading of the notice; %1 the printer now chosen
    JobTypeNotOffered,      // %1 printer, %2 job type typed, %3 job type now shown
    PasswordNotTaken,       // %1 printer, %2 what it takes, from the note beside the entry
    EntryNotTaken,          // %1 printer, %2 the entry's label
    ConfirmBeforePrinting,  // last line of the notice
    PrintWithTheseSettings,
    PrintButton,
    NotYetAcceptable,  // the mark of the summary line the panel would refuse
};

// The text in language ("de" German, anything else English).
QString toolText(ToolText text, const std::string& language);

}  // namespace kordavine::printtool
