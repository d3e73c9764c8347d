// Positions kept in files: File > Open Position, Save Position and Save
// Position As, the title that names the file, and the question before a
// changed position is closed or replaced.
#include "frmLumo.h"

#include "Wording.h"

#include "platform/Dialogs.h"
#include "platform/WholeFile.h"
#include "workbench/control/wqzOptionPayoffs.h"
#include "workbench/model/PositionDocument.h"

#include <QFileInfo>
#include <QUndoStack>

namespace shell {

namespace {

const QString kPositionFiles = QStringLiteral("Option positions (*.wqzpos);;All files (*)");
const QString kTitle = QStringLiteral("WQZ Option Payoffs Tutorial");

} // namespace

void frmLumo::mnuOpenPosition_Click() {
    if (!positionMayGo(QStringLiteral("opening another position"))) {
        return;
    }
    const QString path = askOpenName(QStringLiteral("Open Position"), kPositionFiles);
    if (!path.isEmpty()) {
        openPosition(path);
    }
}

void frmLumo::mnuSavePosition_Click() {
    const QString path = ucLumo->documentName();
    if (path.isEmpty()) {
        mnuSavePositionAs_Click();
    } else {
        savePosition(path);
    }
}

void frmLumo::mnuSavePositionAs_Click() {
    const QString path = askSaveName(QStringLiteral("Save Position As"), kPositionFiles);
    if (!path.isEmpty()) {
        savePosition(path);
    }
}

bool frmLumo::positionMayGo(const QString& before) {
    // A student who never used files is never asked.
    const QString path = ucLumo->documentName();
    if (path.isEmpty() || !positionChanged()) {
        return true;
    }
    const int answer = platform::dialogs().msgBox(
        QStringLiteral("The position has changed since it was last opened from or saved to %1. "
                       "Save the changes before %2?")
            .arg(QFileInfo(path).fileName(), before),
        platform::Dialogs::Buttons::SaveDiscardCancel, platform::Dialogs::Icon::Question);
    if (answer == platform::Dialogs::answerSave) {
        return savePosition(path);
    }
    return answer == platform::Dialogs::answerDiscard;
}

bool frmLumo::openPosition(const QString& path) {
    const QString name = QFileInfo(path).fileName();
    const auto refuse = [&name](const QString& reason) {
        tell(QStringLiteral("%1 cannot be opened: %2").arg(name, asSentence(reason)));
        return false;
    };
    if (!QFileInfo::exists(path)) {
        return refuse(QStringLiteral("there is no such file."));
    }
    const platform::FileBytes file =
        platform::readWholeFile(path, workbench::document::largestFile);
    if (!file.bytes) {
        // No reason is a file too large to be read into memory at all.
        return refuse(file.problem.isEmpty()
                          ? QStringLiteral("the file is larger than %1; a position file is far "
                                           "smaller.")
                                .arg(workbench::document::largestFileInWords())
                          : file.problem);
    }
    const workbench::document::Reading reading = workbench::document::fromJson(*file.bytes);
    if (!reading.document) {
        return refuse(reading.problem);
    }
    // The whole path is the document's name, so that an undone opening gives
    // back the file before it, and Save writes where the position came from.
    ucLumo->openDocument(*reading.document, QFileInfo(path).absoluteFilePath());
    ucLumo->undoStack().setClean();
    asSaved_ = ucLumo->document();
    showFileName();
    rememberPosition(path);
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
    ucLumo->setDocumentName(QFileInfo(path).absoluteFilePath());
    ucLumo->undoStack().setClean();
    asSaved_ = ucLumo->document();
    showFileName();
    rememberPosition(path);
    return true;
}

bool frmLumo::positionChanged() const {
    // Whatever the file keeps counts, not only what undo records: the range,
    // the diagram, the colour and the inputs before expiry too.
    return !asSaved_ || ucLumo->document() != *asSaved_;
}

void frmLumo::showFileName() {
    // "[*]" is where the desktop puts its mark of a changed document.
    const QString path = ucLumo->documentName();
    setWindowTitle(path.isEmpty() ? kTitle
                                  : QFileInfo(path).fileName() + QStringLiteral("[*] - ") + kTitle);
    setWindowModified(!path.isEmpty() && positionChanged());
}

} // namespace shell
