// A Job Log panel over the real bundle's strings and view description, the headless toolkit,
// an in-memory print-settings store and a PPD parsed by libcups; with the alerts, log lines and
// releases it produces.
#pragma once

#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "Bundle.h"
#include "ClassRegistry.h"
#include "DialogServices.h"
#include "HeadlessControls.h"
#include "JobLogClasses.h"
#include "KordavineJobLogPDE.h"
#include "PluginCallback.h"
#include "PpdFile.h"
#include "PrintSettings.h"
#include "PrintSettingsKeys.h"

namespace kordavine::paneltest {

namespace ps = varlo::printsettings;
using joblog::KordavineJobLogPDE;

inline std::filesystem::path ppdFixture(const std::string& name) {
    if (name == "everything") return std::filesystem::path(JOBLOG_SAMPLES) / "kordavine-office.ppd";
    return std::filesystem::path(PANEL_FIXTURES) / "ppd" / (name + ".ppd");
}

// The headless toolkit, counting the views it makes (one per loaded view description).
class CountingToolkit : public headless::HeadlessToolkit {
public:
    std::shared_ptr<platform::ViewPeer> makeView() override {
        ++viewsMade;
        return HeadlessToolkit::makeView();
    }
    int viewsMade = 0;
};

// Opens the bundle at path for language and makes it the bundle of the panel's classes.
inline std::shared_ptr<platform::Bundle> useBundle(const std::filesystem::path& path, const std::string& language) {
    auto bundle = platform::Bundle::open(path, language);
    if (!bundle) throw std::runtime_error("cannot open the bundle " + path.string());
    platform::ClassRegistrar registrar(bundle);
    joblog::registerJobLogClasses(registrar);
    return bundle;
}

struct PanelSetup {
    std::optional<std::string> ppd = "everything";  // a fixture name; none: no PPD
    bool withPrintSettings = true;
    std::map<std::string, std::string> settings;
    std::string language = "en";
    std::filesystem::path bundle = JOBLOG_PLUGIN_DIR;
};

class PanelUnderTest {
public:
    explicit PanelUnderTest(PanelSetup setup = {}) {
        toolkit = std::make_shared<CountingToolkit>();
        platform::setToolkit(toolkit);
        platform::setAlertSink([this](std::string_view message) { alerts.emplace_back(message); });
        platform::setLogSink([this](std::string_view line) { log.emplace_back(line); });
        platform::setReleaseSink([this](std::string_view what) { releases.emplace_back(what); });
        bundle = useBundle(setup.bundle, setup.language);
        if (setup.ppd) {
            ppd = platform::PpdFile::open(ppdFixture(*setup.ppd));
            if (!ppd) throw std::runtime_error("the PPD fixture " + *setup.ppd + " does not parse");
        }
        if (setup.withPrintSettings) {
            settings = std::make_shared<platform::PrintSettingsStore>();
            for (const auto& [key, value] : setup.settings) settings->setValue(key, value, false);
        }
        callback = std::make_shared<platform::DialogCallback>(settings, ppd ? ppd->get() : nullptr);
        panel = KordavineJobLogPDE::initWithCallback(callback);
        if (!panel) throw std::runtime_error("the panel was not created");
    }

    ~PanelUnderTest() {
        panel.reset();
        platform::setToolkit(nullptr);
        platform::setAlertSink(nullptr);
        platform::setLogSink(nullptr);
        platform::setReleaseSink(nullptr);
    }

    PanelUnderTest(const PanelUnderTest&) = delete;
    PanelUnderTest& operator=(const PanelUnderTest&) = delete;

    // The headless peer behind a control of the loaded view; none before the view exists.
    template <class Peer>
    std::shared_ptr<Peer> peer(const std::string& identifier) const {
        if (!panel->outputBinsView) return nullptr;
        const auto control = panel->outputBinsView->subviewWithIdentifier(identifier);
        return control ? std::dynamic_pointer_cast<Peer>(control->peer()) : nullptr;
    }
    std::shared_ptr<headless::HeadlessTextField> field(const std::string& identifier) const {
        return peer<headless::HeadlessTextField>(identifier);
    }
    std::shared_ptr<headless::HeadlessPopUp> popUp() const { return peer<headless::HeadlessPopUp>("JobTypeSelection"); }

    std::optional<std::string> setting(const std::string& key) const {
        std::string value;
        if (platform::PMPrintSettingsGetValue(settings, key, value) != platform::noErr) return std::nullopt;
        return value;
    }

    std::shared_ptr<CountingToolkit> toolkit;
    std::shared_ptr<platform::Bundle> bundle;
    std::optional<platform::PpdFile> ppd;
    platform::PMPrintSettings settings;
    std::shared_ptr<platform::DialogCallback> callback;
    std::shared_ptr<KordavineJobLogPDE> panel;
    std::vector<std::string> alerts;
    std::vector<std::string> log;
    std::vector<std::string> releases;
};

}  // namespace kordavine::paneltest
