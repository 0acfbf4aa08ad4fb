#include "JobLogTab.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpressionValidator>
#include <QStyle>
#include <QTabWidget>
#include <QVBoxLayout>

#include "Controls.h"
#include "PrintDialogExtension.h"
#include "QtControls.h"
#include "QtMessages.h"
#include "ToolTexts.h"

namespace kordavine::printtool {

namespace ps = varlo::printsettings;

namespace {

QWidget* widgetOf(const std::shared_ptr<platform::Control>& control) {
    if (!control) return nullptr;
    const auto* peer = dynamic_cast<const qt::QtWidgetPeer*>(control->peer().get());
    return peer ? peer->widget() : nullptr;
}

// A warning sign beside a text, in the style's own picture.
QLabel* warningIcon(QWidget* parent) {
    auto* icon = new QLabel(parent);
    const int size = parent->style()->pixelMetric(QStyle::PM_SmallIconSize);
    icon->setPixmap(parent->style()->standardIcon(QStyle::SP_MessageBoxWarning).pixmap(size, size));
    icon->setAlignment(Qt::AlignTop);
    return icon;
}

// The alert texts of the panel, by the entry each is about.
struct AlertOfEntry {
    const char* alert;
    const char* control;  // "" for the password entry in use
};
constexpr AlertOfEntry kAlerts[] = {
    {"Enter a valid User ID", "UserIDField"},
    {"Enter a valid File Name", "DocNameField"},
    {"Enter a valid Password", ""},
    {"Enter a valid User Code", "UserCodeField"},
};

}  // namespace

JobLogTab::JobLogTab(platform::LoadedPlugIn plugIn, std::shared_ptr<qt::QtToolkit> toolkit,
                     std::string language, QWidget* parent)
    : QWidget(parent),
      plugIn_(std::move(plugIn)),
      toolkit_(std::move(toolkit)),
      language_(std::move(language)) {
    setObjectName("JobLogTab");
    layout_ = new QVBoxLayout(this);

    // What a change of printer dropped, above the form, with a warning sign.
    noticeBox_ = new QFrame(this);
    noticeBox_->setObjectName("JobLogNotice");
    static_cast<QFrame*>(noticeBox_)->setFrameShape(QFrame::StyledPanel);
    auto* noticeRow = new QHBoxLayout(noticeBox_);
    noticeRow->addWidget(warningIcon(noticeBox_));
    noticeText_ = new QLabel(noticeBox_);
    noticeText_->setTextFormat(Qt::PlainText);
    noticeText_->setWordWrap(true);
    noticeRow->addWidget(noticeText_, 1);
    noticeBox_->hide();
    layout_->addWidget(noticeBox_);

    noPanel_ = new QLabel(this);
    noPanel_->hide();
    layout_->addWidget(noPanel_);

    // The summary sits in a frame of its own below the form; its lines carry the form's own
    // localized labels, so it needs no heading.
    summaryBox_ = new QGroupBox(this);
    summaryBox_->setObjectName("JobLogSummary");
    auto* summaryLayout = new QVBoxLayout(summaryBox_);
    summaryLines_ = new QVBoxLayout;
    summaryLines_->setSpacing(2);
    summaryLayout->addLayout(summaryLines_);
    // The refusal is a message to act on: the warning sign and the normal text colour.
    refusalRow_ = new QWidget(summaryBox_);
    auto* refusalLayout = new QHBoxLayout(refusalRow_);
    refusalLayout->setContentsMargins(0, 0, 0, 0);
    refusalLayout->addWidget(warningIcon(refusalRow_));
    refusal_ = new QLabel(refusalRow_);
    refusal_->setObjectName("JobLogRefusal");
    refusal_->setTextFormat(Qt::PlainText);
    refusal_->setWordWrap(true);
    refusalLayout->addWidget(refusal_, 1);
    refusalRow_->hide();
    summaryLayout->addWidget(refusalRow_);
    layout_->addWidget(summaryBox_);
    layout_->addStretch(1);
    toolkit_->setUserActionObserver([this] {
        edited_ = true;
        refreshSummary();
    });
}

JobLogTab::~JobLogTab() {
    toolkit_->setUserActionObserver(nullptr);
    releasePanel();
}

void JobLogTab::releasePanel() {
    // The form leaves the tab with its panel: out of the layout first, then, once the dialog
    // has let go of the view and the panel, destroyed.
    QPointer<QWidget> form = form_;
    if (form) {
        layout_->removeWidget(form);
        form->hide();
    }
    view_.reset();
    panel_.reset();
    callback_.reset();
    delete form.data();
    form_.clear();
    refusedControl_.reset();
}

std::string JobLogTab::localized(std::string_view english) const {
    return plugIn_.bundle ? plugIn_.bundle->localizedStringForKey(english) : std::string(english);
}

bool JobLogTab::showPanelFor(PrinterSetup setup) {
    const OptionMap settings = startingSettings(setup);
    edited_ = false;
    return makePanel(std::move(setup), settings);
}

bool JobLogTab::makePanel(PrinterSetup setup, const OptionMap& settings) {
    releasePanel();
    setup_ = std::move(setup);
    settings_ = std::make_shared<platform::PrintSettingsStore>();
    for (const auto& [key, value] : settings) settings_->setValue(key, value, false);
    callback_ = std::make_shared<TabCallback>(settings_, setup_.ppd ? setup_.ppd->get() : nullptr);
    const auto panels =
        plugIn_.factory->PDEPanelsForType(platform::kPrinterDriverPanelsType, callback_);
    if (panels && !panels->empty()) panel_ = panels->front();
    if (panel_) view_ = panel_->panelView();
    if (!panel_ || !view_) {
        releasePanel();
        noPanel_->setText(QStringLiteral(
            "The Job Log panel could not be loaded (see the messages on standard error)."));
        noPanel_->show();
        summaryBox_->hide();
        return false;
    }
    noPanel_->hide();
    summaryBox_->show();
    panel_->willShow();
    form_ = widgetOf(view_);
    if (form_) {
        form_->setObjectName("JobLogForm");
        layout_->insertWidget(layout_->indexOf(summaryBox_), form_);
    }
    // A password is digits only: other keys never reach the entry.
    for (const char* identifier : {"PasswordField", "LongPasswordField"}) {
        if (auto* edit = qobject_cast<QLineEdit*>(controlWidget(identifier))) {
            edit->setValidator(new QRegularExpressionValidator(
                QRegularExpression(QStringLiteral("[0-9]*")), edit));
        }
    }
    updateTabTitle();
    refreshSummary();
    return true;
}

void JobLogTab::switchPrinter(PrinterSetup setup) {
    if (!edited_ || !view_) {
        showPanelFor(std::move(setup));
        return;
    }
    const Localizer localize = [this](std::string_view english) { return localized(english); };
    const FormEntries carried = readForm(*view_, localize);
    OptionMap settings = startingSettings(setup);
    for (const auto& [key, value] : asPrintSettings(carried)) settings[key] = value;
    if (!makePanel(std::move(setup), settings)) return;
    edited_ = true;  // the form still holds what the person typed
    const FormEntries taken = readForm(*view_, localize);
    const auto dropped = droppedEntries(carried, taken);
    if (dropped.empty()) return;
    notice_
        << toolText(ToolText::NotCarriedOver, language_).arg(QString::fromStdString(setup_.name));
    for (const FormEntry entry : dropped)
        notice_ << QStringLiteral("• ") + droppedLine(entry, carried, taken);
    updateNotice();
}

QString JobLogTab::droppedLine(FormEntry entry, const FormEntries& carried,
                               const FormEntries& taken) const {
    const QString printer = QString::fromStdString(setup_.name);
    const auto title = [this](const std::optional<ps::JobType>& type) {
        return QString::fromStdString(
            localized(ps::displayTitle(type.value_or(ps::JobType::Normal))));
    };
    const auto labelText = [this](const char* identifier) {
        const auto* label = qobject_cast<QLabel*>(controlWidget(identifier));
        return label ? label->text() : QString::fromLatin1(identifier);
    };
    switch (entry) {
        case FormEntry::JobType:
            return toolText(ToolText::JobTypeNotOffered, language_)
                .arg(printer, title(carried.jobType), title(taken.jobType));
        case FormEntry::Password: {
            // The note beside the entry says what the printer takes: "(4 digits)".
            QString takes = labelText("Passwordnote");
            if (takes.startsWith('(') && takes.endsWith(')'))
                takes = takes.mid(1, takes.size() - 2);
            return toolText(ToolText::PasswordNotTaken, language_).arg(printer, takes);
        }
        case FormEntry::UserID:
            return toolText(ToolText::EntryNotTaken, language_)
                .arg(printer, labelText("UserIDLABEL"));
        case FormEntry::UserCode:
            return toolText(ToolText::EntryNotTaken, language_)
                .arg(printer, labelText("UserCodeLABEL"));
        case FormEntry::FileName:
            return toolText(ToolText::EntryNotTaken, language_)
                .arg(printer, labelText("DocNameLABEL"));
    }
    return {};
}

void JobLogTab::updateNotice() {
    if (notice_.isEmpty()) {
        noticeBox_->hide();
        noticeText_->clear();
        return;
    }
    noticeText_->setText(notice_.join('\n') + '\n' +
                         toolText(ToolText::ConfirmBeforePrinting, language_));
    noticeBox_->show();
}

QString JobLogTab::pendingNotice() const {
    return notice_.isEmpty() ? QString() : noticeText_->text();
}

void JobLogTab::confirmNotice() {
    notice_.clear();
    updateNotice();
}

void JobLogTab::updateTabTitle() {
    setWindowTitle(QString::fromStdString(panel_ ? panel_->panelName() : std::string()));
    // The panel's alerts carry its name.
    qt::setAlertTitle(windowTitle().toStdString());
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
    const auto control = std::dynamic_pointer_cast<platform::PopUpButton>(
        view_->subviewWithIdentifier("JobTypeSelection"));
    return control ? control->itemTitles() : std::vector<std::string>{};
}

bool JobLogTab::saveForPrinting() {
    if (!panel_) return false;
    platform::PDEError error;
    if (!panel_->saveValuesAndReturnError(&error)) {
        refreshSummary();
        return false;
    }
    panel_->shouldPrint();
    refreshSummary();
    return true;
}

OptionMap JobLogTab::savedSettings() const {
    return settings_
               ? presetSettings(OptionMap(settings_->values().begin(), settings_->values().end()))
               : OptionMap{};
}

std::optional<std::string> JobLogTab::controlOfAlert(const std::string& alert) const {
    for (const auto& [english, control] : kAlerts) {
        if (localized(english) != alert) continue;
        if (*control) return std::string(control);
        // The password entry in use is the one the panel shows.
        const auto* longEntry = controlWidget("LongPasswordField");
        return std::string(longEntry && !longEntry->isHidden() ? "LongPasswordField"
                                                               : "PasswordField");
    }
    return std::nullopt;
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
    callback_->useSettings(settings_);
    const bool refused = !saved && !diversion.alerts().empty();
    refusedControl_ = refused ? controlOfAlert(diversion.alerts().front()) : std::nullopt;
    const QWidget* refusedWidget = refusedControl_ ? controlWidget(*refusedControl_) : nullptr;

    // One line for each row of the form in use: shown, its entry enabled (the job type uses it),
    // the user code only while its check box is on. The password shows as the entry shows it.
    QStringList lines;
    std::vector<bool> marked;
    if (const auto* form = dynamic_cast<const qt::QtView*>(view_->peer().get())) {
        for (const auto& row : form->rowNames()) {
            QString label;
            for (QWidget* widget : form->widgetsIn(row, platform::FormColumn::Label)) {
                if (auto* text = qobject_cast<QLabel*>(widget); text && text->isVisibleTo(form_))
                    label = text->text();
            }
            if (label.isEmpty()) continue;
            std::optional<QString> value;
            bool isRefused = false;
            bool switchedOff = false;
            for (QWidget* widget : form->widgetsIn(row, platform::FormColumn::Entry)) {
                if (!widget->isVisibleTo(form_)) continue;
                if (auto* box = qobject_cast<QCheckBox*>(widget)) switchedOff = !box->isChecked();
                if (!widget->isEnabled()) continue;
                if (auto* combo = qobject_cast<QComboBox*>(widget)) value = combo->currentText();
                if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
                    value = edit->echoMode() == QLineEdit::Normal
                                ? edit->text()
                                : QString(edit->text().size(), QChar(0x2022));
                }
                isRefused = isRefused || widget == refusedWidget;
            }
            if (!value || switchedOff) continue;
            QString line = value->isEmpty() ? label : label + ' ' + *value;
            if (isRefused)
                line = QStringLiteral("⚠ ") + line + QStringLiteral(" (") +
                       toolText(ToolText::NotYetAcceptable, language_) + ')';
            lines << line;
            marked.push_back(isRefused);
        }
    }
    while (lineLabels_.size() < static_cast<std::size_t>(lines.size())) {
        auto* line = new QLabel(summaryBox_);
        line->setTextFormat(Qt::PlainText);
        summaryLines_->addWidget(line);
        lineLabels_.push_back(line);
    }
    for (std::size_t i = 0; i < lineLabels_.size(); ++i) {
        QLabel* line = lineLabels_[i];
        const bool used = i < static_cast<std::size_t>(lines.size());
        line->setVisible(used);
        line->setText(used ? lines[static_cast<qsizetype>(i)] : QString());
        QFont font = line->font();
        font.setBold(used && marked[i]);
        line->setFont(font);
    }
    refusal_->setText(refused ? QString::fromStdString(diversion.alerts().front()) : QString());
    refusalRow_->setVisible(refused);
}

void JobLogTab::focusControl(const std::string& identifier) {
    if (QWidget* widget = controlWidget(identifier)) {
        widget->setFocus(Qt::OtherFocusReason);
        if (auto* edit = qobject_cast<QLineEdit*>(widget)) edit->selectAll();
    }
}

QString JobLogTab::summaryText() const {
    QStringList lines;
    for (const QLabel* line : lineLabels_) {
        if (!line->isHidden()) lines << line->text();
    }
    return lines.join('\n');
}

QString JobLogTab::refusalText() const {
    return refusalRow_->isHidden() ? QString() : refusal_->text();
}

QWidget* JobLogTab::controlWidget(const std::string& identifier) const {
    return view_ ? widgetOf(view_->subviewWithIdentifier(identifier)) : nullptr;
}

}  // namespace kordavine::printtool
