#include "PrintTool.h"

#include <cups/cups.h>

#include <QApplication>
#include <QLibraryInfo>
#include <QPrinter>
#include <QTimer>
#include <QTranslator>
#include <algorithm>
#include <filesystem>
#include <memory>

#include "BundleLocation.h"
#include "DialogChoices.h"
#include "JobLogPrintDialog.h"
#include "JobSubmission.h"
#include "PanelLanguage.h"
#include "QtMessages.h"
#include "QtToolkit.h"
#include "RememberedSettings.h"

namespace kordavine::printtool {

std::optional<PreparedJob> preparePrintJob(const PrintToolOptions& options, std::ostream& err) {
    const auto file = checkPrintFile(options.file);
    if (!file.problem.empty()) {
        err << "joblog-print: " << file.problem << '\n';
        return std::nullopt;
    }
    const auto printers = listPrinters();
    if (!printers.printers) {
        // Name the server asked, so the person sees which scheduler is not running.
        err << "joblog-print: cannot reach the print system at " << cupsServer() << ": "
            << printers.error << '\n';
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

int runPrintDialog(const PrintToolOptions& options, const PreparedJob& job, std::ostream& out,
                   std::ostream& err, const DialogDriver& driver) {
    const std::string& queue = job.queue;

    const std::string bundlePath = options.bundle.value_or(platform::defaultBundlePath().string());
    const std::string language =
        qt::panelLanguage(qt::localeFromEnvironment(), qt::bundleLanguages(bundlePath));
    auto toolkit = std::make_shared<qt::QtToolkit>();
    platform::setToolkit(toolkit);
    qt::installQtMessageSinks();
    auto loaded = platform::loadPrintDialogExtension(bundlePath, language);
    if (const auto* failure = std::get_if<std::string>(&loaded)) {
        err << "joblog-print: cannot load the Job Log bundle " << bundlePath << ": " << *failure
            << '\n';
        return 1;
    }

    // The dialog's own texts in the same language, where Qt's translations are installed.
    QTranslator qtTexts;
    if (qtTexts.load(QString::fromStdString("qtbase_" + language),
                     QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QCoreApplication::installTranslator(&qtTexts);
    }

    // Each printer's panel starts from what the person used last on it, under its saved options.
    RememberedSettings remembered;
    const JobLogPrintDialog::SetupOfPrinter setupOf = [&remembered](const std::string& name) {
        PrinterSetup setup = setupOfPrinter(name);
        setup.remembered = remembered.forPrinter(name);
        return setup;
    };

    QPrinter printer;
    printer.setPrinterName(QString::fromStdString(queue));
    printer.setCopyCount(options.copies);
    const std::string title =
        options.title.value_or(std::filesystem::path(options.file).filename().string());
    printer.setDocName(QString::fromStdString(title));

    int status = 1;
    {
        auto* tab = new JobLogTab(std::get<platform::LoadedPlugIn>(loaded), toolkit, language);
        tab->showPanelFor(setupOf(queue));
        // The dialog shows the page order the queue's saved options ask for.
        const auto& saved = tab->printerSetup().savedOptions;
        const auto order = saved.find("outputorder");
        if (order != saved.end() && order->second == "reverse")
            printer.setPageOrder(QPrinter::LastPageFirst);
        JobLogPrintDialog dialog(&printer, tab, setupOf);
        dialog.setWindowTitle(QString::fromStdString(title));
        if (driver) QTimer::singleShot(0, &dialog, [&dialog, &driver] { driver(dialog); });
        if (dialog.exec() == QDialog::Accepted) {
            const std::string chosen = tab->printerName();
            const auto& setup = tab->printerSetup();
            JobRequest request{chosen,
                               options.file,
                               title,
                               job.documentFormat,
                               setup.savedOptions,
                               tab->savedSettings(),
                               choicesOf(printer),
                               ppdOptionDefaults(setup.ppd ? setup.ppd->get() : nullptr)};
            const auto answer = submitJob(request);
            if (answer.jobId > 0) {
                out << requestIdLine(chosen, answer.jobId) << '\n';
                status = 0;
                std::string error;
                if (!remembered.remember(chosen, tab->savedSettings(), error)) {
                    err << "joblog-print: the settings were not remembered: " << error << '\n';
                }
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
