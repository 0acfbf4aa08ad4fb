// A Job Log panel under test: the panel object over the headless toolkit, an in-memory
// print-settings store and a PPD parsed by libcups, with the alerts, log lines and releases it
// produces. Its form is either the bundle's view description, loaded when the test asks the panel
// for its view, or blank headless controls connected to the outlets at once.
#pragma once

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <variant>
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
using platform::LabelColor;

// The five attributes of a PPD written for the test; none leaves the attribute out.
struct PpdAttributes {
    std::optional<std::string> noJobTypeModel = "false";
    std::optional<std::string> storedPrintSupport = "true";
    std::optional<std::string> storeAndPrintSupport = "true";
    std::optional<std::string> documentServerSupport = "true";
    std::optional<std::string> longPasswordSupport = "true";
};

struct NoPpd {};

// The printer's PPD: a fixture by name ("everything" is the office model's PPD of the samples,
// the others lie in tests/panel/fixtures/ppd), one written with the given attributes, or none.
using PrinterPpd = std::variant<std::string, PpdAttributes, NoPpd>;

enum class Form {
    ViewDescription,  // the bundle's, loaded by the panel's first panelView
    Connected,        // blank controls connected to every outlet at creation
    Absent,           // none until the test calls connectControls
};

struct PanelSetup {
    PrinterPpd ppd = std::string("everything");
    bool withPrintSettings = true;
    std::map<std::string, std::string> settings;  // what the print settings hold at creation
    Form form = Form::ViewDescription;
    std::string language = "en";
    // The panel's strings instead of the bundle's tables: a key without a translation stands
    // for itself.
    std::optional<platform::StringsTable> translations;
    std::filesystem::path bundle = JOBLOG_PLUGIN_DIR;
};

// The headless toolkit, counting the views it makes (one per loaded view description).
class CountingToolkit : public headless::HeadlessToolkit {
  public:
    std::shared_ptr<platform::ViewPeer> makeView() override {
        ++viewsMade;
        return HeadlessToolkit::makeView();
    }
    int viewsMade = 0;
};

inline std::filesystem::path ppdFixture(const std::string& name) {
    if (name == "everything") return std::filesystem::path(JOBLOG_SAMPLES) / "kordavine-office.ppd";
    return std::filesystem::path(PANEL_FIXTURES) / "ppd" / (name + ".ppd");
}

// The fixture that lacks the five attributes, with the given ones added.
inline std::filesystem::path writePpd(const PpdAttributes& a) {
    static int serial = 0;
    const auto path =
        std::filesystem::temp_directory_path() /
        ("panel-test-" + std::to_string(::getpid()) + "-" + std::to_string(++serial) + ".ppd");
    std::filesystem::copy_file(ppdFixture("attributes-missing"), path,
                               std::filesystem::copy_options::overwrite_existing);
    std::ofstream out(path, std::ios::app);
    const auto attribute = [&out](const char* name, const std::optional<std::string>& value) {
        if (value) out << '*' << name << ": \"" << *value << "\"\n";
    };
    attribute("NoJobTypeModel", a.noJobTypeModel);
    attribute("StoredPrintSupport", a.storedPrintSupport);
    attribute("StoreAndPrintSupport", a.storeAndPrintSupport);
    attribute("DocumentServerSupport", a.documentServerSupport);
    attribute("LongPasswardSupport", a.longPasswordSupport);
    return path;
}

// Opens the bundle at path for language and makes it the bundle of the panel's classes.
inline std::shared_ptr<platform::Bundle> useBundle(const std::filesystem::path& path,
                                                   const std::string& language) {
    auto bundle = platform::Bundle::open(path, language);
    if (!bundle) throw std::runtime_error("cannot open the bundle " + path.string());
    platform::ClassRegistrar registrar(bundle);
    joblog::registerJobLogClasses(registrar);
    return bundle;
}

class PanelHarness {
  public:
    explicit PanelHarness(PanelSetup setup = {}) {
        toolkit = std::make_shared<CountingToolkit>();
        platform::setToolkit(toolkit);
        platform::setAlertSink([this](std::string_view message) { alerts.emplace_back(message); });
        platform::setLogSink([this](std::string_view line) { log.emplace_back(line); });
        platform::setReleaseSink([this](std::string_view what) { releases.emplace_back(what); });
        bundle = useBundle(setup.bundle, setup.language);
        openPpd(setup.ppd);
        if (setup.withPrintSettings) {
            settings = std::make_shared<platform::PrintSettingsStore>();
            for (const auto& [key, value] : setup.settings) settings->setValue(key, value, false);
        }
        callback = std::make_shared<platform::DialogCallback>(settings, ppd ? ppd->get() : nullptr);
        panel = KordavineJobLogPDE::initWithCallback(callback);
        if (!panel) throw std::runtime_error("the panel was not created");
        if (setup.translations) {
            panel->pdeBundle = std::make_shared<platform::Bundle>(
                bundle->bundlePath(), std::map<std::string, std::string, std::less<>>{},
                std::move(*setup.translations), platform::StringsTable{});
        }
        if (setup.form == Form::Connected) connectControls();
    }

