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
//   {"printer": NAME}              picks another printer in the dialog's list with the keyboard
//   {"options": {...}}             the dialog's own choices: "reverse", "collate" (booleans),
//                                  "copies", "from", "to" (numbers), "pageSet" (item text),
//                                  "duplex" ("none", "long", "short")
//   {"properties": {...}}          opens Properties, prints {"properties": {"hidden": [...]}} (the
//                                  page set-up's widgets not shown), makes its choices and presses
//                                  OK: "pageSize", "pagesPerSheet", "hold", "startBanner" (item
//                                  texts), "orientation" (a radio button's name), "priority"
//                                  (number), "ppd" (option label to choice text, Advanced tab)
//   {"dump": true}                 prints one JSON line: the tab's and the dialog's state
//   {"texts": true}                prints {"texts": [...]}: every text the dialog shows
//   {"print": true, "confirm": "print"|"cancel"}
//                                  presses Print; alerts it raises are printed and dismissed, a
//                                  request to confirm is answered as "confirm" says (cancel if not)
//   {"cancel": true}               presses Cancel
//   {"serve": true}                from then on reads steps from standard input, one JSON object a
//                                  line, and answers {"report": true} with where the widgets are
//                                  on the screen (for tests that act with real input events)
// Printed lines: {"dump": {...}}, {"alert": TEXT, "title": ...}, {"confirm": TEXT}, ...; then
// what joblog-print itself prints.
#include <unistd.h>

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QSocketNotifier>
#include <QSpinBox>
#include <QTabBar>
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

const char* const kControls[] = {"JobTypeSelection",  "UserIDField",  "PasswordField",
                                 "LongPasswordField", "DocNameField", "UserCodeField",
                                 "EnableUserCode"};

void printLine(const json& line) {
    std::cout << line.dump() << std::endl;
}

QTabWidget* tabsOf(JobLogPrintDialog& dialog) {
    for (QWidget* above = dialog.tab()->parentWidget(); above; above = above->parentWidget()) {
        if (auto* tabs = qobject_cast<QTabWidget*>(above)) return tabs;
    }
    return nullptr;
}

// The outlet name of the control with the keyboard focus, or the focused widget's class.
std::string focusOf(JobLogPrintDialog& dialog) {
    QWidget* focus = dialog.focusWidget();
    if (!focus) return "";
    for (const char* control : kControls) {
        if (dialog.tab()->controlWidget(control) == focus) return control;
    }
    return focus->metaObject()->className();
}

