// One run of the scripted print dialog: the loaded extension, the job's print settings, the
// printer's PPD, the panel the factory supplied, the view the dialog was given, and everything
// the panel showed or logged on the way.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "Controls.h"
#include "PlugInLoader.h"
#include "PluginCallback.h"
#include "PpdFile.h"
#include "PrintSettings.h"

namespace kordavine::driver {

struct DialogSession {
    platform::LoadedPlugIn plugIn;
    platform::PMPrintSettings settings;  // none: the dialog has no print settings
    std::optional<platform::PpdFile> ppd;
    std::shared_ptr<platform::PDEPluginCallback> callback;
    platform::PDEPanelList panels;
    std::shared_ptr<platform::PDEPanel> panel;  // the first panel the factory supplied
    std::shared_ptr<platform::View> view;       // what panelView last answered

    std::vector<std::string> alerts;
    std::vector<std::string> log;
    std::vector<std::string> releases;
    nlohmann::json answers = nlohmann::json::array();

    // The print settings by key; null when there are none.
    nlohmann::json settingsSnapshot() const;
    // The form by control; null while the dialog has no view.
    nlohmann::json formSnapshot() const;
    // The whole result: answers, alerts, log, releases, settings and form.
    nlohmann::json result() const;
};

}  // namespace kordavine::driver
