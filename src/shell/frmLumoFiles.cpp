// Positions kept in files: File > Open Position and Save Position As.
#include "frmLumo.h"

#include "platform/Dialogs.h"
#include "platform/WholeFile.h"
#include "workbench/model/PositionDocument.h"
#include "workbench/control/wqzOptionPayoffs.h"

#include <QFile>
#include <QFileInfo>

namespace shell {

namespace {

const QString kPositionFiles = QStringLiteral("Option positions (*.wqzpos);;All files (*)");

void tell(const QString& text) {
    platform::dialogs().msgBox(text, platform::Dialogs::Buttons::Ok,
                               platform::Dialogs::Icon::Exclamation);
}

} // namespace

void frmLumo::mnuOpenPosition_Click() {
    const QString path =
        platform::dialogs().openFileName(QStringLiteral("Open Position"), kPositionFiles);
    if (!path.isEmpty()) {
        openPosition(path);
    }
}

void frmLumo::mnuSavePositionAs_Click() {
    const QString path =
        platform::dialogs().saveFileName(QStringLiteral("Save Position As"), kPositionFiles);
    if (!path.isEmpty()) {
        savePosition(path);
    }
}

bool frmLumo::openPosition(const QString& path) {
    const QString name = QFileInfo(path).fileName();
    QFile file(path);
    if (!file.exists()) {
        tell(QStringLiteral("%1 cannot be opened: there is no such file.").arg(name));
        return false;
    }
    // A huge file is refused before it is read into memory.
    if (file.size() > workbench::document::largestFile) {
        tell(QStringLiteral("%1 cannot be opened: the file is larger than 1 MB; a position file "
                            "is far smaller.")
                 .arg(name));
        return false;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        tell(QStringLiteral("%1 cannot be opened: %2").arg(name, file.errorString()));
        return false;
    }
    const workbench::document::Reading reading =
        workbench::document::fromJson(file.read(workbench::document::largestFile + 1));
    if (!reading.document) {
        tell(QStringLiteral("%1 cannot be opened: %2").arg(name, reading.problem));
        return false;
    }
    ucLumo->openDocument(*reading.document);
    showFileName(path);
    return true;
}

bool frmLumo::savePosition(const QString& path) {
    const QString why =
        platform::writeWholeFile(path, workbench::document::toJson(ucLumo->document()));
    if (!why.isEmpty()) {
        tell(QStringLiteral("The position could not be saved as %1: %2")
                 .arg(QFileInfo(path).fileName(), why));
        return false;
    }
    showFileName(path);
    return true;
}

void frmLumo::showFileName(const QString& path) {
    setWindowTitle(QFileInfo(path).fileName() + QStringLiteral(" - WQZ Option Payoffs Tutorial"));
}

} // namespace shell
