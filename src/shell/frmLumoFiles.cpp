// Positions kept in files: File > Open Position and Save Position As.
#include "frmLumo.h"

#include "platform/Dialogs.h"
#include "platform/WholeFile.h"
#include "workbench/control/wqzOptionPayoffs.h"
#include "workbench/model/PositionDocument.h"

#include <QFileInfo>

namespace shell {

namespace {

const QString kPositionFiles = QStringLiteral("Option positions (*.wqzpos);;All files (*)");
const QString kTitle = QStringLiteral("WQZ Option Payoffs Tutorial");

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
    if (!QFileInfo::exists(path)) {
        tell(QStringLiteral("%1 cannot be opened: there is no such file.").arg(name));
        return false;
    }
    const platform::FileBytes file =
        platform::readWholeFile(path, workbench::document::largestFile);
    if (!file.bytes) {
        // No reason is a file too large to be read into memory at all.
        tell(QStringLiteral("%1 cannot be opened: %2")
                 .arg(name, file.problem.isEmpty()
                                ? QStringLiteral("the file is larger than %1; a position "
                                                 "file is far smaller.")
                                      .arg(workbench::document::largestFileInWords())
                                : file.problem));
        return false;
    }
    const workbench::document::Reading reading = workbench::document::fromJson(*file.bytes);
    if (!reading.document) {
        tell(QStringLiteral("%1 cannot be opened: %2").arg(name, reading.problem));
        return false;
    }
    ucLumo->openDocument(*reading.document, name);
    return true;
}

bool frmLumo::savePosition(const QString& path) {
    const QString name = QFileInfo(path).fileName();
    const workbench::document::Writing writing = workbench::document::write(ucLumo->document());
    const QString why =
        writing.problem.isEmpty() ? platform::writeWholeFile(path, writing.bytes) : writing.problem;
    if (!why.isEmpty()) {
        const QString kept = QFileInfo::exists(path)
                                 ? QStringLiteral(" %1 is kept as it was.").arg(name)
                                 : QStringLiteral(" Nothing was written.");
        tell(QStringLiteral("The position could not be saved as %1: %2%3")
                 .arg(name, why.endsWith(u'.') ? why : why + u'.', kept));
        return false;
    }
    ucLumo->setDocumentName(name);
    return true;
}

void frmLumo::showFileName(const QString& name) {
    setWindowTitle(name.isEmpty() ? kTitle : name + QStringLiteral(" - ") + kTitle);
}

} // namespace shell
