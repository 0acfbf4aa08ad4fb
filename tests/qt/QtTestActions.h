// What the Qt tests do to the real widgets, as a person would: key events, keyboard picks in a
// pop-up, and the alerts that come up meanwhile, read and dismissed.
#pragma once

#include <QComboBox>
#include <QStringList>
#include <QTimer>
#include <QWidget>
#include <ostream>

namespace kordavine::qttest {

// One key event per character (a character outside the BMP, two UTF-16 units, is one event)
// into the widget, at its cursor.
void typeInto(QWidget* widget, const QString& text);
// Pastes text from the clipboard with the platform's paste shortcut.
void pasteInto(QWidget* widget, const QString& text);
// Moves the pop-up's selection to the entry with that title with the arrow keys; each step sends
// the pop-up's action, as on screen. False when there is no such entry.
bool pickWithKeyboard(QComboBox* combo, const QString& title);

// While it lives, every alert (a modal QMessageBox) that comes up is read and dismissed.
class AlertCatcher {
  public:
    AlertCatcher();
    const QStringList& alerts() const { return alerts_; }
    // The window title of each alert, in the same order.
    const QStringList& titles() const { return titles_; }

  private:
    QTimer timer_;
    QStringList alerts_;
    QStringList titles_;
};

}  // namespace kordavine::qttest

// GoogleTest prints Qt strings as text.
inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}
