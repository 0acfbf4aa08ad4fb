// A panel object over in-memory controls, print settings and a PPD written for the test, with
// the alerts and log lines it produces.
#pragma once

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include <unistd.h>

#include "Bundle.h"
#include "ControlPeers.h"
#include "DialogServices.h"
#include "KordavineJobLogPDE.h"
#include "PluginCallback.h"
#include "PpdFile.h"
#include "PrintSettings.h"

namespace kordavine::joblog::paneltest {

using platform::LabelColor;

class MemoryTextPeer : public platform::TextFieldPeer {
public:
    explicit MemoryTextPeer(bool secure) : secure_(secure) {}
    void setHidden(bool hidden) override { hidden_ = hidden; }
    bool isHidden() const override { return hidden_; }
    void setEnabled(bool enabled) override { enabled_ = enabled; }
    bool isEnabled() const override { return enabled_; }
    std::string text() const override { return text_; }
    void setText(const std::string& text) override { text_ = text; }
    void setTextColor(LabelColor color) override { color_ = color; }
    LabelColor textColor() const override { return color_; }
    bool isSecure() const override { return secure_; }
    void setEditable(bool editable) override { editable_ = editable; }
    void setTextDidChangeHandler(std::function<void()> handler) override { changed_ = std::move(handler); }

private:
    bool secure_;
    bool editable_ = true;
    bool hidden_ = false;
    bool enabled_ = true;
    std::string text_;
    LabelColor color_ = LabelColor::Black;
    std::function<void()> changed_;
};

// Like the toolkit's pop-up: adding to an empty list selects the first item; selecting a title
// the list lacks keeps the selection.
class MemoryPopUpPeer : public platform::PopUpPeer {
public:
    void setHidden(bool hidden) override { hidden_ = hidden; }
    bool isHidden() const override { return hidden_; }
    void setEnabled(bool enabled) override { enabled_ = enabled; }
    bool isEnabled() const override { return enabled_; }
    void removeAllItems() override {
        items_.clear();
        selected_.reset();
    }
    void addItem(const std::string& title) override {
        items_.push_back(title);
        if (!selected_) selected_ = 0;
    }
    void selectItem(const std::string& title) override {
        for (std::size_t i = 0; i < items_.size(); ++i) {
            if (items_[i] == title) {
                selected_ = i;
                return;
            }
        }
    }
    std::optional<std::string> selectedTitle() const override {
        if (!selected_) return std::nullopt;
        return items_[*selected_];
    }
    std::vector<std::string> itemTitles() const override { return items_; }
    void setActionHandler(std::function<void()> handler) override { action_ = std::move(handler); }

