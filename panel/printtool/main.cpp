// joblog-print: prints a PostScript or PDF file through Qt's print dialog, with the Job Log panel
// as one of its tabs, and submits it to the chosen CUPS queue with the panel's job settings.
#include <unistd.h>

#include <QApplication>
#include <QMessageBox>
#include <cstdlib>
#include <iostream>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "PrintTool.h"

namespace {

// Started from a file manager or a menu, the tool has no terminal for its messages: what stops
// it before the dialog opens is shown in a message box as well, where a display is at hand.
bool startErrorsNeedABox() {
    if (::isatty(STDERR_FILENO)) return false;
    const char* display = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    if ((!display || !*display) && (!wayland || !*wayland)) return false;
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    const std::string_view platformName = platform ? platform : "";
    return platformName != "offscreen" && platformName != "minimal";
}

int failAtStart(int argc, char** argv, const std::string& message, int status) {
    std::cerr << message;
    if (startErrorsNeedABox()) {
        QApplication application(argc, argv);
        QMessageBox box(QMessageBox::Critical, QStringLiteral("joblog-print"),
                        QString::fromStdString(message).trimmed(), QMessageBox::Ok);
        box.setTextFormat(Qt::PlainText);
        box.exec();
    }
    return status;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace kordavine::printtool;
    PrintToolOptions options;
    try {
        options = parsePrintToolOptions(std::vector<std::string>(argv + 1, argv + argc));
    } catch (const UsageError& error) {
        return failAtStart(
            argc, argv, std::string("joblog-print: ") + error.what() + '\n' + kPrintToolUsage, 2);
    }
    if (options.help) {
        std::cout << kPrintToolUsage;
        return 0;
    }
    // Everything that can be checked without a window is checked first.
    std::ostringstream problems;
    const auto job = preparePrintJob(options, problems);
    if (!job) return failAtStart(argc, argv, problems.str(), 1);
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("joblog-print"));
    return runPrintDialog(options, *job, std::cout, std::cerr);
}
