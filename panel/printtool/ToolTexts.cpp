#include "ToolTexts.h"

namespace kordavine::printtool {

namespace {

struct Translation {
    ToolText text;
    const char* english;
    const char* german;
};

constexpr Translation kTexts[] = {
    {ToolText::NotCarriedOver, "Not carried over to %1:", "Nicht für %1 übernommen:"},
    {ToolText::JobTypeNotOffered, "%1 does not offer %2; the job type is now %3.",
     "%1 bietet „%2“ nicht an; die Auftragsart ist jetzt „%3“."},
    {ToolText::PasswordNotTaken, "The password: %1 takes %2.", "Das Passwort: %1 nimmt %2."},
    {ToolText::EntryNotTaken, "%2 %1 did not take it.", "%2 %1 hat es nicht übernommen."},
    {ToolText::ConfirmBeforePrinting, "Check the Job Log settings; Print asks you to confirm them.",
     "Prüfen Sie die Einstellungen des Auftragsprotokolls; „Drucken“ fragt nach Ihrer "
     "Bestätigung."},
    {ToolText::PrintWithTheseSettings, "Print with these settings?",
     "Mit diesen Einstellungen drucken?"},
    {ToolText::PrintButton, "Print", "Drucken"},
    {ToolText::NotYetAcceptable, "not yet acceptable", "noch nicht gültig"},
};

}  // namespace

QString toolText(ToolText text, const std::string& language) {
    for (const auto& translation : kTexts) {
        if (translation.text == text)
            return QString::fromUtf8(language == "de" ? translation.german : translation.english);
    }
    return {};
}

}  // namespace kordavine::printtool
