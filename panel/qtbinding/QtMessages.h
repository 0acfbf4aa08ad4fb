// Alerts and log lines of a Qt host: an alert is a modal QMessageBox with the message and one
// OK button, over the active window, titled as the host says (the panel's name); a log line goes
// to standard error. While an
// AlertDiversion lives, alerts are collected instead of shown (for work the person did not ask
// for, such as checking the form to preview its summary).
#pragma once

#include <string>
#include <vector>

namespace kordavine::qt {

// Installs the alert and log sinks of the platform layer.
void installQtMessageSinks();

class AlertDiversion {
  public:
    AlertDiversion();
    ~AlertDiversion();
    AlertDiversion(const AlertDiversion&) = delete;
    AlertDiversion& operator=(const AlertDiversion&) = delete;

    const std::vector<std::string>& alerts() const { return alerts_; }

  private:
    friend void showAlert(const std::string& message);

    // The title of the alerts shown from now on (the toolkit's default, none, until set).
    void setAlertTitle(const std::string& title);
    std::vector<std::string> alerts_;
    AlertDiversion* outer_;
};

void showAlert(const std::string& message);

// The title of the alerts shown from now on (the toolkit's default, none, until set).
void setAlertTitle(const std::string& title);

}  // namespace kordavine::qt
