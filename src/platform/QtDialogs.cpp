#include "QtDialogs.h"

#include <QApplication>
#include <QMessageBox>

namespace platform {

int QtDialogs::msgBox(const QString& text, Buttons buttons, Icon icon, const QString& title) {
    QMessageBox box(QApplication::activeWindow());
    box.setWindowTitle(title);
    box.setText(text);
    switch (icon) {
    case Icon::None:
        box.setIcon(QMessageBox::NoIcon);
        break;
    case Icon::Critical:
        box.setIcon(QMessageBox::Critical);
        break;
    case Icon::Question:
        box.setIcon(QMessageBox::Question);
        break;
    case Icon::Exclamation:
        box.setIcon(QMessageBox::Warning);
        break;
    case Icon::Information:
        box.setIcon(QMessageBox::Information);
        break;
    }
    switch (buttons) {
    case Buttons::Ok:
        box.setStandardButtons(QMessageBox::Ok);
        break;
    case Buttons::OkCancel:
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        break;
    case Buttons::YesNo:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        break;
    case Buttons::YesNoCancel:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        break;
    }
    switch (box.exec()) {
    case QMessageBox::Yes:
        return answerYes;
    case QMessageBox::No:
        return answerNo;
    case QMessageBox::Cancel:
        return answerCancel;
    default:
        // Closing a box with Escape or the title bar counts as its safe answer.
        if (buttons == Buttons::YesNo) {
            return answerNo;
        }
        return buttons == Buttons::Ok ? answerOk : answerCancel;
    }
}

} // namespace platform
