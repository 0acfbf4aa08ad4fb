#include "JobLogPrintDialog.h"

#include <QAbstractButton>
#include <QDialogButtonBox>
#include <QComboBox>
#include <QPrinter>
#include <QTabWidget>

namespace kordavine::printtool {

JobLogPrintDialog::JobLogPrintDialog(QPrinter* printer, JobLogTab* tab, SetupOfPrinter setupOf, QWidget* parent)
    : QPrintDialog(printer, parent), tab_(tab), setupOf_(std::move(setupOf)) {
    setOptionTabs({tab_});
    tab_->setWindowTitle(tab_->panelName());
    // Qt's dialog names its printer list "printers"; where it does not, Print re-checks instead.
    printers_ = findChild<QComboBox*>(QStringLiteral("printers"));
    if (printers_) {
        connect(printers_, &QComboBox::currentIndexChanged, this, [this](int) { followPrinter(chosenPrinter()); });
    }
}

std::string JobLogPrintDialog::chosenPrinter() const {
    if (printers_ && printers_->currentIndex() >= 0) return printers_->currentText().toStdString();
    return printer()->printerName().toStdString();
}

void JobLogPrintDialog::followPrinter(const std::string& name) {
    if (name.empty() || name == tab_->printerName()) return;
    tab_->showPanelFor(setupOf_(name));
}

void JobLogPrintDialog::revealTab() {
    auto* tabs = tab_->parentWidget();
    while (tabs && !qobject_cast<QTabWidget*>(tabs)) tabs = tabs->parentWidget();
    if (!tabs) return;
    // The options fold away behind the dialog's "Options >>" button, the one button of its
    // button box that neither accepts nor rejects.
    if (!tabs->isVisible()) {
        for (auto* box : findChildren<QDialogButtonBox*>()) {
            for (auto* button : box->buttons()) {
                if (box->buttonRole(button) == QDialogButtonBox::ResetRole) button->click();
            }
        }
    }
    static_cast<QTabWidget*>(tabs)->setCurrentWidget(tab_);
}

void JobLogPrintDialog::accept() {
    // A change of printer the dialog gave no notice of: the panel must have checked the entries
    // against the printer that gets the job. When its job types differ, the person sees them
    // first.
    const std::string chosen = chosenPrinter();
    if (!chosen.empty() && chosen != tab_->printerName()) {
        PrinterSetup setup = setupOf_(chosen);
        if (tab_->jobTypesFor(setup) != tab_->jobTypes()) {
            tab_->showPanelFor(std::move(setup));
            revealTab();
            return;
        }
        tab_->retarget(std::move(setup));
    }
    if (!tab_->saveForPrinting()) {
        revealTab();
        return;
    }
    QPrintDialog::accept();
}

}  // namespace kordavine::printtool
