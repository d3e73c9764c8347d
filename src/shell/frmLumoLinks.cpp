// Links to a position the student copies, types or pastes: the program's own
// links, which tutorial pages use too, handed from one student to another.
#include "frmLumo.h"

#include "platform/Clipboard.h"
#include "platform/Dialogs.h"
#include "workbench/control/wqzOptionPayoffs.h"
#include "workbench/model/WorkbenchLink.h"

namespace shell {

void frmLumo::mnuCopyLink_Click() {
    namespace links = workbench::links;
    const links::Sharing sharing = links::shareOf(ucLumo->document());
    const links::Writing writing =
        sharing.load ? links::write(*sharing.load) : links::Writing{QString(), sharing.problem};
    if (writing.tooLong) {
        // Offered the way that carries it.
        if (platform::dialogs().msgBox(
                QStringLiteral("The position is too large to copy as a link. ") + writing.problem +
                    QStringLiteral(" Save it as a position file instead?"),
                platform::Dialogs::Buttons::YesNo,
                platform::Dialogs::Icon::Question) == platform::Dialogs::answerYes) {
            mnuSavePositionAs_Click();
        }
        return;
    }
    if (!writing.problem.isEmpty()) {
        platform::dialogs().msgBox(
            QStringLiteral("The position cannot be copied as a link. ") + writing.problem,
            platform::Dialogs::Buttons::Ok, platform::Dialogs::Icon::Exclamation);
        return;
    }
    clipboard_.setText(writing.link);
}

bool frmLumo::followStudentLink(const QString& text) {
    namespace links = workbench::links;
    const links::Reading reading = links::readText(text, ucLumo->position().rowCount());
    const QString cannot = QStringLiteral("The link cannot be followed. ");
    if (reading.check || reading.startOver) {
        // The exercises are answered on their pages, where the page shows
        // the verdict.
        platform::dialogs().msgBox(cannot + QStringLiteral("Only a link to a position can be "
                                                           "typed in or pasted."),
                                   platform::Dialogs::Buttons::Ok,
                                   platform::Dialogs::Icon::Exclamation);
        return false;
    }
    if (!reading.load) {
        platform::dialogs().msgBox(cannot + reading.problem, platform::Dialogs::Buttons::Ok,
                                   platform::Dialogs::Icon::Exclamation);
        return false;
    }
    if (!positionMayGo(QStringLiteral("loading the link's position"))) {
        return false;
    }
    ucLumo->followLink(*reading.load);
    return true;
}

} // namespace shell
