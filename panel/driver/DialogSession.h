// One run of the scripted print dialog: the loaded extension, the job's print settings, the
// printer's PPD, the panel the factory supplied, the view the dialog was given, and everything
// the panel showed or logged on the way.
#pragma once

#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

#include "Controls.h"
#include "PlugInLoader.h"
#include "PluginCallback.h"
#include "PpdFile.h"
#include "PrintSettings.h"

namespace kordavine::driver {

// What the dialog saw: the script's answers, and the alerts, diagnostic lines and releases the
// platform reported.
struct DialogRecord {
    std::vector<std::string> alerts;
    std::vector<std::string> log;
    std::vector<std::string> releases;
    nlohmann::json answers = nlohmann::json::array();
};

// Routes the platform's alerts, diagnostic lines and release trace into a record for as long as
// it lives; its destruction takes the routes away again.
class RecordingSinks {
  public:
    explicit RecordingSinks(DialogRecord& record);
    ~RecordingSinks();
    RecordingSinks(const RecordingSinks&) = delete;
    RecordingSinks& operator=(const RecordingSinks&) = delete;
};

// Members are destroyed in the reverse of their order here, which is what keeps the run sound
// however it ends: the panel objects go first and report their releases through the sinks, then
// the sinks are taken away, and only then the record they wrote into.
struct DialogSession {
    DialogRecord record;
    RecordingSinks recording{record};

    platform::LoadedPlugIn plugIn;
    platform::PMPrintSettings settings;  // none: the dialog has no print settings
    std::optional<platform::PpdFile> ppd;
    std::shared_ptr<platform::PDEPluginCallback> callback;
    platform::PDEPanelList panels;
    std::shared_ptr<platform::PDEPanel> panel;  // the first panel the factory supplied
    std::shared_ptr<platform::View> view;       // what panelView last answered

    // The dialog lets go of the view and the panels ("release").
    void releasePanels();
    // ... and of the callback object too, as it does before it prints.
    void close();

    // The print settings by key; null when there are none.
    nlohmann::json settingsSnapshot() const;
    // The form by control; null while the dialog has no view.
    nlohmann::json formSnapshot() const;
    // The whole result: answers, alerts, log, releases, settings and form.
    nlohmann::json result() const;
};

}  // namespace kordavine::driver
