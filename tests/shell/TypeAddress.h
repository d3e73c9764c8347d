#pragma once

#include <QApplication>
#include <QComboBox>
#include <QDebug>
#include <QLineEdit>
#include <QTest>

namespace typing {

// Types `text` into the address box the way a user does: a click into the
// box, the old text selected and typed over, then `key` pressed. Every key
// goes to whatever has the focus, which is where the user's keys go.
inline bool typeAddress(QComboBox* box, const QString& text, Qt::Key key = Qt::Key_Return) {
    QWidget* window = box->window();
    window->show();
    window->activateWindow();
    if (!QTest::qWaitForWindowActive(window)) {
        qWarning("typeAddress: window not active");
        return false;
    }
    QTest::mouseClick(box->lineEdit(), Qt::LeftButton);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Delete);
    QTest::keyClicks(QApplication::focusWidget(), text);
    // The box completes a typed beginning of a listed address; the user
    // turns the suggestion down.
    if (box->lineEdit()->hasSelectedText()) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Delete);
    }
    if (box->currentText() != text) {
        qWarning() << "typeAddress: box shows" << box->currentText() << "focus"
                   << QApplication::focusWidget();
        return false;
    }
    const Qt::KeyboardModifiers keypad = key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier;
    QTest::keyClick(QApplication::focusWidget(), key, keypad);
    return true;
}

} // namespace typing