json dumpOf(JobLogPrintDialog& dialog) {
    auto* tab = dialog.tab();
    json state{{"printer", tab->printerName()},
               {"name", tab->panelName().toStdString()},
               {"jobTypes", tab->jobTypes()},
               {"summary", tab->summaryText().toStdString()},
               {"refusal", tab->refusalText().toStdString()},
               {"notice", tab->pendingNotice().toStdString()},
               {"tabTitle", nullptr},
               {"currentTab", nullptr},
               {"tabVisible", tab->isVisible()},
               {"forms", tab->findChildren<QWidget*>("JobLogForm").size()},
               {"dialogHeight", dialog.height()},
               {"focus", focusOf(dialog)}};
    if (auto* tabs = tabsOf(dialog)) {
        state["tabTitle"] = tabs->tabText(tabs->indexOf(tab)).toStdString();
        state["currentTab"] = tabs->tabText(tabs->currentIndex()).toStdString();
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

// Every text the window shows, on each page of its tab widgets: buttons, labels, group and tab
// titles, the window's title.
json textsOf(QWidget& window) {
    json texts = json::array();
    texts.push_back(window.windowTitle().toStdString());
    const auto collect = [&texts, &window] {
        for (auto* widget : window.findChildren<QWidget*>()) {
            if (!widget->isVisible()) continue;
            if (auto* button = qobject_cast<QAbstractButton*>(widget))
                texts.push_back(button->text().toStdString());
            if (auto* label = qobject_cast<QLabel*>(widget))
                texts.push_back(label->text().toStdString());
            if (auto* group = qobject_cast<QGroupBox*>(widget))
                texts.push_back(group->title().toStdString());
            if (auto* bar = qobject_cast<QTabBar*>(widget)) {
                for (int i = 0; i < bar->count(); ++i)
                    texts.push_back(bar->tabText(i).toStdString());
            }
        }
    };
    for (auto* tabs : window.findChildren<QTabWidget*>()) {
        const int current = tabs->currentIndex();
        for (int i = 0; i < tabs->count(); ++i) {
            tabs->setCurrentIndex(i);
            collect();
        }
        tabs->setCurrentIndex(current);
    }
    collect();
    return texts;
}

QPushButton* buttonOf(QDialog& dialog, QDialogButtonBox::StandardButton which) {
    for (auto* box : dialog.findChildren<QDialogButtonBox*>()) {
        if (auto* button = box->button(which)) return button;
    }
    return nullptr;
}

json centerOf(QWidget* widget) {
    if (!widget || !widget->isVisible()) return nullptr;
    const QPoint center = widget->mapToGlobal(widget->rect().center());
    return json{center.x(), center.y()};
}

// Where the person would click, on the screen.
json reportOf(JobLogPrintDialog& dialog) {
    json report = dumpOf(dialog);
    json places;
    for (const char* control : kControls)
        places[control] = centerOf(dialog.tab()->controlWidget(control));
    places["printers"] = centerOf(dialog.findChild<QComboBox*>("printers"));
    places["print"] = centerOf(buttonOf(dialog, QDialogButtonBox::Ok));
    if (auto* tabs = tabsOf(dialog)) {
        json tabPlaces;
        for (int i = 0; i < tabs->count(); ++i) {
            const QPoint center = tabs->tabBar()->mapToGlobal(tabs->tabBar()->tabRect(i).center());
            tabPlaces[tabs->tabText(i).toStdString()] = json{center.x(), center.y()};
        }
        places["tabs"] = tabPlaces;
    }
    report["places"] = places;
    const QRect frame = dialog.frameGeometry();
    report["window"] = json{frame.x(), frame.y(), frame.width(), frame.height()};
    report["active"] = dialog.isActiveWindow();
    report["popup"] = QApplication::activePopupWidget() != nullptr;
    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
        json buttons;
        for (auto* button : box->buttons())
            buttons[button->text().toStdString()] = centerOf(button);
        report["modal"] = json{{"name", box->objectName().toStdString()},
                               {"title", box->windowTitle().toStdString()},
                               {"text", box->text().toStdString()},
                               {"buttons", buttons}};
    }
    return report;
}

// Answers the message boxes that come up while Print is pressed: the panel's alerts are read and
// dismissed, a request to confirm is answered as the step says, Qt's own boxes are read and closed.
class ModalAnswers {
  public:
    ModalAnswers(JobLogPrintDialog& dialog, std::string confirm)
        : dialog_(dialog), confirm_(std::move(confirm)) {
        timer_.setInterval(20);
        QObject::connect(&timer_, &QTimer::timeout, [this] { answer(); });
        timer_.start();
    }

  private:
    void answer() {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || !box->isVisible()) return;
        if (box->objectName() == "JobLogConfirmation") {
            printLine({{"confirm", box->text().toStdString()},
                       {"title", box->windowTitle().toStdString()}});
            for (auto* button : box->buttons()) {
                const bool print = box->buttonRole(button) == QMessageBox::AcceptRole;
                if (print == (confirm_ == "print")) {
                    button->click();
                    return;
                }
            }
            return;
        }
        json line{{"title", box->windowTitle().toStdString()}};
        line[box->objectName() == "JobLogAlert" ? "alert" : "message"] = box->text().toStdString();
        // Where the person stands when the alert comes up.
        if (auto* tabs = tabsOf(dialog_))
            line["currentTab"] = tabs->tabText(tabs->currentIndex()).toStdString();
        printLine(line);
        box->accept();
    }

    JobLogPrintDialog& dialog_;
    std::string confirm_;
    QTimer timer_;
};

template <class Widget>
Widget* named(QWidget& within, const char* name) {
    return within.findChild<Widget*>(QString::fromLatin1(name));
}

void setCombo(QComboBox* combo, const json& text) {
    if (combo)
        kordavine::qttest::pickWithKeyboard(combo, QString::fromStdString(text.get<std::string>()));
}

void chooseOptions(JobLogPrintDialog& dialog, const json& options) {
    if (options.contains("reverse"))
        named<QCheckBox>(dialog, "reverse")->setChecked(options["reverse"].get<bool>());
    if (options.contains("collate"))
        named<QCheckBox>(dialog, "collate")->setChecked(options["collate"].get<bool>());
    if (options.contains("copies"))
        named<QSpinBox>(dialog, "copies")->setValue(options["copies"].get<int>());
    if (options.contains("pageSet"))
        setCombo(named<QComboBox>(dialog, "pageSetCombo"), options["pageSet"]);
    if (options.contains("duplex")) {
        const std::string duplex = options["duplex"].get<std::string>();
        const char* name = duplex == "long"    ? "duplexLong"
                           : duplex == "short" ? "duplexShort"
                                               : "noDuplex";
        QTest::mouseClick(named<QRadioButton>(dialog, name), Qt::LeftButton);
    }
    if (options.contains("from")) {
        QTest::mouseClick(named<QRadioButton>(dialog, "printRange"), Qt::LeftButton);
        named<QSpinBox>(dialog, "from")->setValue(options["from"].get<int>());
        named<QSpinBox>(dialog, "to")->setValue(options["to"].get<int>());
    }
}

