// The Job Log tab of the print dialog: the panel the bundle supplies for the chosen printer,
// laid out by the Qt toolkit, with the panel's summary below the form, kept up to date as the
// person types. A change of printer recreates the panel with that printer's PPD and presets.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <QPointer>
#include <QWidget>

#include "CupsPrinters.h"
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
    TabCallback(platform::PMPrintSettings settings, ppd_file_s* ppd) : settings_(std::move(settings)), ppd_(ppd) {}
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
    // toolkit: the toolkit the platform layer was given (installed by the host).
    JobLogTab(platform::LoadedPlugIn plugIn, std::shared_ptr<qt::QtToolkit> toolkit, QWidget* parent = nullptr);
    ~JobLogTab() override;

    // Makes a new panel for the printer, its print settings preset from its saved options, and
    // shows it. False when the bundle supplies no panel (the tab then says so).
    bool showPanelFor(PrinterSetup setup);

    const std::string& printerName() const { return setup_.name; }
    const PrinterSetup& printerSetup() const { return setup_; }
    // The job types the pop-up offers for the printer shown.
    std::vector<std::string> jobTypes() const;
    // The job types a panel for that printer would offer, found with a panel that is never shown.
    std::vector<std::string> jobTypesFor(const PrinterSetup& setup) const;
    // Keeps the panel and the form but sends the job to another printer (with the same job types).
    void retarget(PrinterSetup setup) { setup_ = std::move(setup); }
    // The panel's name, localized (the tab's title).
    QString panelName() const { return windowTitle(); }

    // What Print does with the panel: save (a refused entry shows its alert and answers false,
    // the form unchanged), then the last check before printing.
    bool saveForPrinting();
    // The print settings under the print-settings prefix, as the panel last saved them.
    OptionMap savedSettings() const;

    // The summary as shown; the refusal that the form would meet, if any.
    QString summaryText() const;
    QString refusalText() const;
    void refreshSummary();

    // The widget of a control of the panel's view, by its outlet name; none without a view.
    QWidget* controlWidget(const std::string& identifier) const;
    std::shared_ptr<platform::View> view() const { return view_; }

private:
    void releasePanel();
    void updateTabTitle();

    platform::LoadedPlugIn plugIn_;
    std::shared_ptr<qt::QtToolkit> toolkit_;
    PrinterSetup setup_;
    platform::PMPrintSettings settings_;
    std::shared_ptr<TabCallback> callback_;
    std::shared_ptr<platform::PDEPanel> panel_;
    std::shared_ptr<platform::View> view_;
    QVBoxLayout* layout_;
    QGroupBox* summaryBox_;
    QLabel* summary_;
    QLabel* refusal_;
    QLabel* noPanel_;
};

}  // namespace kordavine::printtool
