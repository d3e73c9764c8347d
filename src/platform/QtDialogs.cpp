#include "QtDialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QRegularExpression>

namespace platform {

namespace {

// The suffix of a kind's first pattern: "png" for "PNG image (*.png)".
QString firstSuffix(const QString& nameFilter) {
    static const QRegularExpression pattern(QStringLiteral("\\*\\.(\\w+)"));
    return pattern.match(nameFilter).captured(1);
}

// A file dialog of our own, which adds the suffix of the kind chosen to a
// name typed without one (QFileDialog::getSaveFileName returns it bare: the
// file would be written under another name than the one the overwrite
// question was about, and an Open would not find "straddle" for
// "straddle.wqzpos").
QString askFileName(QFileDialog::AcceptMode mode, const QString& caption, const QString& filter,
                    const QString& folder) {
    QFileDialog dialog(QApplication::activeWindow(), caption, folder, filter);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptSave ? QFileDialog::AnyFile
                                                       : QFileDialog::ExistingFile);
    dialog.setDefaultSuffix(firstSuffix(dialog.selectedNameFilter()));
    QObject::connect(
        &dialog, &QFileDialog::filterSelected, &dialog,
        [&dialog](const QString& kind) { dialog.setDefaultSuffix(firstSuffix(kind)); });
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return QString();
    }
    return dialog.selectedFiles().constFirst();
}

} // namespace

int QtDialogs::msgBox(const QString& text, Buttons buttons, Icon icon, const QString& title) {
    QMessageBox box(QApplication::activeWindow());
    box.setWindowTitle(title);
    // Messages quote what files and links hold (a pack's title, a field's
    // value): shown as written, never read as markup.
    box.setTextFormat(Qt::PlainText);
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
    case Buttons::YesNoDefaultNo:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::No);
        break;
    case Buttons::YesNoCancel:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        break;
    case Buttons::SaveDiscardCancel:
        box.setStandardButtons(QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel);
        box.setDefaultButton(QMessageBox::Save);
        break;
    }
    switch (box.exec()) {
    case QMessageBox::Yes:
        return answerYes;
    case QMessageBox::No:
        return answerNo;
    case QMessageBox::Save:
        return answerSave;
    case QMessageBox::Discard:
        return answerDiscard;
    case QMessageBox::Cancel:
        return answerCancel;
    default:
        // Closing a box with Escape or the title bar counts as its safe answer.
        if (buttons == Buttons::YesNo || buttons == Buttons::YesNoDefaultNo) {
            return answerNo;
        }
        return buttons == Buttons::Ok ? answerOk : answerCancel;
    }
}

QString QtDialogs::saveFileName(const QString& caption, const QString& filter,
                                const QString& folder) {
    return askFileName(QFileDialog::AcceptSave, caption, filter, folder);
}

QString QtDialogs::openFileName(const QString& caption, const QString& filter,
                                const QString& folder) {
    return askFileName(QFileDialog::AcceptOpen, caption, filter, folder);
}

QString QtDialogs::folderName(const QString& caption, const QString& folder) {
    QFileDialog dialog(QApplication::activeWindow(), caption, folder);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return QString();
    }
    return dialog.selectedFiles().constFirst();
}

std::optional<QString> QtDialogs::askText(const QString& text, const QString& initial,
                                          int maxLength) {
    QInputDialog dialog(QApplication::activeWindow());
    dialog.setWindowTitle(kMessageTitle);
    dialog.setLabelText(text);
    dialog.setTextValue(initial);
    if (auto* label = dialog.findChild<QLabel*>()) {
        label->setTextFormat(Qt::PlainText);
    }
    // The box itself holds the length, so nothing longer is ever typed.
    if (auto* line = dialog.findChild<QLineEdit*>()) {
        line->setMaxLength(maxLength);
    }
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return dialog.textValue().left(maxLength);
}

std::optional<int> QtDialogs::askNumber(const QString& text, int initial, int least, int most) {
    QInputDialog dialog(QApplication::activeWindow());
    dialog.setWindowTitle(kMessageTitle);
    dialog.setLabelText(text);
    dialog.setInputMode(QInputDialog::IntInput);
    dialog.setIntRange(least, most);
    dialog.setIntValue(initial);
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return dialog.intValue();
}

bool QtDialogs::choosePrinter(QPrinter& printer, const QString& caption) {
    QPrintDialog dialog(&printer, QApplication::activeWindow());
    dialog.setWindowTitle(caption);
    // The page is one sheet: there is no range or selection to choose.
    dialog.setOptions(QAbstractPrintDialog::PrintToFile | QAbstractPrintDialog::PrintShowPageSize);
    return dialog.exec() == QDialog::Accepted;
}

} // namespace platform
