// What the desktop asks the window to open: a position file or a workbench
// link given on the command line, at start-up or handed over by a later start.
#include "frmLumo.h"

#include "PackDesk.h"

#include "platform/Dialogs.h"
#include "workbench/control/wqzOptionPayoffs.h"
#include "workbench/model/WorkbenchLink.h"

#include <QFileInfo>
#include <QScopeGuard>
#include <QUrl>

namespace shell {

void frmLumo::openFromOutside(const QString& argument) {
    // A file manager may hand over the next file while the question about
    // the last one is still on screen: each is taken in turn, never inside
    // another's message box.
    fromOutside_ << argument;
    if (openingFromOutside_) {
        return;
    }
    openingFromOutside_ = true;
    const auto done = qScopeGuard([this] { openingFromOutside_ = false; });
    while (!fromOutside_.isEmpty()) {
        const QString next = fromOutside_.takeFirst();
        if (workbench::links::isLink(next)) {
            followOutsideLink(next);
        } else if (next.endsWith(QStringLiteral(".wqzpack"), Qt::CaseInsensitive)) {
            if (packs_->mayGo(QStringLiteral("opening %1").arg(QFileInfo(next).fileName()))) {
                packs_->open(next);
            }
        } else if (positionMayGo(QStringLiteral("opening %1").arg(QFileInfo(next).fileName()))) {
            openPosition(next);
        }
    }
}

void frmLumo::followOutsideLink(const QString& address) {
    // Read as a pasted or typed link is: the same limit, the same trimming.
    const workbench::links::Reading reading =
        workbench::links::readText(address, ucLumo->position().rowCount());
    if (!reading.load) {
        // Answers and the progress are the tutorial pages' own business: a
        // link from anywhere else may only load a position.
        const QString why = reading.problem.isEmpty()
                                ? QStringLiteral("Only a link that loads a position can be given "
                                                 "to the program.")
                                : reading.problem;
        platform::dialogs().msgBox(QStringLiteral("The link cannot be followed. ") + why,
                                   platform::Dialogs::Buttons::Ok,
                                   platform::Dialogs::Icon::Exclamation);
        return;
    }
    if (!positionMayGo(QStringLiteral("loading the link's position"))) {
        return;
    }
    ucLumo->followLink(*reading.load);
}

} // namespace shell
