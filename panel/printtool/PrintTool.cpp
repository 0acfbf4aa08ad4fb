#include "PrintTool.h"

#include <algorithm>
#include <filesystem>
#include <memory>

#include <cups/cups.h>

#include <QApplication>
#include <QLibraryInfo>
#include <QPrinter>
#include <QTimer>
#include <QTranslator>

#include "BundleLocation.h"
#include "JobLogPrintDialog.h"
#include "JobSubmission.h"
#include "PanelLanguage.h"
#include "QtMessages.h"
#include "QtToolkit.h"

namespace kordavine::printtool {

namespace {

// The dialog's choices beyond the copies, in the words CUPS takes.
DialogChoices choicesOf(const QPrinter& printer) {
    DialogChoices choices;
    choices.copies = printer.copyCount();
    choices.collate = printer.collateCopies();
    switch (printer.duplex()) {
    case QPrinter::DuplexNone: choices.sides = "one-sided"; break;
    case QPrinter::DuplexLongSide: choices.sides = "two-sided-long-edge"; break;
    case QPrinter::DuplexShortSide: choices.sides = "two-sided-short-edge"; break;
    case QPrinter::DuplexAuto: break;
    }
    if (printer.printRange() == QPrinter::PageRange && printer.fromPage() > 0) {
        choices.pageRanges = std::to_string(printer.fromPage()) + "-" + std::to_string(printer.toPage());
    }
    return choices;
}

}  // namespace

std::optional<PreparedJob> preparePrintJob(const PrintToolOptions& options, std::ostream& err) {
    const auto file = checkPrintFile(options.file);
    if (!file.problem.empty()) {
        err << "joblog-print: " << file.problem << '\n';
        return std::nullopt;
    }
    const auto printers = listPrinters();
    if (!printers.printers) {
        // Name the server asked, so the person sees which scheduler is not running.
        err << "joblog-print: cannot reach the print system at " << cupsServer() << ": " << printers.error << '\n';
        return std::nullopt;
    }
    if (printers.printers->names.empty()) {
        err << "joblog-print: no printers are set up\n";
        return std::nullopt;
    }
    std::string queue = printers.printers->defaultName.value_or(printers.printers->names.front());
    if (options.printer) {
        const auto& names = printers.printers->names;
        if (std::find(names.begin(), names.end(), *options.printer) == names.end()) {
            err << "joblog-print: there is no printer named " << *options.printer << '\n';
            return std::nullopt;
        }
        queue = *options.printer;
    }
    return PreparedJob{file.documentFormat, queue};
}

int runPrintDialog(const PrintToolOptions& options, const PreparedJob& job, std::ostream& out, std::ostream& err,
                   const DialogDriver& driver) {
    const std::string& queue = job.queue;

    const std::string bundlePath = options.bundle.value_or(platform::defaultBundlePath().string());
    const std::string language = qt::panelLanguage(qt::localeFromEnvironment(), qt::bundleLanguages(bundlePath));
    auto toolkit = std::make_shared<qt::QtToolkit>();
    platform::setToolkit(toolkit);
    qt::installQtMessageSinks();
    auto loaded = platform::loadPrintDialogExtension(bundlePath, language);
    if (const auto* failure = std::get_if<std::string>(&loaded)) {
        err << "joblog-print: cannot load the Job Log bundle " << bundlePath << ": " << *failure << '\n';
        return 1;
    }

    // The dialog's own texts in the same language, where Qt's translations are installed.
    QTranslator qtTexts;
    if (qtTexts.load(QString::fromStdString("qtbase_" + language), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QCoreApplication::installTranslator(&qtTexts);
    }

    QPrinter printer;
    printer.setPrinterName(QString::fromStdString(queue));
    printer.setCopyCount(options.copies);
    const std::string title = options.title.value_or(std::filesystem::path(options.file).filename().string());
    printer.setDocName(QString::fromStdString(title));

    int status = 1;
    {
        auto* tab = new JobLogTab(std::get<platform::LoadedPlugIn>(loaded), toolkit);
        tab->showPanelFor(setupOfPrinter(queue));
        JobLogPrintDialog dialog(&printer, tab, setupOfPrinter);
        dialog.setWindowTitle(QString::fromStdString(title));
        dialog.setOption(QAbstractPrintDialog::PrintToFile, false);
        dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
        dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
        if (driver) QTimer::singleShot(0, &dialog, [&dialog, &driver] { driver(dialog); });
        if (dialog.exec() == QDialog::Accepted) {
            const std::string chosen = tab->printerName();
            JobRequest request{chosen, options.file, title, job.documentFormat,
                               tab->printerSetup().savedOptions, tab->savedSettings(), choicesOf(printer)};
            const auto answer = submitJob(request);
            if (answer.jobId > 0) {
                out << requestIdLine(chosen, answer.jobId) << '\n';
                status = 0;
            } else {
                err << "joblog-print: " << answer.error << '\n';
            }
        } else {
            err << "joblog-print: cancelled; nothing was printed\n";
        }
    }
    QCoreApplication::removeTranslator(&qtTexts);
    platform::setToolkit(nullptr);
    return status;
}

}  // namespace kordavine::printtool
