#include "QtTestActions.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QMessageBox>
#include <QtTest/QTest>

namespace kordavine::qttest {

void typeInto(QWidget* widget, const QString& text) {
    if (!widget) return;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const qsizetype length = text.at(i).isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        const QString character = text.mid(i, length);
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, character);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, character);
        QApplication::sendEvent(widget, &press);
        QApplication::sendEvent(widget, &release);
        i += length - 1;
    }
}

void pasteInto(QWidget* widget, const QString& text) {
    if (!widget) return;
    QApplication::clipboard()->setText(text);
    QTest::keySequence(widget, QKeySequence::Paste);
}

bool pickWithKeyboard(QComboBox* combo, const QString& title) {
    if (!combo) return false;
    const int target = combo->findText(title, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (target < 0) return false;
    while (combo->currentIndex() != target) {
        const int before = combo->currentIndex();
        QTest::keyClick(combo, combo->currentIndex() < target ? Qt::Key_Down : Qt::Key_Up);
        if (combo->currentIndex() == before) return false;  // the keys do not reach it
    }
    return true;
}

AlertCatcher::AlertCatcher() {
    timer_.setInterval(20);
    QObject::connect(&timer_, &QTimer::timeout, [this] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            alerts_ << box->text();
            titles_ << box->windowTitle();
            box->accept();
        }
    });
    timer_.start();
}

}  // namespace kordavine::qttest
