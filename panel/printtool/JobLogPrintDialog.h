// Qt's print dialog with the Job Log tab among its option tabs. It follows the printer the
// person picks (recreating the panel for that printer's PPD) and, on Print, has the panel save:
// a refused entry keeps the dialog open with everything typed still there.
#pragma once

#include <functional>
#include <string>

#include <QPointer>
#include <QPrintDialog>

#include "CupsPrinters.h"
#include "JobLogTab.h"

class QComboBox;

namespace kordavine::printtool {

class JobLogPrintDialog : public QPrintDialog {
public:
    using SetupOfPrinter = std::function<PrinterSetup(const std::string& name)>;

    JobLogPrintDialog(QPrinter* printer, JobLogTab* tab, SetupOfPrinter setupOf, QWidget* parent = nullptr);

    JobLogTab* tab() const { return tab_; }
    // The queue chosen in the dialog at this moment.
    std::string chosenPrinter() const;
    // Brings the Job Log tab to the front (opening the dialog's options when folded).
    void revealTab();

    void accept() override;

private:
    // Shows the panel for printer when it is not the one shown.
    void followPrinter(const std::string& printer);

    JobLogTab* tab_;
    SetupOfPrinter setupOf_;
    QPointer<QComboBox> printers_;
};

}  // namespace kordavine::printtool
