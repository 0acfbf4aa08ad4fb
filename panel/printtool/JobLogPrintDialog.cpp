#include "JobLogPrintDialog.h"

#include <QAbstractButton>
#include <QChildEvent>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>

#include "ToolTexts.h"

namespace kordavine::printtool {

JobLogPrintDialog::JobLogPrintDialog(QPrinter* printer, JobLogTab* tab, SetupOfPrinter setupOf,
                                     QWidget* parent)
    : QPrintDialog(printer, parent), tab_(tab), setupOf_(std::move(setupOf)) {
    // The file goes to a queue as it is: no file output, no selection or current page. The page
    // range goes to CUPS as "page-ranges" with the page set beside it, both counting the file's
    // own pages (with the range left to the application, Qt would count the odd pages of a range
    // from its first page, as an application renumbers them).
    setOption(QAbstractPrintDialog::PrintToFile, false);
    setOption(QAbstractPrintDialog::PrintSelection, false);
    setOption(QAbstractPrintDialog::PrintCurrentPage, false);
    setOption(QAbstractPrintDialog::PrintPageRange, false);
    setOptionTabs({tab_});
    tab_->setWindowTitle(tab_->panelName());
    hideChoicesThatCannotReachTheJob(this);
    // The Properties dialog is made when first opened; its choices are looked at when shown.
    installEventFilter(this);
    // Qt's dialog names its printer list "printers"; where it does not, Print re-checks instead.
    printers_ = findChild<QComboBox*>(QStringLiteral("printers"));
    if (printers_) {
        connect(printers_, &QComboBox::currentIndexChanged, this,
                [this](int) { followPrinter(chosenPrinter()); });
    }
}

void JobLogPrintDialog::hideChoicesThatCannotReachTheJob(QWidget* within) {
    // Qt 6.4 refuses every text in the free-form "Pages" field; the range from/to stays.
    for (const char* name : {"pagesRadioButton", "pagesLineEdit"}) {
        if (auto* widget = within->findChild<QWidget*>(QString::fromLatin1(name))) widget->hide();
    }
    // Margins shape what an application draws; a finished file has them already.
    if (auto* margin = within->findChild<QDoubleSpinBox*>(QStringLiteral("topMargin"))) {
        if (auto* group = qobject_cast<QGroupBox*>(margin->parentWidget())) group->hide();
    }
    // The paper source of the page set-up goes nowhere; the PPD's input slot, where the printer
    // has one, is a choice of the Advanced tab.
    for (const char* name : {"paperSource", "paperSourceLabel"}) {
        if (auto* widget = within->findChild<QWidget*>(QString::fromLatin1(name))) widget->hide();
    }
}

bool JobLogPrintDialog::eventFilter(QObject* watched, QEvent* event) {
    if (watched == this && event->type() == QEvent::ChildAdded) {
        if (auto* child = qobject_cast<QWidget*>(static_cast<QChildEvent*>(event)->child())) {
            child->installEventFilter(this);
        }
    } else if (watched != this && event->type() == QEvent::Show) {
        if (auto* widget = qobject_cast<QWidget*>(watched); widget && widget->isWindow()) {
            hideChoicesThatCannotReachTheJob(widget);
        }
    }
    return QPrintDialog::eventFilter(watched, event);
}

void JobLogPrintDialog::showEvent(QShowEvent* event) {
    QPrintDialog::showEvent(event);
    // The tool exists for the Job Log tab: it opens in front, with the options unfolded.
    if (!shownOnce_) {
        shownOnce_ = true;
        revealTab();
    }
}

std::string JobLogPrintDialog::chosenPrinter() const {
    if (printers_ && printers_->currentIndex() >= 0) return printers_->currentText().toStdString();
    return printer()->printerName().toStdString();
}

void JobLogPrintDialog::followPrinter(const std::string& name) {
    if (name.empty() || name == tab_->printerName()) return;
    tab_->switchPrinter(setupOf_(name));
}

void JobLogPrintDialog::revealTab() {
    auto* tabs = tab_->parentWidget();
    while (tabs && !qobject_cast<QTabWidget*>(tabs)) tabs = tabs->parentWidget();
    if (!tabs) return;
    // The options fold away behind the dialog's "Options >>" button, the one button of its
    // button box that neither accepts nor rejects.
    if (!tabs->isVisibleTo(this)) {
        for (auto* box : findChildren<QDialogButtonBox*>()) {
            for (auto* button : box->buttons()) {
                if (box->buttonRole(button) == QDialogButtonBox::ResetRole) button->click();
            }
        }
    }
    static_cast<QTabWidget*>(tabs)->setCurrentWidget(tab_);
}

bool JobLogPrintDialog::confirmDroppedEntries() {
    const std::string& language = tab_->language();
    QMessageBox box(QMessageBox::Warning, tab_->panelName(),
                    tab_->pendingNotice() + QStringLiteral("\n\n") +
                        toolText(ToolText::PrintWithTheseSettings, language),
                    QMessageBox::NoButton, this);
    box.setObjectName("JobLogConfirmation");
    box.setTextFormat(Qt::PlainText);
    auto* print = box.addButton(toolText(ToolText::PrintButton, language), QMessageBox::AcceptRole);
    box.setDefaultButton(box.addButton(QMessageBox::Cancel));
    box.exec();
    return box.clickedButton() == print;
}

void JobLogPrintDialog::accept() {
    // A change of printer the dialog gave no notice of: the panel must have checked the entries
    // against the printer that gets the job.
    const std::string chosen = chosenPrinter();
    if (!chosen.empty() && chosen != tab_->printerName()) tab_->switchPrinter(setupOf_(chosen));
    // A refused entry: its alert comes up over the Job Log tab, the focus in that entry.
    tab_->refreshSummary();
    if (const auto refused = tab_->refusedControl()) {
        revealTab();
        tab_->focusControl(*refused);
    }
    if (!tab_->saveForPrinting()) {
        revealTab();
        if (const auto refused = tab_->refusedControl()) tab_->focusControl(*refused);
        return;
    }
    if (!tab_->pendingNotice().isEmpty()) {
        revealTab();
        if (!confirmDroppedEntries()) return;
        tab_->confirmNotice();
    }
    QPrintDialog::accept();
}

}  // namespace kordavine::printtool
