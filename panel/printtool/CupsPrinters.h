// The print system as the print tool sees it through libcups (the server of CUPS_SERVER or the
// client configuration): the queues, the default one, a queue's PPD and its saved options.
#pragma once

#include <cups/cups.h>

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "PpdFile.h"

namespace kordavine::printtool {

// Options as name to value.
using OptionMap = std::map<std::string, std::string>;

// An owner of a list of destinations from cupsGetDests2 or one from cupsGetNamedDest.
class CupsDestinations {
  public:
    CupsDestinations(int count, cups_dest_t* dests) : count_(count), dests_(dests) {}
    ~CupsDestinations() { cupsFreeDests(count_, dests_); }
    CupsDestinations(const CupsDestinations&) = delete;
    CupsDestinations& operator=(const CupsDestinations&) = delete;

    int count() const { return count_; }
    cups_dest_t* get() const { return dests_; }

  private:
    int count_;
    cups_dest_t* dests_;
};

struct PrinterList {
    std::vector<std::string> names;  // queue names (instances left out)
    std::optional<std::string> defaultName;
};

// The queues; an error text (CUPS's own) when the print system cannot be asked.
struct PrinterListAnswer {
    std::optional<PrinterList> printers;
    std::string error;
};
PrinterListAnswer listPrinters();

// A queue as the Job Log panel needs it: its PPD (none for a queue without one), the options
// saved for it (the server's defaults and the user's lpoptions, as cupsGetNamedDest merges them)
// and the panel settings the tool remembers for it (print-settings keys).
struct PrinterSetup {
    std::string name;
    std::optional<platform::PpdFile> ppd;
    OptionMap savedOptions;
    OptionMap remembered;
};
PrinterSetup setupOfPrinter(const std::string& name);

// The panel's print settings that saved options preset: the options under the print-settings
// prefix, with their full key.
OptionMap presetSettings(const OptionMap& savedOptions);

// What the panel starts from for the queue: the remembered settings, and over them every key the
// saved options set.
OptionMap startingSettings(const PrinterSetup& setup);

// The default choice of each option of the PPD a person may change (keyword to choice); the
// installable options, which describe the device, are left out. Empty without a PPD.
OptionMap ppdOptionDefaults(const ppd_file_s* ppd);

}  // namespace kordavine::printtool
