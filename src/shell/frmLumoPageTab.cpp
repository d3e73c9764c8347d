// The client in its view, the docked panels' width, and the page's turn
// with them in a narrow window.
#include "frmLumo.h"

#include "platform/FailureGuard.h"
#include "platform/Twips.h"
#include "workbench/control/BeforeExpiryPanel.h"

#include <QAction>
#include <QComboBox>
#include <QDockWidget>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLayout>
#include <QPushButton>
#include <QResizeEvent>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>
#include <QVBoxLayout>

#include <algorithm>

namespace shell {

namespace {

// The least width a docked panel's view shows its content whole in, each
// label beside its box.
int wholeWidth(const QScrollArea& view) {
    QWidget* panel = view.widget();
    const auto forms = panel->findChildren<QFormLayout*>();
    QList<QFormLayout::RowWrapPolicy> policies;
    for (QFormLayout* form : forms) {
        policies << form->rowWrapPolicy();
    }
    const auto wrapping = [&](auto policy) {
        for (qsizetype i = 0; i < forms.size(); ++i) {
            forms[i]->setRowWrapPolicy(policy(i));
        }
        // Asked just after a change of the font too: what the layout kept
        // is of the size before.
        if (QLayout* layout = panel->layout()) {
            layout->invalidate();
            layout->activate();
        }
    };
    wrapping([](qsizetype) { return QFormLayout::DontWrapRows; });
    const int width = panel->minimumSizeHint().width();
    wrapping([&](qsizetype i) { return policies[i]; });
    return width + view.verticalScrollBar()->sizeHint().width() + 2 * view.frameWidth();
}

} // namespace

void frmLumo::createClient() {
    // A screen too small for the workbench at its own size (a projector's
    // 800 x 600 at Large Display) keeps the window on it: the client scrolls,
    // and a control reached by Tab scrolls into sight, rather than reach past
    // the screen's edge. Without a frame, a client the window holds lies
    // exactly where it would without the view.
    clientView_ = new QScrollArea(this);
    clientView_->setObjectName(QStringLiteral("clientView"));
    clientView_->setFrameShape(QFrame::NoFrame);
    clientView_->setWidgetResizable(true);
    // Tab goes from control to control, the view scrolling to each.
    clientView_->setFocusPolicy(Qt::NoFocus);
    clientView_->setAccessibleName(QStringLiteral("Workbench and tutorial page"));
    client_ = new QWidget(clientView_);
    client_->setObjectName(QStringLiteral("client"));
    clientView_->setWidget(client_);
    setCentralWidget(clientView_);
}

void frmLumo::watchPanels() {
    // A panel opened, closed, floated or docked may leave room for the page
    // beside the workbench again, or take it.
    for (QDockWidget* dock : {expiryDock_, scenariosDock_}) {
        connect(dock->toggleViewAction(), &QAction::toggled, this, [this] { fitPageSoon(); });
        connect(dock, &QDockWidget::topLevelChanged, this, [this] { fitPageSoon(); });
        connect(dock, &QDockWidget::dockLocationChanged, this, [this] { fitPageSoon(); });
    }
}

int frmLumo::fitPanels() {
    // The room the screen leaves beside the workbench's column: the page
    // takes its turn with the panels where it cannot sit beside them too.
    const int separator = style()->pixelMetric(QStyle::PM_DockWidgetSeparatorExtent);
    // A screen too short for the column gives it its scroll bar too.
    const int room = screen()->availableGeometry().width() - (frameGeometry().width() - width()) -
                     leastWidth(false) - clientView_->verticalScrollBar()->sizeHint().width() -
                     separator;
    int more = 0;
    for (QDockWidget* dock : {expiryDock_, scenariosDock_}) {
        auto* view = qobject_cast<QScrollArea*>(dock->widget());
        if (!view || !view->widget()) {
            continue;
        }
        const int whole = wholeWidth(*view);
        const int least = std::max(0, std::min(whole, room));
        if (auto* panel = qobject_cast<workbench::BeforeExpiryPanel*>(view->widget())) {
            panel->setCompact(least < whole);
        }
        // A panel not yet laid out takes the width it asks for.
        if (!dock->isFloating() && dock->isVisibleTo(this)) {
            more = std::max(more,
                            least - (view->isVisible() ? view->width() : view->sizeHint().width()));
        }
        view->setMinimumWidth(least);
    }
    return more;
}

QDockWidget* frmLumo::dockedPanel() const {
    for (QDockWidget* dock : {expiryDock_, scenariosDock_}) {
        if (dock->toggleViewAction()->isChecked() && !dock->isFloating() &&
            dockWidgetArea(dock) != Qt::NoDockWidgetArea) {
            return dock;
        }
    }
    return nullptr;
}

void frmLumo::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    fitPageSoon();
}

