#pragma once

#include <QApplication>
#include <QString>
#include <QTest>
#include <QWidget>

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

} // namespace userinput