    // A selection the list cannot make by title (tests of unknown and missing selections).
    void forceSelection(std::optional<std::string> title) {
        if (!title) {
            selected_.reset();
            return;
        }
        items_.push_back(*title);
        selected_ = items_.size() - 1;
    }

private:
    bool hidden_ = false;
    bool enabled_ = true;
    std::vector<std::string> items_;
    std::optional<std::size_t> selected_;
    std::function<void()> action_;
};

class MemoryButtonPeer : public platform::ButtonPeer {
public:
    void setHidden(bool hidden) override { hidden_ = hidden; }
    bool isHidden() const override { return hidden_; }
    void setEnabled(bool enabled) override { enabled_ = enabled; }
    bool isEnabled() const override { return enabled_; }
    int state() const override { return state_; }
    void setState(int state) override { state_ = state; }
    std::string title() const override { return title_; }
    void setTitle(const std::string& title) override { title_ = title; }
    void setActionHandler(std::function<void()> handler) override { action_ = std::move(handler); }

private:
    bool hidden_ = false;
    bool enabled_ = true;
    int state_ = 0;
    std::string title_;
    std::function<void()> action_;
};

// The five attributes; none leaves the attribute out of the PPD.
struct PpdAttributes {
    std::optional<std::string> noJobTypeModel = "false";
    std::optional<std::string> storedPrintSupport = "true";
    std::optional<std::string> storeAndPrintSupport = "true";
    std::optional<std::string> documentServerSupport = "true";
    std::optional<std::string> longPasswordSupport = "true";
};

inline std::filesystem::path writePpd(const PpdAttributes& a) {
    static int serial = 0;
    const auto path = std::filesystem::temp_directory_path() /
                      ("panel-rules-" + std::to_string(::getpid()) + "-" + std::to_string(++serial) + ".ppd");
    std::ofstream out(path);
    out << "*PPD-Adobe: \"4.3\"\n*FormatVersion: \"4.3\"\n*FileVersion: \"1.0\"\n"
           "*LanguageVersion: English\n*LanguageEncoding: ISOLatin1\n*PCFileName: \"TEST.PPD\"\n"
           "*Manufacturer: \"Kordavine\"\n*Product: \"(Test)\"\n*ModelName: \"Test\"\n"
           "*ShortNickName: \"Test\"\n*NickName: \"Test\"\n*PSVersion: \"(3010.000) 0\"\n"
           "*LanguageLevel: \"3\"\n*ColorDevice: False\n*DefaultColorSpace: Gray\n"
           "*FileSystem: False\n*Throughput: \"1\"\n*LandscapeOrientation: Plus90\n"
           "*TTRasterizer: Type42\n"
           "*OpenUI *PageSize: PickOne\n*DefaultPageSize: A4\n"
           "*PageSize A4: \"<</PageSize[595 842]>>setpagedevice\"\n*CloseUI: *PageSize\n"
           "*DefaultImageableArea: A4\n*ImageableArea A4: \"0 0 595 842\"\n"
           "*DefaultPaperDimension: A4\n*PaperDimension A4: \"595 842\"\n";
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

class PanelHarness {
public:
    struct Options {
        PpdAttributes attributes;
        bool withPpd = true;
        bool withPrintSettings = true;
        bool withControls = true;
        std::map<std::string, std::string> storedSettings;
        platform::StringsTable translations;
    };

    explicit PanelHarness(Options options) {
        if (options.withPpd) {
            ppdPath_ = writePpd(options.attributes);
            ppd_ = platform::PpdFile::open(ppdPath_);
            if (!ppd_) throw std::runtime_error("test PPD did not parse");
        }
        if (options.withPrintSettings) {
            settings = std::make_shared<platform::PrintSettingsStore>();
            for (const auto& [key, value] : options.storedSettings) settings->setValue(key, value, false);
        }
        callback = std::make_shared<platform::DialogCallback>(settings, ppd_ ? ppd_->get() : nullptr);
        panel = KordavineJobLogPDE::initWithCallback(callback);
        if (!panel) throw std::runtime_error("panel not created");
        panel->pdeBundle = std::make_shared<platform::Bundle>(std::filesystem::path(),
                                                              std::map<std::string, std::string, std::less<>>{},
                                                              std::move(options.translations),
                                                              platform::StringsTable{});
        if (options.withControls) connectControls();
        platform::setAlertSink([this](std::string_view message) { alerts.emplace_back(message); });
        platform::setLogSink([this](std::string_view line) { logLines.emplace_back(line); });
    }

    ~PanelHarness() {
        platform::setAlertSink(nullptr);
        platform::setLogSink(nullptr);
        panel.reset();
        if (!ppdPath_.empty()) std::filesystem::remove(ppdPath_);
    }

    PanelHarness(const PanelHarness&) = delete;
    PanelHarness& operator=(const PanelHarness&) = delete;

    std::optional<std::string> stored(const char* key) const {
        std::string value;
        if (platform::PMPrintSettingsGetValue(settings, key, value) != platform::noErr) return std::nullopt;
        return value;
    }

    MemoryTextPeer& text(const std::string& outlet) { return *texts_.at(outlet); }
    MemoryPopUpPeer& popUp() { return *popUp_; }
    MemoryButtonPeer& checkBox() { return *checkBox_; }

    // What the user does: picks a title, toggles the check box, types into an entry.
    void pick(const std::string& shownTitle) {
        popUp_->selectItem(shownTitle);
        panel->ChangeJobType(panel->JobTypeSelection.get());
    }
    void toggleUserCode(bool on) {
        checkBox_->setState(on ? 1 : 0);
        panel->ChangeOnOffUserCode(panel->EnableUserCode.get());
    }
    void type(const std::string& outlet, const std::string& value) { texts_.at(outlet)->setText(value); }

    platform::PMPrintSettings settings;
    std::shared_ptr<platform::DialogCallback> callback;
    std::shared_ptr<KordavineJobLogPDE> panel;
    std::vector<std::string> alerts;
    std::vector<std::string> logLines;

    // Connects in-memory controls to every outlet of the form (done at creation unless asked not to).
    void connectControls() {
        addText<UserIDFieldS>("UserIDField", false);
        addText<DocNameFiledS>("DocNameField", false);
        addText<PasswordFieldS>("PasswordField", true);
        addText<LongPasswordFieldS>("LongPasswordField", true);
        addText<UserIDFieldS>("UserCodeField", false);
        for (const char* label : {"UserIDLABEL", "UserCodeLABEL", "DocNameLABEL", "PasswordLABEL", "JobTypeLABEL",
                                  "UserIDnote", "UserCodenote", "DocNamenote", "Passwordnote"}) {
            addText<platform::TextField>(label, false);
        }
        popUp_ = std::make_shared<MemoryPopUpPeer>();
        auto popUp = std::make_shared<platform::PopUpButton>(popUp_);
        controls_.push_back(popUp);
        panel->connectOutlet("JobTypeSelection", popUp);
        checkBox_ = std::make_shared<MemoryButtonPeer>();
        auto box = std::make_shared<platform::Button>(checkBox_);
        controls_.push_back(box);
        panel->connectOutlet("EnableUserCode", box);
    }

private:
    template <class FieldClass>
    void addText(const std::string& outlet, bool secure) {
        auto peer = std::make_shared<MemoryTextPeer>(secure);
        auto control = std::make_shared<FieldClass>(peer);
        texts_[outlet] = peer;
        controls_.push_back(control);
        if (!panel->connectOutlet(outlet, control)) throw std::runtime_error("outlet " + outlet);
    }

    std::filesystem::path ppdPath_;
    std::optional<platform::PpdFile> ppd_;
    std::map<std::string, std::shared_ptr<MemoryTextPeer>> texts_;
    std::shared_ptr<MemoryPopUpPeer> popUp_;
    std::shared_ptr<MemoryButtonPeer> checkBox_;
    std::vector<std::shared_ptr<platform::Control>> controls_;
};

}  // namespace kordavine::joblog::paneltest