void chooseProperties(QDialog& properties, const json& choices) {
    json hidden = json::array();
    for (const char* name : {"paperSource", "topMargin", "pageSizeCombo", "pagesPerSheetCombo"}) {
        if (auto* widget = named<QWidget>(properties, name); widget && !widget->isVisible())
            hidden.push_back(name);
    }
    printLine({{"properties", {{"hidden", hidden}, {"texts", textsOf(properties)}}}});
    if (choices.contains("pageSize"))
        setCombo(named<QComboBox>(properties, "pageSizeCombo"), choices["pageSize"]);
    if (choices.contains("orientation")) {
        QTest::mouseClick(
            named<QRadioButton>(properties, choices["orientation"].get<std::string>().c_str()),
            Qt::LeftButton);
    }
    if (choices.contains("pagesPerSheet")) {
        setCombo(named<QComboBox>(properties, "pagesPerSheetCombo"), choices["pagesPerSheet"]);
    }
    if (choices.contains("priority")) {
        named<QSpinBox>(properties, "jobPrioritySpinBox")->setValue(choices["priority"].get<int>());
    }
    if (choices.contains("hold"))
        setCombo(named<QComboBox>(properties, "jobHoldComboBox"), choices["hold"]);
    if (choices.contains("startBanner")) {
        setCombo(named<QComboBox>(properties, "startBannerPageCombo"), choices["startBanner"]);
    }
    // The Advanced tab: a label and a pop-up for each PPD option.
    if (choices.contains("ppd")) {
        auto* page = named<QWidget>(properties, "cupsPropertiesPage");
        for (const auto& [label, choice] : choices["ppd"].items()) {
            for (auto* text : page->findChildren<QLabel*>()) {
                if (text->text() != QString::fromStdString(label)) continue;
                for (auto* combo : text->parentWidget()->findChildren<QComboBox*>())
                    setCombo(combo, choice);
            }
        }
    }
    QTest::mouseClick(buttonOf(properties, QDialogButtonBox::Ok), Qt::LeftButton);
}

// Returns false once the dialog is done with.
bool playStep(JobLogPrintDialog& dialog, const json& step) {
    auto* tab = dialog.tab();
    if (step.contains("type")) {
        kordavine::qttest::typeInto(tab->controlWidget(step["type"].get<std::string>()),
                                    QString::fromStdString(step["text"].get<std::string>()));
    } else if (step.contains("pick")) {
        setCombo(qobject_cast<QComboBox*>(tab->controlWidget("JobTypeSelection")), step["pick"]);
    } else if (step.contains("toggle")) {
        if (auto* box =
                qobject_cast<QCheckBox*>(tab->controlWidget(step["toggle"].get<std::string>()))) {
            QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(4, box->height() / 2));
        }
    } else if (step.contains("printer")) {
        setCombo(dialog.findChild<QComboBox*>(QStringLiteral("printers")), step["printer"]);
    } else if (step.contains("options")) {
        chooseOptions(dialog, step["options"]);
    } else if (step.contains("properties")) {
        const json choices = step["properties"];
        QTimer::singleShot(100, &dialog, [choices] {
            if (auto* properties = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
                chooseProperties(*properties, choices);
            }
        });
        QTest::mouseClick(dialog.findChild<QPushButton*>(QStringLiteral("properties")),
                          Qt::LeftButton);
    } else if (step.contains("dump")) {
        printLine({{"dump", dumpOf(dialog)}});
    } else if (step.contains("texts")) {
        printLine({{"texts", textsOf(dialog)}});
    } else if (step.contains("report")) {
        printLine({{"report", reportOf(dialog)}});
    } else if (step.contains("print")) {
        ModalAnswers answers(dialog, step.value("confirm", "cancel"));
        QTest::mouseClick(buttonOf(dialog, QDialogButtonBox::Ok), Qt::LeftButton);
        if (dialog.result() == QDialog::Accepted) return false;
    } else if (step.contains("cancel")) {
        dialog.reject();
        return false;
    }
    return true;
}

// Reads steps from standard input, one JSON object a line, as they come.
void serve(JobLogPrintDialog& dialog) {
    auto* notifier = new QSocketNotifier(STDIN_FILENO, QSocketNotifier::Read, &dialog);
    // Keeps the part of a line read so far.
    auto readSteps = [&dialog, notifier, pending = std::string()]() mutable {
        char buffer[4096];
        const ssize_t got = ::read(STDIN_FILENO, buffer, sizeof buffer);
        if (got <= 0) {
            notifier->setEnabled(false);
            return;
        }
        pending.append(buffer, static_cast<std::size_t>(got));
        for (auto end = pending.find('\n'); end != std::string::npos; end = pending.find('\n')) {
            const std::string line = pending.substr(0, end);
            pending.erase(0, end + 1);
            if (!line.empty() && !playStep(dialog, json::parse(line))) return;
        }
    };
    QObject::connect(notifier, &QSocketNotifier::activated, &dialog, readSteps);
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
        for (const auto& step : steps) {
            if (step.contains("serve")) {
                serve(dialog);
                return;
            }
            if (!playStep(dialog, step)) return;
        }
        // A script that leaves the dialog open ends it as Cancel would.
        if (dialog.isVisible() && dialog.result() != QDialog::Accepted) dialog.reject();
    });
}
