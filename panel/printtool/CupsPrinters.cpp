#include "CupsPrinters.h"

#include <cups/ppd.h>
#include <unistd.h>

#include <string_view>

#include "PrintSettingsKeys.h"

namespace kordavine::printtool {

namespace {

// The file cupsGetPPD2 leaves in the temporary directory, removed once read.
struct TemporaryFile {
    std::string path;
    ~TemporaryFile() {
        if (!path.empty()) ::unlink(path.c_str());
    }
};

}  // namespace

PrinterListAnswer listPrinters() {
    cups_dest_t* dests = nullptr;
    const int count = cupsGetDests2(CUPS_HTTP_DEFAULT, &dests);
    CupsDestinations owned(count, dests);
    // No queues at all is an ordinary answer (libcups reports it as "not found"); a scheduler
    // that cannot be reached is not.
    if (count == 0 && cupsLastError() > IPP_STATUS_OK_EVENTS_COMPLETE &&
        cupsLastError() != IPP_STATUS_ERROR_NOT_FOUND) {
        return {std::nullopt, cupsLastErrorString() ? cupsLastErrorString() : "unknown error"};
    }
    PrinterList list;
    for (int i = 0; i < count; ++i) {
        if (!dests[i].instance) list.names.emplace_back(dests[i].name);
    }
    // The default as lp finds it: LPDEST or PRINTER, the user's lpoptions, then the server's.
    // (cupsGetDests2 marks none as the default once the user has an lpoptions file without a
    // Default line.)
    if (cups_dest_t* chosen = cupsGetNamedDest(CUPS_HTTP_DEFAULT, nullptr, nullptr)) {
        const CupsDestinations owned(1, chosen);
        list.defaultName = chosen->name;
    }
    return {list, {}};
}

PrinterSetup setupOfPrinter(const std::string& name) {
    PrinterSetup setup{name, std::nullopt, {}, {}};
    if (cups_dest_t* dest = cupsGetNamedDest(CUPS_HTTP_DEFAULT, name.c_str(), nullptr)) {
        CupsDestinations owned(1, dest);
        for (int i = 0; i < dest->num_options; ++i)
            setup.savedOptions[dest->options[i].name] = dest->options[i].value;
    }
    // A queue without a PPD (a driverless or raw queue) leaves the panel without one. The PPD
    // call is deprecated in libcups, but the panel reads the driver's PPD attributes.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    const char* file = cupsGetPPD2(CUPS_HTTP_DEFAULT, name.c_str());
#pragma GCC diagnostic pop
    if (file) {
        const TemporaryFile fetched{file};
        setup.ppd = platform::PpdFile::open(fetched.path);
    }
    return setup;
}

OptionMap startingSettings(const PrinterSetup& setup) {
    OptionMap settings = setup.remembered;
    for (const auto& [key, value] : presetSettings(setup.savedOptions)) settings[key] = value;
    return settings;
}

namespace {

void collectDefaults(const ppd_group_t& group, OptionMap& defaults) {
    if (std::string_view(group.name) == "InstallableOptions") return;
    for (int i = 0; i < group.num_options; ++i)
        defaults[group.options[i].keyword] = group.options[i].defchoice;
    for (int i = 0; i < group.num_subgroups; ++i) collectDefaults(group.subgroups[i], defaults);
}

}  // namespace

OptionMap ppdOptionDefaults(const ppd_file_s* ppd) {
    OptionMap defaults;
    if (!ppd) return defaults;
    for (int i = 0; i < ppd->num_groups; ++i) collectDefaults(ppd->groups[i], defaults);
    return defaults;
}

OptionMap presetSettings(const OptionMap& savedOptions) {
    const std::string prefix = varlo::printsettings::kKeyPrefix;
    OptionMap preset;
    for (const auto& [name, value] : savedOptions) {
        if (name.size() > prefix.size() && name.compare(0, prefix.size(), prefix) == 0)
            preset[name] = value;
    }
    return preset;
}

}  // namespace kordavine::printtool
