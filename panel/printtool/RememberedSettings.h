// The Job Log settings joblog-print remembers per printer for the person who prints, in the
// tool's own settings file (QSettings: $XDG_CONFIG_HOME/kordavine/joblog-print.conf, else
// ~/.config/...): the last job type, user ID, file name and whether the user code is on. Never
// the password and never the user code, which the print system keeps as private as the password;
// and never in ~/.cups/lpoptions, which every other print client reads.
#pragma once

#include <string>

#include "CupsPrinters.h"

namespace kordavine::printtool {

class RememberedSettings {
  public:
    // The settings file of this user.
    RememberedSettings();

    // The remembered print-settings keys for the queue (full keys); empty when none.
    OptionMap forPrinter(const std::string& queue) const;
    // Keeps the rememberable keys of the panel's settings for the queue, replacing what was kept.
    // False (with the reason in error) when the file cannot be written.
    bool remember(const std::string& queue, const OptionMap& panelSettings, std::string& error);

    // The keys kept, without the print-settings prefix.
    static const char* const kKeptKeys[4];
};

}  // namespace kordavine::printtool
