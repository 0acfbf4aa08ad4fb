#include "JobLogTab.h"

#include <QGroupBox>
#include <QLabel>
#include <QTabWidget>
#include <QVBoxLayout>

#include "Controls.h"
#include "PrintDialogExtension.h"
#include "QtMessages.h"

namespace kordavine::printtool {

namespace {

QWidget* widgetOf(const std::shared_ptr<platform::Control>& control) {
    if (!control) return nullptr;
    const auto* peer = dynamic_cast<const qt::QtWidgetPeer*>(control->peer().get());
    return peer ? peer->widget() : nullptr;
}

}  // namespace

JobLogTab::JobLogTab(platform::LoadedPlugIn plugIn, std::shared_ptr<qt::QtToolkit> toolkit, QWidget* parent)
    : QWidget(parent), plugIn_(std::move(plugIn)), toolkit_(std::move(toolkit)) {
    setObjectName("JobLogTab");
    layout_ = new QVBoxLayout(this);
    noPanel_ = new QLabel(this);
    noPanel_->hide();
    layout_->addWidget(noPanel_);
    // The summary sits in a frame of its own below the form; its lines carry the panel's own
    // localized labels, so it needs no heading.
    summaryBox_ = new QGroupBox(this);
    auto* summaryLayout = new QVBoxLayout(summaryBox_);
    summary_ = new QLabel(summaryBox_);
    summary_->setObjectName("JobLogSummary");
    summary_->setTextFormat(Qt::PlainText);
    refusal_ = new QLabel(summaryBox_);
    refusal_->setObjectName("JobLogRefusal");
    refusal_->setTextFormat(Qt::PlainText);
    QPalette palette = refusal_->palette();
    palette.setColor(QPalette::WindowText, palette.color(QPalette::Disabled, QPalette::WindowText));
    refusal_->setPalette(palette);
    summaryLayout->addWidget(summary_);
    summaryLayout->addWidget(refusal_);
    layout_->addWidget(summaryBox_);
    layout_->addStretch(1);
    toolkit_->setUserActionObserver([this] { refreshSummary(); });
}

JobLogTab::~JobLogTab() {
    toolkit_->setUserActionObserver(nullptr);
    releasePanel();
}

void JobLogTab::releasePanel() {
    // The dialog lets go of the view first, then of the panel.
    view_.reset();
    panel_.reset();
    callback_.reset();
}

bool JobLogTab::showPanelFor(PrinterSetup setup) {
    releasePanel();
    setup_ = std::move(setup);
    settings_ = std::make_shared<platform::PrintSettingsStore>();
    for (const auto& [key, value] : presetSettings(setup_.savedOptions)) settings_->setValue(key, value, false);
    callback_ = std::make_shared<TabCallback>(settings_, setup_.ppd ? setup_.ppd->get() : nullptr);
    const auto panels = plugIn_.factory->PDEPanelsForType(platform::kPrinterDriverPanelsType, callback_);
    if (panels && !panels->empty()) panel_ = panels->front();
    if (panel_) view_ = panel_->panelView();
    if (!panel_ || !view_) {
        releasePanel();
        noPanel_->setText(QStringLiteral("The Job Log panel could not be loaded (see the messages on standard error)."));
        noPanel_->show();
        summaryBox_->hide();
        return false;
    }
    noPanel_->hide();
    summaryBox_->show();
    panel_->willShow();
    if (QWidget* form = widgetOf(view_)) layout_->insertWidget(1, form);
    updateTabTitle();
    refreshSummary();
    return true;
}

void JobLogTab::updateTabTitle() {
    setWindowTitle(QString::fromStdString(panel_ ? panel_->panelName() : std::string()));
    // Inside a tab widget (its stack of pages, then the tab widget itself): rename the tab.
    for (QWidget* above = parentWidget(); above; above = above->parentWidget()) {
        if (auto* tabs = qobject_cast<QTabWidget*>(above)) {
            const int index = tabs->indexOf(this);
            if (index >= 0) tabs->setTabText(index, windowTitle());
            break;
        }
    }
}

std::vector<std::string> JobLogTab::jobTypes() const {
    if (!view_) return {};
    const auto control = std::dynamic_pointer_cast<platform::PopUpButton>(view_->subviewWithIdentifier("JobTypeSelection"));
    return control ? control->itemTitles() : std::vector<std::string>{};
}

std::vector<std::string> JobLogTab::jobTypesFor(const PrinterSetup& setup) const {
    auto callback = std::make_shared<TabCallback>(std::make_shared<platform::PrintSettingsStore>(),
                                                  setup.ppd ? setup.ppd->get() : nullptr);
    const auto panels = plugIn_.factory->PDEPanelsForType(platform::kPrinterDriverPanelsType, callback);
    if (!panels || panels->empty()) return {};
    const auto& panel = panels->front();
    const auto view = panel->panelView();
    if (!view) return {};
    panel->willShow();
    const auto control = std::dynamic_pointer_cast<platform::PopUpButton>(view->subviewWithIdentifier("JobTypeSelection"));
    return control ? control->itemTitles() : std::vector<std::string>{};
}

bool JobLogTab::saveForPrinting() {
    if (!panel_) return false;
    platform::PDEError error;
    if (!panel_->saveValuesAndReturnError(&error)) return false;
    panel_->shouldPrint();
    refreshSummary();
    return true;
}

OptionMap JobLogTab::savedSettings() const {
    return settings_ ? presetSettings(OptionMap(settings_->values().begin(), settings_->values().end())) : OptionMap{};
}

void JobLogTab::refreshSummary() {
    if (!panel_ || !callback_) return;
    // Check the form against a copy of the settings: what Print would store, without storing
    // it and without alerts the person did not ask for.
    auto scratch = std::make_shared<platform::PrintSettingsStore>(*settings_);
    callback_->useSettings(scratch);
    qt::AlertDiversion diversion;
    platform::PDEError error;
    const bool saved = panel_->saveValuesAndReturnError(&error);
    const auto summary = panel_->summaryInfo();
    callback_->useSettings(settings_);

    QStringList lines;
    for (const auto& [label, value] : summary) {
        lines << QString::fromStdString(label) + QStringLiteral(": ") + QString::fromStdString(value);
    }
    summary_->setText(lines.join('\n'));
    const bool refused = !saved && !diversion.alerts().empty();
    refusal_->setText(refused ? QString::fromStdString(diversion.alerts().front()) : QString());
    refusal_->setVisible(refused);
}

QString JobLogTab::summaryText() const { return summary_->text(); }

QString JobLogTab::refusalText() const { return refusal_->isHidden() ? QString() : refusal_->text(); }

QWidget* JobLogTab::controlWidget(const std::string& identifier) const {
    return view_ ? widgetOf(view_->subviewWithIdentifier(identifier)) : nullptr;
}

}  // namespace kordavine::printtool
