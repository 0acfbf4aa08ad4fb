// The Job Log tab of the print dialog: the panel the bundle supplies for the chosen printer, laid
// out by the Qt toolkit, one form at a time, with a summary of the form below it, kept up to date
// as the person types. A change of printer replaces the panel with one for that printer's PPD;
// what the person typed goes along where the new printer takes it, and what it does not take is
// listed on the tab until the person confirms it.
#pragma once

#include <QPointer>
#include <QStringList>
#include <QWidget>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "CupsPrinters.h"
#include "FormEntries.h"
#include "PlugInLoader.h"
#include "PluginCallback.h"
#include "PrintSettings.h"
#include "QtToolkit.h"

class QLabel;
class QGroupBox;
class QVBoxLayout;

namespace kordavine::printtool {

// The callback object of the tab: the PPD and print settings of the printer shown. The settings
// can be exchanged for a while, so the summary can be previewed on a copy.
class TabCallback : public platform::PDEPluginCallback {
  public:
    TabCallback(platform::PMPrintSettings settings, ppd_file_s* ppd)
        : settings_(std::move(settings)), ppd_(ppd) {}
    platform::PMPrintSettings printSettings() const override { return settings_; }
    ppd_file_s* ppdFile() const override { return ppd_; }
    bool respondsToSelector(std::string_view) const override { return false; }
    void useSettings(platform::PMPrintSettings settings) { settings_ = std::move(settings); }

  private:
    platform::PMPrintSettings settings_;
    ppd_file_s* ppd_;
};

class JobLogTab : public QWidget {
  public:
    // toolkit: the toolkit the platform layer was given (installed by the host); language: the
    // panel's language, for the tab's own texts.
    JobLogTab(platform::LoadedPlugIn plugIn, std::shared_ptr<qt::QtToolkit> toolkit,
              std::string language = "en", QWidget* parent = nullptr);
    ~JobLogTab() override;

    // Makes a new panel for the printer, its print settings preset from startingSettings(setup),
    // and shows its form in place of the one shown before. False when the bundle supplies no
    // panel (the tab then says so).
    bool showPanelFor(PrinterSetup setup);
    // Another printer chosen in the dialog. An untouched form starts from that printer's own
    // settings; once the person has changed it, the entries go along to the new printer's panel,
    // and the entries it does not take are listed on the tab (pendingNotice).
    void switchPrinter(PrinterSetup setup);
    // What the last changes of printer dropped, not yet confirmed; empty when there is nothing to
    // confirm before printing.
    QString pendingNotice() const;
    void confirmNotice();

    const std::string& printerName() const { return setup_.name; }
    const PrinterSetup& printerSetup() const { return setup_; }
    // The job types the pop-up offers for the printer shown.
    std::vector<std::string> jobTypes() const;
    // The panel's name, localized (the tab's title).
    QString panelName() const { return windowTitle(); }
    const std::string& language() const { return language_; }

    // What Print does with the panel: save (a refused entry shows its alert and answers false,
    // the form unchanged), then the last check before printing.
    bool saveForPrinting();
    // The print settings under the print-settings prefix, as the panel last saved them.
    OptionMap savedSettings() const;

    // The summary as shown, one line for each entry in use, in the form's order; the entry the
    // panel would refuse is marked. The refusal that the form would meet, if any.
    QString summaryText() const;
    QString refusalText() const;
    void refreshSummary();
    // The outlet name of the entry the form's refusal is about; none when the form would pass.
    std::optional<std::string> refusedControl() const { return refusedControl_; }
    // Puts the keyboard focus in the entry with that outlet name.
    void focusControl(const std::string& identifier);

    // The widget of a control of the panel's view, by its outlet name; none without a view.
    QWidget* controlWidget(const std::string& identifier) const;
    std::shared_ptr<platform::View> view() const { return view_; }

  private:
    void releasePanel();
    bool makePanel(PrinterSetup setup, const OptionMap& settings);
    void updateTabTitle();
    void updateNotice();
    std::string localized(std::string_view english) const;
    // The outlet name of the entry an alert text is about.
    std::optional<std::string> controlOfAlert(const std::string& alert) const;
    QString droppedLine(FormEntry entry, const FormEntries& carried,
                        const FormEntries& taken) const;

    platform::LoadedPlugIn plugIn_;
    std::shared_ptr<qt::QtToolkit> toolkit_;
    std::string language_;
    PrinterSetup setup_;
    platform::PMPrintSettings settings_;
    std::shared_ptr<TabCallback> callback_;
    std::shared_ptr<platform::PDEPanel> panel_;
    std::shared_ptr<platform::View> view_;
    QPointer<QWidget> form_;
    bool edited_ = false;
    std::optional<std::string> refusedControl_;
    QStringList notice_;
    QVBoxLayout* layout_;
    QWidget* noticeBox_;
    QLabel* noticeText_;
    QGroupBox* summaryBox_;
    QVBoxLayout* summaryLines_;
    std::vector<QLabel*> lineLabels_;
    QWidget* refusalRow_;
    QLabel* refusal_;
    QLabel* noPanel_;
};

}  // namespace kordavine::printtool