    ~PanelHarness() {
        panel.reset();
        platform::setToolkit(nullptr);
        platform::setAlertSink(nullptr);
        platform::setLogSink(nullptr);
        platform::setReleaseSink(nullptr);
        if (!writtenPpd_.empty()) std::filesystem::remove(writtenPpd_);
    }

    PanelHarness(const PanelHarness&) = delete;
    PanelHarness& operator=(const PanelHarness&) = delete;

    // Connects blank headless controls to every outlet of the form, as the view description
    // names them, without loading the view.
    void connectControls() {
        form_ = std::make_shared<platform::View>();
        addField<joblog::UserIDFieldS>("UserIDField", false);
        addField<joblog::DocNameFiledS>("DocNameField", false);
        addField<joblog::PasswordFieldS>("PasswordField", true);
        addField<joblog::LongPasswordFieldS>("LongPasswordField", true);
        addField<joblog::UserIDFieldS>("UserCodeField", false);
        for (const char* label :
             {"UserIDLABEL", "UserCodeLABEL", "DocNameLABEL", "PasswordLABEL", "JobTypeLABEL",
              "UserIDnote", "UserCodenote", "DocNamenote", "Passwordnote"}) {
            addField<platform::TextField>(label, false);
        }
        add(std::make_shared<platform::PopUpButton>(toolkit->makePopUp()), "JobTypeSelection");
        add(std::make_shared<platform::Button>(toolkit->makeCheckBox()), "EnableUserCode");
    }

    // The headless peer behind a control of the form; none while there is no form.
    template <class Peer>
    std::shared_ptr<Peer> peer(const std::string& identifier) const {
        const auto& view = form_ ? form_ : panel->outputBinsView;
        if (!view) return nullptr;
        const auto control = view->subviewWithIdentifier(identifier);
        return control ? std::dynamic_pointer_cast<Peer>(control->peer()) : nullptr;
    }
    std::shared_ptr<headless::HeadlessTextField> field(const std::string& identifier) const {
        return peer<headless::HeadlessTextField>(identifier);
    }
    std::shared_ptr<headless::HeadlessPopUp> popUp() const {
        return peer<headless::HeadlessPopUp>("JobTypeSelection");
    }
    std::shared_ptr<headless::HeadlessCheckBox> checkBox() const {
        return peer<headless::HeadlessCheckBox>("EnableUserCode");
    }

    // What the print settings hold under key; none for an absent key or no print settings.
    std::optional<std::string> setting(const std::string& key) const {
        return joblog::storedValue(settings, key.c_str());
    }

    // The form changed the way the panel's actions see it, without the toolkit's own checks:
    // a title picked, the check box set, a text put into an entry (enabled or not, uncut).
    void pick(const std::string& shownTitle) {
        popUp()->selectItem(shownTitle);
        panel->ChangeJobType(panel->JobTypeSelection.get());
    }
    void toggleUserCode(bool on) {
        checkBox()->setState(on ? 1 : 0);
        panel->ChangeOnOffUserCode(panel->EnableUserCode.get());
    }
    void type(const std::string& identifier, const std::string& text) {
        field(identifier)->setText(text);
    }
    // A selection the pop-up cannot make by title: nothing, or a title it did not list.
    void forceSelection(const std::optional<std::string>& title) {
        if (!title) {
            popUp()->removeAllItems();
            return;
        }
        popUp()->addItem(*title);
        popUp()->selectItem(*title);
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

  private:
    void openPpd(const PrinterPpd& printer) {
        std::filesystem::path path;
        if (const auto* fixture = std::get_if<std::string>(&printer)) {
            path = ppdFixture(*fixture);
        } else if (const auto* attributes = std::get_if<PpdAttributes>(&printer)) {
            path = writtenPpd_ = writePpd(*attributes);
        } else {
            return;
        }
        ppd = platform::PpdFile::open(path);
        if (!ppd) throw std::runtime_error("the PPD " + path.string() + " does not parse");
    }

    template <class FieldClass>
    void addField(const std::string& outlet, bool secure) {
        auto field = std::make_shared<FieldClass>(toolkit->makeTextField(secure));
        field->listenForTextChanges();
        add(field, outlet);
    }

    void add(const std::shared_ptr<platform::Control>& control, const std::string& outlet) {
        control->setIdentifier(outlet);
        form_->addSubview(control);
        if (!panel->connectOutlet(outlet, control)) throw std::runtime_error("outlet " + outlet);
    }

    std::filesystem::path writtenPpd_;
    std::shared_ptr<platform::View> form_;  // the connected controls
};

}  // namespace kordavine::paneltest
