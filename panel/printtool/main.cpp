// joblog-print: prints a PostScript or PDF file through Qt's print dialog, with the Job Log panel
// as one of its tabs, and submits it to the chosen CUPS queue with the panel's job settings.
#include <iostream>
#include <string>
#include <vector>

#include <QApplication>

#include "PrintTool.h"

int main(int argc, char** argv) {
    using namespace kordavine::printtool;
    PrintToolOptions options;
    try {
        options = parsePrintToolOptions(std::vector<std::string>(argv + 1, argv + argc));
    } catch (const UsageError& error) {
        std::cerr << "joblog-print: " << error.what() << '\n' << kPrintToolUsage;
        return 2;
    }
    if (options.help) {
        std::cout << kPrintToolUsage;
        return 0;
    }
    // Everything that can be checked without a window is checked first.
    const auto job = preparePrintJob(options, std::cerr);
    if (!job) return 1;
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("joblog-print"));
    return runPrintDialog(options, *job, std::cout, std::cerr);
}
