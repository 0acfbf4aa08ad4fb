// For tests only: joblog-print with the person played by a script. It runs the tool's own dialog
// in-process and acts on the real widgets with QTest (key events, clicks); it reads no input of
// its own and never writes what is typed into a secure entry.
//
//   joblog-print-scripted --steps JSON [joblog-print's options] FILE
//
// Steps, in order, each an object:
//   {"type": CONTROL, "text": T}   key events for each character of T into the entry
//   {"pick": TITLE}                picks the job type with the keyboard (as shown, so localized)
//   {"toggle": CONTROL}            clicks the check box
//   {"printer": NAME}              chooses another printer in the dialog's list
//   {"dump": true}                 prints one JSON line: the tab's state
//   {"reveal": PNG}                brings the Job Log tab to the front and saves the dialog's
//   picture
//   {"print": true}                presses Print; alerts it raises are printed and dismissed
//   {"cancel": true}               presses Cancel
// Printed lines: {"dump": {...}}, {"alert": TEXT}; then what joblog-print itself prints.
#include <QApplication>
#include <QComboBox>
#include <QMessageBox>
#include <QPrinter>
#include <QTabWidget>
#include <QTimer>
#include <QtTest/QTest>
#include <iostream>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "JobLogPrintDialog.h"
#include "PrintTool.h"
#include "QtControls.h"
#include "QtTestActions.h"

namespace {

using kordavine::printtool::JobLogPrintDialog;
using nlohmann::json;

json dumpOf(JobLogPrintDialog& dialog) {
    auto* tab = dialog.tab();
    json state{{"printer", tab->printerName()},
               {"name", tab->panelName().toStdString()},
               {"jobTypes", tab->jobTypes()},
               {"summary", tab->summaryText().toStdString()},
               {"refusal", tab->refusalText().toStdString()},
               {"chosen", dialog.chosenPrinter()},
               {"tabTitle", nullptr},
               {"tabVisible", tab->isVisible()}};
    for (QWidget* above = tab->parentWidget(); above; above = above->parentWidget()) {
        if (auto* tabs = qobject_cast<QTabWidget*>(above)) {
            state["tabTitle"] = tabs->tabText(tabs->indexOf(tab)).toStdString();
            break;
        }
    }
    for (const char* field : {"UserIDField", "UserCodeField", "DocNameField"}) {
        if (auto* edit = qobject_cast<QLineEdit*>(tab->controlWidget(field)))
            state[field] = edit->text().toStdString();
    }
    if (auto* combo = qobject_cast<QComboBox*>(tab->controlWidget("JobTypeSelection"))) {
        state["selected"] = combo->currentText().toStdString();
    }
    return state;
}

void play(JobLogPrintDialog& dialog, const json& steps) {
    auto* tab = dialog.tab();
    for (const auto& step : steps) {
        if (step.contains("type")) {
            kordavine::qttest::typeInto(tab->controlWidget(step["type"].get<std::string>()),
                                        QString::fromStdString(step["text"].get<std::string>()));
        } else if (step.contains("pick")) {
            kordavine::qttest::pickWithKeyboard(
                qobject_cast<QComboBox*>(tab->controlWidget("JobTypeSelection")),
                QString::fromStdString(step["pick"].get<std::string>()));
        } else if (step.contains("toggle")) {
            if (auto* box = qobject_cast<QCheckBox*>(
                    tab->controlWidget(step["toggle"].get<std::string>()))) {
                QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(4, box->height() / 2));
            }
        } else if (step.contains("printer")) {
            if (auto* printers = dialog.findChild<QComboBox*>(QStringLiteral("printers"))) {
                printers->setCurrentIndex(
                    printers->findText(QString::fromStdString(step["printer"].get<std::string>())));
            }
        } else if (step.contains("reveal")) {
            dialog.revealTab();
            QApplication::processEvents();
            dialog.grab().save(QString::fromStdString(step["reveal"].get<std::string>()), "PNG");
        } else if (step.contains("dump")) {
            std::cout << json{{"dump", dumpOf(dialog)}}.dump() << std::endl;
        } else if (step.contains("print")) {
            kordavine::qttest::AlertCatcher catcher;
            dialog.accept();
            for (const auto& alert : catcher.alerts())
                std::cout << json{{"alert", alert.toStdString()}}.dump() << std::endl;
            if (dialog.result() == QDialog::Accepted) return;
        } else if (step.contains("cancel")) {
            dialog.reject();
            return;
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    using namespace kordavine::printtool;
    std::vector<std::string> arguments(argv + 1, argv + argc);
    json steps = json::array();
    for (std::size_t i = 0; i + 1 < arguments.size(); ++i) {
        if (arguments[i] == "--steps") {
            steps = json::parse(arguments[i + 1]);
            arguments.erase(arguments.begin() + static_cast<long>(i),
                            arguments.begin() + static_cast<long>(i) + 2);
            break;
        }
    }
    PrintToolOptions options;
    try {
        options = parsePrintToolOptions(arguments);
    } catch (const UsageError& error) {
        std::cerr << error.what() << '\n';
        return 2;
    }
    const auto job = preparePrintJob(options, std::cerr);
    if (!job) return 1;
    QApplication application(argc, argv);
    return runPrintDialog(options, *job, std::cout, std::cerr, [&steps](JobLogPrintDialog& dialog) {
        play(dialog, steps);
        // A script that leaves the dialog open ends it as Cancel would.
        if (dialog.isVisible() && dialog.result() != QDialog::Accepted) dialog.reject();
    });
}
