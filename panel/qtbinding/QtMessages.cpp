#include "QtMessages.h"

#include <QApplication>
#include <QMessageBox>
#include <iostream>

#include "DialogServices.h"

namespace kordavine::qt {

namespace {
AlertDiversion*& activeDiversion() {
    static AlertDiversion* diversion = nullptr;
    return diversion;
}

QString& alertTitle() {
    static QString title;
    return title;
}
}  // namespace

AlertDiversion::AlertDiversion() : outer_(activeDiversion()) {
    activeDiversion() = this;
}

AlertDiversion::~AlertDiversion() {
    activeDiversion() = outer_;
}

void showAlert(const std::string& message) {
    if (auto* diversion = activeDiversion()) {
        diversion->alerts_.push_back(message);
        return;
    }
    // The toolkit's single default button, as the panel asks; the host's title, so the box says
    // whose message it is.
    QMessageBox box(QMessageBox::Warning, alertTitle(), QString::fromStdString(message),
                    QMessageBox::Ok, QApplication::activeWindow());
    box.setTextFormat(Qt::PlainText);
    box.setObjectName("JobLogAlert");
    box.exec();
}

void setAlertTitle(const std::string& title) {
    alertTitle() = QString::fromStdString(title);
}

void installQtMessageSinks() {
    platform::setAlertSink([](std::string_view message) { showAlert(std::string(message)); });
    platform::setLogSink([](std::string_view line) { std::cerr << line << '\n'; });
}

}  // namespace kordavine::qt
