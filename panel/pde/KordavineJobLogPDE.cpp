// KordavineJobLogPDE: creation, naming, the view and its outlets, the dialog's callbacks and
// destruction.
#include "KordavineJobLogPDE.h"

#include <functional>
#include <map>
#include <new>

#include "ClassRegistry.h"
#include "DialogServices.h"
#include "PpdFile.h"
#include "PrintSettingsKeys.h"

namespace kordavine::joblog {

namespace ps = varlo::printsettings;
using platform::Control;

std::shared_ptr<KordavineJobLogPDE> KordavineJobLogPDE::initWithCallback(
    std::shared_ptr<platform::PDEPluginCallback> callback) {
    std::shared_ptr<KordavineJobLogPDE> panel;
    try {
        panel = std::make_shared<KordavineJobLogPDE>(ConstructionKey{});
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
    // The fields start as none, null and NO (their initialisers).
    panel->pdePluginCallbackObject = std::move(callback);
    panel->pdeBundle = platform::bundleForClass(kClassName);
    const auto& host = panel->pdePluginCallbackObject;

    if (const auto settings = panel->printSettings();
        settings && !storedValue(settings, ps::kUserID)) {
        platform::PMPrintSettingsSetValue(settings, ps::kUserID, "", false);
    }
    panel->ppd = host ? host->ppdFile() : nullptr;
    if (panel->ppd)
        panel->longpasswordsup =
            isTrue(platform::ppdAttributeValue(panel->ppd, "LongPasswardSupport"));
    return panel;
}

KordavineJobLogPDE::~KordavineJobLogPDE() {
    // The four references the panel holds, given back in this order.
    pdePluginCallbackObject.reset();
    platform::traceRelease("pdePluginCallbackObject");
    pdeBundle.reset();
    platform::traceRelease("pdeBundle");
    thePDEName.reset();
    platform::traceRelease("thePDEName");
    outputBinsView.reset();
    platform::traceRelease("outputBinsView");
}

std::string KordavineJobLogPDE::panelName() {
    if (!thePDEName) {
        const bool noJobTypeModel = isTrue(platform::ppdAttributeValue(ppd, "NoJobTypeModel"));
        thePDEName = localizedString(noJobTypeModel ? "Job Log2" : "Job Log");
    }
    return *thePDEName;
}

std::string KordavineJobLogPDE::panelKind() {
    return kPanelKind;
}

std::shared_ptr<platform::View> KordavineJobLogPDE::panelView() {
    // Loaded once; while loading fails, every request tries again.
    if (!outputBinsView) pdeBundle->loadNibNamed(kViewName, shared_from_this());
    return outputBinsView;
}

void KordavineJobLogPDE::willShow() {
    panelshown = true;
    initializePopup();
    updateUI();
}

bool KordavineJobLogPDE::shouldHide() {
    return true;
}

bool KordavineJobLogPDE::shouldShowHelp() {
    return true;
}

bool KordavineJobLogPDE::restoreValuesAndReturnError(platform::PDEError*) {
    setDefaults();
    getNonPPDSettingsFromPrintSettings();
    updateUI();
    return true;
}

bool KordavineJobLogPDE::saveValuesAndReturnError(platform::PDEError*) {
    return writeNonPPDSettingsToPrintSettings();
}

namespace {

template <class ControlClass>
bool connectTo(Outlet<ControlClass>& outlet, const std::shared_ptr<Control>& control) {
    auto typed = std::dynamic_pointer_cast<ControlClass>(control);
    if (!typed) return false;
    outlet.connect(typed);
    return true;
}

}  // namespace

bool KordavineJobLogPDE::connectOutlet(std::string_view outlet,
                                       const std::shared_ptr<Control>& control) {
    using Connect = std::function<bool(KordavineJobLogPDE&, const std::shared_ptr<Control>&)>;
#define KORDAVINE_OUTLET(field)                                                          \
    {                                                                                    \
#field, [](KordavineJobLogPDE & p,                                               \
                   const std::shared_ptr <Control>& c) { return connectTo(p.field, c); } \
    }
    static const std::map<std::string_view, Connect> outlets{
        KORDAVINE_OUTLET(outputBinsPopup),
        KORDAVINE_OUTLET(UserIDField),
        KORDAVINE_OUTLET(DocNameField),
        KORDAVINE_OUTLET(PasswordField),
        KORDAVINE_OUTLET(LongPasswordField),
        KORDAVINE_OUTLET(UserCodeField),
        KORDAVINE_OUTLET(UserIDLABEL),
        KORDAVINE_OUTLET(UserCodeLABEL),
        KORDAVINE_OUTLET(DocNameLABEL),
        KORDAVINE_OUTLET(PasswordLABEL),
        KORDAVINE_OUTLET(JobTypeLABEL),
        KORDAVINE_OUTLET(UserIDnote),
        KORDAVINE_OUTLET(UserCodenote),
        KORDAVINE_OUTLET(DocNamenote),
        KORDAVINE_OUTLET(Passwordnote),
        KORDAVINE_OUTLET(JobTypeSelection),
        KORDAVINE_OUTLET(EnableUserCode),
        {"outputBinsView",
         [](KordavineJobLogPDE& p, const std::shared_ptr<Control>& c) {
             auto view = std::dynamic_pointer_cast<platform::View>(c);
             if (view) p.outputBinsView = view;
             return view != nullptr;
         }},
    };
#undef KORDAVINE_OUTLET
    const auto found = outlets.find(outlet);
    return found != outlets.end() && found->second(*this, control);
}

bool KordavineJobLogPDE::performAction(std::string_view selector,
                                       const std::shared_ptr<Control>& sender) {
    if (selector == "ChangeJobType:") {
        ChangeJobType(sender);
        return true;
    }
    if (selector == "ChangeOnOffUserCode:") {
        ChangeOnOffUserCode(sender);
        return true;
    }
    return false;
}

std::string KordavineJobLogPDE::localizedString(std::string_view english) const {
    return pdeBundle ? pdeBundle->localizedStringForKey(english) : std::string(english);
}

PrinterAttributes KordavineJobLogPDE::printerAttributes() const {
    return PrinterAttributes{
        platform::ppdAttributeValue(ppd, ps::kNoJobTypeModelAttribute),
        platform::ppdAttributeValue(ppd, ps::kStoredPrintSupportAttribute),
        platform::ppdAttributeValue(ppd, ps::kStoreAndPrintSupportAttribute),
        platform::ppdAttributeValue(ppd, ps::kDocumentServerSupportAttribute),
        platform::ppdAttributeValue(ppd, ps::kLongPasswordSupportAttribute),
    };
}

platform::PMPrintSettings KordavineJobLogPDE::printSettings() const {
    return pdePluginCallbackObject ? pdePluginCallbackObject->printSettings() : nullptr;
}

std::optional<std::string> storedValue(const platform::PMPrintSettings& settings, const char* key) {
    std::string value;
    if (!settings || platform::PMPrintSettingsGetValue(settings, key, value) != platform::noErr) {
        return std::nullopt;
    }
    return value;
}

}  // namespace kordavine::joblog
