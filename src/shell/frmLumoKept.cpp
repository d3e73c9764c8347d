// What the student keeps between runs: the window's place and panels, the
// display, the inputs before expiry, the diagram's marks, the folder last
// used, and File > Recent Positions.
#include "frmLumo.h"

#include "ColourScheme.h"
#include "Wording.h"

#include "platform/Dialogs.h"
#include "platform/FailureGuard.h"
#include "platform/WholeFile.h"
#include "workbench/control/wqzOptionPayoffs.h"

#include <QAction>
#include <QApplication>
#include <QDataStream>
#include <QDir>
#include <QDockWidget>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMenu>
#include <QRect>
#include <QScreen>
#include <QTimer>

#include <utility>

namespace shell {

namespace {

// Whether a saved window place leaves the window's top edge on one of the
// screens there are now, where the student can take hold of it.
bool geometryOnScreen(const QByteArray& geometry) {
    // The window's own record: a mark, its version, then where its frame was
    // and where the window would be when neither maximised nor full screen.
    QDataStream stream(geometry);
    stream.setVersion(QDataStream::Qt_4_0);
    constexpr quint32 mark = 0x1D9D0CB;
    quint32 magic = 0;
    quint16 major = 0;
    quint16 minor = 0;
    QRect frame;
    QRect normal;
    stream >> magic >> major >> minor >> frame >> normal;
    if (stream.status() != QDataStream::Ok || magic != mark || major < 1 || major > 3 ||
        !normal.isValid()) {
        return false;
    }
    // A strip along the top as tall as a title bar and wide enough to drag.
    constexpr int grip = 40;
    const QRect top(normal.left(), normal.top() - std::min(grip, normal.top() - frame.top()),
                    normal.width(), grip);
    for (const QScreen* screen : QGuiApplication::screens()) {
        const QRect shared = screen->availableGeometry().intersected(top);
        if (shared.width() >= std::min(grip * 2, normal.width()) && shared.height() >= grip / 2) {
            return true;
        }
    }
    return false;
}

} // namespace

void frmLumo::restoreKept() {
    // The display first, as the student would switch it, so that Normal
    // Display later gives back the size the window had before; then the
    // place the window was left at, which may be the large one.
    if (kept_.large) {
        if (auto* large = findChild<QAction*>(QStringLiteral("mnuOptionsLargeDisplay"))) {
            large->trigger();
        }
    }
    if (!geometryOnScreen(kept_.geometry)) {
        kept_.geometry.clear();
    }
    if (!kept_.geometry.isEmpty()) {
        restoreGeometry(kept_.geometry);
    }
    // Panels the window cannot lay out as they were stay as built.
    if (!kept_.state.isEmpty() && restoreState(kept_.state)) {
        // Panels laid out before the window is first shown say nothing of it:
        // a closed Before Expiry panel takes its curve away all the same.
        ucLumo->setBeforeExpiryShown(expiryDock_->toggleViewAction()->isChecked());
    }
}

void frmLumo::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (keptSetAside_.isEmpty()) {
        return;
    }
    // Told over the window once it is on screen, once.
    QTimer::singleShot(0, this, platform::guarded([this, told = std::exchange(keptSetAside_, {})] {
                           platform::dialogs().msgBox(told, platform::Dialogs::Buttons::Ok,
                                                      platform::Dialogs::Icon::Exclamation);
                       }));
}

void frmLumo::useColours(ColourScheme scheme) {
    // The desktop's own colours stand untouched until a scheme is forced.
    if (!desktopColours_) {
        if (scheme == ColourScheme::Desktop) {
            return;
        }
        desktopColours_ = QApplication::palette();
    }
    if (scheme == ColourScheme::HighContrast) {
        colourscheme::outlineOnBlack();
    }
    QApplication::setPalette(colourscheme::palette(scheme, *desktopColours_));
    ucLumo->setPlotBackground(colourscheme::plotBackground(scheme, *desktopColours_));
    if (kept_.scheme != scheme) {
        kept_.scheme = scheme;
        keep();
    }
}

void frmLumo::keep() {
    // Asked now, written on the file's own thread: a slow disk or a huge
    // file never holds the window.
    keptFile_->keep(kept_);
}

