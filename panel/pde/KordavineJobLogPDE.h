// The Job Log panel: the driver panel that the print dialog shows for a printer of the family.
// It lives from the factory's request until the dialog lets go of it and runs every operation on
// the dialog's thread. Its controls are outlets that the view description "JobLog" connects;
// until then they ignore every change and read as empty.
// The class is defined across KordavineJobLogPDE.cpp and one file per aspect beside it:
// _form (set-up, refresh, enabling), _popup (the job-type pop-up), _settings (read-in and
// write-back) and _summary (the check before printing and the summary).
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "Bundle.h"
#include "CappedTextFields.h"
#include "Controls.h"
#include "JobTypeModel.h"
#include "NibOwner.h"
#include "Outlet.h"
#include "PluginCallback.h"
#include "PrintDialogExtension.h"

struct ppd_file_s;
struct ppd_option_s;

namespace kordavine::joblog {

using platform::Outlet;

class KordavineJobLogPDE final : public platform::PDEPanel,
                                 public platform::NibOwner,
                                 public std::enable_shared_from_this<KordavineJobLogPDE> {
  public:
    // The panel's class name, under which its module registers it.
    static constexpr char kClassName[] = "KordavineJobLogPDE";
    static constexpr char kPanelKind[] = "com.kordavine.print.pde.kordavineJobLogC";
    static constexpr char kViewName[] = "JobLog";

    // Creation from the dialog's callback object (which may be none); none when the panel
    // cannot be made.
    static std::shared_ptr<KordavineJobLogPDE> initWithCallback(
        std::shared_ptr<platform::PDEPluginCallback> callback);
    ~KordavineJobLogPDE() override;

    // What the print dialog calls.
    std::string panelName() override;
    std::string panelKind() override;
    std::shared_ptr<platform::View> panelView() override;
    void willShow() override;
    bool shouldHide() override;
    bool shouldShowHelp() override;
    bool restoreValuesAndReturnError(platform::PDEError* error) override;
    bool saveValuesAndReturnError(platform::PDEError* error) override;
    platform::PDESummary summaryInfo() override;
    bool shouldPrint() override;

    // Actions the form's controls send.
    void ChangeJobType(const std::shared_ptr<platform::Control>& sender);
    void ChangeOnOffUserCode(const std::shared_ptr<platform::Control>& sender);

    // Form state.
    void initializePopup();
    void updateUI();
    void grayUI();
    void setDefaults();

    // Settings read-in and write-back.
    void getNonPPDSettingsFromPrintSettings();
    bool writeNonPPDSettingsToPrintSettings();

    // Job-type model: rebuilds the pop-up for the PPD, shows or hides the file-name row and
    // selects the entry for storedName; NO when storedName was rejected and "Normal Print"
    // selected instead. CheckJobTypeOfPM makes the same acceptance test without touching the form.
    bool JobTypeByPM(const std::optional<std::string>& storedName);
    bool CheckJobTypeOfPM(const std::optional<std::string>& storedName);

    // Field rule: YES when text FAILS the rule (length minLength..maxLength in UTF-8 bytes,
    // class 0 digits, class 3 ASCII letters and digits), NO when it passes.
    bool QualifyPA(const char* text, int minLength, int maxLength, int characterClass);

    // The view description connects outlets and sends actions through these.
    bool connectOutlet(std::string_view outlet,
                       const std::shared_ptr<platform::Control>& control) override;
    bool performAction(std::string_view selector,
                       const std::shared_ptr<platform::Control>& sender) override;

    // The translation of an English text through the panel's bundle.
    std::string localizedString(std::string_view english) const;
    // The five PPD attributes of ppd; all missing when there is no PPD.
    PrinterAttributes printerAttributes() const;
    // The print settings of the callback object, or none.
    platform::PMPrintSettings printSettings() const;

    // The fields, in declaration order. Fields 4 to 20 are the outlets of the view description.
    std::shared_ptr<platform::PDEPluginCallback> pdePluginCallbackObject;  // held to destruction
    std::optional<std::string> thePDEName;           // computed once by panelName
    Outlet<platform::PopUpButton> outputBinsPopup;   // never used
    std::shared_ptr<platform::View> outputBinsView;  // the root view, held
    Outlet<UserIDFieldS> UserIDField;
    Outlet<DocNameFiledS> DocNameField;
    Outlet<PasswordFieldS> PasswordField;
    Outlet<LongPasswordFieldS> LongPasswordField;
    Outlet<UserIDFieldS> UserCodeField;
    Outlet<platform::TextField> UserIDLABEL;
    Outlet<platform::TextField> UserCodeLABEL;
    Outlet<platform::TextField> DocNameLABEL;
    Outlet<platform::TextField> PasswordLABEL;
    Outlet<platform::TextField> JobTypeLABEL;
    Outlet<platform::TextField> UserIDnote;
    Outlet<platform::TextField> UserCodenote;
    Outlet<platform::TextField> DocNamenote;
    Outlet<platform::TextField> Passwordnote;
    Outlet<platform::PopUpButton> JobTypeSelection;
    Outlet<platform::Button> EnableUserCode;
    bool popUpIsInited = false;
    bool longpasswordsup = false;
    bool panelshown = false;
    ppd_file_s* ppd = nullptr;                    // borrowed from the dialog; may be null
    ppd_option_s* outputBinOption = nullptr;      // never used
    std::shared_ptr<platform::Bundle> pdeBundle;  // held to destruction

    // Only initWithCallback makes panels; the key keeps the constructor out of other hands while
    // letting std::make_shared call it.
    class ConstructionKey {
        friend class KordavineJobLogPDE;
        ConstructionKey() = default;
    };
    explicit KordavineJobLogPDE(ConstructionKey) {}
};

// The value the print settings hold under key; none without print settings or when the read
// fails, as it does for a key they lack.
std::optional<std::string> storedValue(const platform::PMPrintSettings& settings, const char* key);

}  // namespace kordavine::joblog
