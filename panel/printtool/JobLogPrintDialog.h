// Qt's print dialog with the Job Log tab among its option tabs, opened with the options shown and
// the Job Log tab in front. It follows the printer the person picks (the tab carries the entries
// over), offers only choices that can reach the job, and on Print has the panel save: a refused
// entry shows its alert over the tab with the focus in that entry, and entries a change of printer
// dropped are printed only once the person confirms.
#pragma once

#include <QPointer>
#include <QPrintDialog>
#include <functional>
#include <string>

#include "CupsPrinters.h"
#include "JobLogTab.h"

class QComboBox;

namespace kordavine::printtool {

class JobLogPrintDialog : public QPrintDialog {
  public:
    using SetupOfPrinter = std::function<PrinterSetup(const std::string& name)>;

    JobLogPrintDialog(QPrinter* printer, JobLogTab* tab, SetupOfPrinter setupOf,
                      QWidget* parent = nullptr);

    JobLogTab* tab() const { return tab_; }
    // The queue chosen in the dialog at this moment.
    std::string chosenPrinter() const;
    // Brings the Job Log tab to the front (opening the dialog's options when folded).
    void revealTab();

    void accept() override;

  protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    // Shows the panel for printer when it is not the one shown.
    void followPrinter(const std::string& printer);
    // Hides what Qt offers that cannot reach a job printed from a file.
    void hideChoicesThatCannotReachTheJob(QWidget* within);
    // Asks whether to print with the entries a change of printer left; true to print.
    bool confirmDroppedEntries();

    JobLogTab* tab_;
    SetupOfPrinter setupOf_;
    QPointer<QComboBox> printers_;
    bool shownOnce_ = false;
};

}  // namespace kordavine::printtool
