#pragma once

#include <QApplication>
#include <QDialog>
#include <QPointer>
#include <QString>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <functional>

// A student's clicks and keys, sent where a student's go: the click to the
// widget under the pointer in an active window, the keys to the focus.
namespace userinput {

// Activates `window` and clicks `widget` in it, as a student's click gives the
// focus.
inline void clickIn(QWidget* window, QWidget* widget) {
    QApplication::setActiveWindow(window);
    QVERIFY(QTest::qWaitForWindowActive(window));
    QTest::mouseClick(widget, Qt::LeftButton);
}

// Replaces the focused box's text with `keys` and confirms them.
inline void retypeBox(const QString& keys) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(QApplication::focusWidget(), keys);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
}

// Replaces the focused box's text with `keys`, leaving them unconfirmed.
inline void typeOver(const QString& keys) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(QApplication::focusWidget(), keys);
}

// Runs `act` on the modal dialog about to open once it is up with the focus
// in it, and cancels a dialog `act` leaves open, so that a failed check
// never hangs the run.
inline void whenDialogUp(std::function<void(QDialog*)> act, int tries = 1000) {
    QTimer::singleShot(10, [=] {
        QPointer<QDialog> dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        QWidget* focus = QApplication::focusWidget();
        if (!dialog || !focus || !dialog->isAncestorOf(focus)) {
            if (tries > 0) {
                whenDialogUp(act, tries - 1);
            } else if (dialog) {
                dialog->reject();
            }
            return;
        }
        act(dialog);
        if (dialog && dialog->isVisible()) {
            dialog->reject();
        }
    });
}

} // namespace userinput