void frmLumo::keptNotKept(const QString& reason) {
    // Once a run, as the exercises' progress is told.
    if (toldKeptNotKept_) {
        return;
    }
    toldKeptNotKept_ = true;
    platform::dialogs().msgBox(
        QStringLiteral("Your settings cannot be kept for the next time the program runs: %1 "
                       "They are kept until the program closes.")
            .arg(asSentence(reason)),
        platform::Dialogs::Buttons::Ok, platform::Dialogs::Icon::Exclamation);
}

void frmLumo::keepSoon() {
    if (!keepSoon_) {
        keepSoon_ = new QTimer(this);
        keepSoon_->setSingleShot(true);
        constexpr int kSettleMs = 500;
        keepSoon_->setInterval(kSettleMs);
        connect(keepSoon_, &QTimer::timeout, this, platform::guarded([this] { keep(); }));
    }
    keepSoon_->start();
}

void frmLumo::keepWindow() {
    kept_.geometry = saveGeometry();
    // The page in a tab beside the panels is this window's own narrow
    // layout, not a place of the panels: their places are kept as a window
    // wide enough for the page has them.
    if (!pageDock_) {
        kept_.state = saveState();
    }
    keep();
}

QString frmLumo::askOpenName(const QString& caption, const QString& filter) {
    const QString path = platform::dialogs().openFileName(caption, filter, kept_.folder);
    if (!path.isEmpty()) {
        kept_.folder = QFileInfo(path).absolutePath();
        keep();
    }
    return path;
}

QString frmLumo::askSaveName(const QString& caption, const QString& filter) {
    const QString path = platform::dialogs().saveFileName(caption, filter, kept_.folder);
    if (!path.isEmpty()) {
        kept_.folder = QFileInfo(path).absolutePath();
        keep();
    }
    return path;
}

void frmLumo::rememberPosition(const QString& path) {
    kept_.recent = kept::withRecent(kept_.recent, QFileInfo(path).absoluteFilePath());
    keep();
    showRecentPositions();
}

void frmLumo::showRecentPositions() {
    if (!mnuRecentPositions) {
        return; // a position opened before the menus are built heads them once they are
    }
    // The entries go later: this may run inside one of them being chosen.
    for (QAction* old : mnuRecentPositions->actions()) {
        mnuRecentPositions->removeAction(old);
        old->setObjectName(QString());
        old->deleteLater();
    }
    if (kept_.recent.isEmpty()) {
        QAction* none = mnuRecentPositions->addAction(QStringLiteral("No Recent Positions"));
        none->setObjectName(QStringLiteral("mnuRecentNone"));
        none->setEnabled(false);
        return;
    }
    for (int i = 0; i < kept_.recent.size(); ++i) {
        const QString path = kept_.recent[i];
        const QFileInfo file(path);
        // The file's name, numbered for the keyboard; the folder is in the
        // tooltip and the status bar. An ampersand in a name is shown as one.
        QAction* entry = mnuRecentPositions->addAction(
            QStringLiteral("&%1 %2").arg(i + 1).arg(file.fileName().replace(u'&', "&&")));
        entry->setObjectName(QStringLiteral("mnuRecentPosition(%1)").arg(i));
        const QString where = QDir::toNativeSeparators(path);
        entry->setToolTip(where);
        entry->setStatusTip(where);
        connect(entry, &QAction::triggered, this,
                platform::guarded([this, path] { mnuRecentPosition_Click(path); }));
    }
}

void frmLumo::mnuRecentPosition_Click(const QString& path) {
    // A file that is gone replaces nothing, so the position held is not
    // offered for saving first.
    const QFileInfo file(path);
    if (!file.isFile()) {
        kept_.recent.removeAll(path);
        keep();
        showRecentPositions();
        // Something else in its place is said for what it is.
        const QString notAFile = platform::notAFile(path);
        platform::dialogs().msgBox(
            notAFile.isEmpty()
                ? QStringLiteral("%1 is no longer in %2, so it has been taken off the recent "
                                 "positions.")
                      .arg(file.fileName(), QDir::toNativeSeparators(file.absolutePath()))
                : QStringLiteral("%1 cannot be opened: %2 It has been taken off the recent "
                                 "positions.")
                      .arg(QDir::toNativeSeparators(path), asSentence(notAFile)),
            platform::Dialogs::Buttons::Ok, platform::Dialogs::Icon::Exclamation);
        return;
    }
    if (positionMayGo(QStringLiteral("opening another position"))) {
        openPosition(path);
    }
}

} // namespace shell