void frmLumo::fitPageSoon() {
    // Not inside the resize: moving the page between the client and a dock
    // lays the window out again.
    if (std::exchange(pageFitDue_, true)) {
        return;
    }
    QMetaObject::invokeMethod(this, platform::guarded([this] {
                                  pageFitDue_ = false;
                                  fitPage();
                              }),
                              Qt::QueuedConnection);
}

void frmLumo::fitPage() {
    if (isMinimized()) {
        return;
    }
    QDockWidget* panel = dockedPanel();
    // The width the page needs beside the workbench and the panels, the
    // same in either layout so that the window does not swing between them.
    const int separator = style()->pixelMetric(QStyle::PM_DockWidgetSeparatorExtent);
    const int needed = panel ? leastWidth(true) + panel->minimumSizeHint().width() + separator : 0;
    const bool narrow = panel && width() < needed;
    if (narrow && !pageDock_) {
        pageIntoTab(panel);
    } else if (!narrow && pageDock_) {
        pageBackBeside();
    }
    if (pageDock_) {
        fitColumn();
    }
}

void frmLumo::fitColumn() {
    // The client is as wide as the workbench's column, and its scroll bar
    // when the window is too short for the column; the tabs take the rest.
    const bool scrolls = client_->minimumHeight() > clientView_->height();
    const int width =
        leastWidth(false) + (scrolls ? clientView_->verticalScrollBar()->sizeHint().width() : 0);
    if (clientView_->maximumWidth() != width) {
        clientView_->setFixedWidth(width);
    }
}

std::array<QWidget*, 5> frmLumo::pageControls() const {
    return {cmbNavigate, cmdBotBack, cmdBotForward, cmdStop, Browser1};
}

void frmLumo::pageIntoTab(QDockWidget* beside) {
    pageDock_ = new QDockWidget(QStringLiteral("Tutorial Page"), this);
    pageDock_->setObjectName(QStringLiteral("dockPage"));
    // The page is never closed or lost in a floating window: it goes back
    // beside the workbench when the window is wide enough.
    pageDock_->setFeatures(QDockWidget::NoDockWidgetFeatures);
    auto* pane = new QWidget(pageDock_);
    pane->setObjectName(QStringLiteral("pagePane"));
    auto* column = new QVBoxLayout(pane);
    // As close around the page as the client's margin is.
    const int margin = platform::twips::toPixels(int(gapTwips));
    column->setContentsMargins(margin, margin, margin, margin);
    column->setSpacing(margin);
    auto* row = new QHBoxLayout;
    row->setSpacing(margin);
    column->addLayout(row);
    for (QWidget* w : pageControls()) {
        if (w == Browser1) {
            column->addWidget(w, 1);
        } else {
            row->addWidget(w, w == cmbNavigate ? 1 : 0);
        }
    }
    // The address box gives way to the buttons, as it does beside the
    // workbench; the buttons keep their size.
    cmbNavigate->setMinimumWidth(platform::twips::toPixels(int(leastAddressWidth)));
    cmbNavigate->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    for (QWidget* w : pageControls()) {
        if (w != cmbNavigate && w != Browser1) {
            w->setFixedSize(w->size());
        }
        w->show();
    }
    pageDock_->setWidget(pane);
    addDockWidget(dockWidgetArea(beside), pageDock_);
    tabifyDockWidget(beside, pageDock_);
    pageDock_->show();
    // The page the student was reading stays in front.
    pageDock_->raise();
    // The client holds the workbench's column alone; the panels and the
    // page have the rest.
    fitColumn();
    PositionBrowsers();
}

void frmLumo::pageBackBeside() {
    for (QWidget* w : pageControls()) {
        w->setParent(client_);
        w->show();
    }
    removeDockWidget(pageDock_);
    delete std::exchange(pageDock_, nullptr);
    clientView_->setMinimumWidth(0);
    clientView_->setMaximumWidth(QWIDGETSIZE_MAX);
    PositionBrowsers();
}

void frmLumo::giveBackNormalSize() {
    const std::optional<QRect> before = std::exchange(placeBeforeLarge_, std::nullopt);
    // A size the user has given the window since stands, and so does a place
    // they moved it to.
    if (!before || size() != largePlace_.size() || isMinimized() || isMaximized() ||
        isFullScreen()) {
        return;
    }
    // The panels first take the width they had before, which the window
    // then gives back.
    QList<QDockWidget*> docks;
    QList<int> widths;
    for (const auto& [dock, width] :
         {std::pair{expiryDock_, panelsBeforeLarge_[0]}, {scenariosDock_, panelsBeforeLarge_[1]}}) {
        if (!dock->isFloating() && dock->isVisibleTo(this)) {
            docks << dock;
            widths << width;
        }
    }
    resizeDocks(docks, widths, Qt::Horizontal);
    layout()->activate();
    resize(before->size());
    if (pos() == largePlace_.topLeft()) {
        move(before->topLeft());
    }
}

} // namespace shell
