// The diagram alone, in a window of its own.
#include "frmLumo.h"

#include "platform/FailureGuard.h"
#include "workbench/control/DiagramWindow.h"

#include <QAction>
#include <QGuiApplication>
#include <QScreen>

namespace shell {

void frmLumo::showDiagramOnly(bool shown) {
    if (!shown) {
        if (diagramOnly_) {
            diagramOnly_->close();
        }
        return;
    }
    if (!diagramOnly_) {
        diagramOnly_ = new workbench::DiagramWindow(*ucLumo, this);
        connect(diagramOnly_, &workbench::DiagramWindow::closed, this, platform::guarded([this] {
                    if (auto* action = findChild<QAction*>(QStringLiteral("mnuDiagramOnly"))) {
                        action->setChecked(false);
                    }
                    activateWindow();
                }));
    }
    QScreen* there = screen();
    for (QScreen* other : QGuiApplication::screens()) {
        if (other != screen()) {
            there = other;
            break;
        }
    }
    diagramOnly_->setGeometry(there->geometry());
    diagramOnly_->showFullScreen();
    diagramOnly_->raise();
    diagramOnly_->activateWindow();
    diagramOnly_->setFocus();
}

} // namespace shell
