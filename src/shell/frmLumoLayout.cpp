// Laying the window out around the workbench.
#include "frmLumo.h"

#include "platform/ControlProperties.h"
#include "platform/Dialogs.h"
#include "platform/EventPump.h"
#include "platform/FailureGuard.h"
#include "platform/FlexGrid.h"
#include "platform/LineControl.h"
#include "platform/RunTimeError.h"
#include "platform/SplitHandle.h"
#include "platform/Twips.h"
#include "workbench/control/wqzOptionPayoffs.h"

#include <QComboBox>
#include <QDockWidget>
#include <QLabel>
#include <QLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>
#include <QWindow>

#include <algorithm>
#include <cmath>
#include <utility>

namespace shell {

namespace {

constexpr double kGap = frmLumo::gapTwips;
constexpr double kMargin = 100;
// Room for a short address, in twips.
constexpr double kMinAddressWidth = frmLumo::leastAddressWidth;
// The narrowest the browser gets while a panel beside it can give way: a
// tutorial page's lines stay readable.
constexpr double kMinBrowserWidth = 4800;
// Below the workbench the values grid keeps its header and two rows before
// the analysis gets any room, and the analysis shows only with two lines:
// at the design's type, and as much more at a larger one.
constexpr double kMinValuesHeight = 720;
constexpr double kMinAnalysisHeight = 480;
// The analysis's lines: the curve's name, six lines of numbers, and three
// of value and greeks before expiry.
constexpr int kAnalysisLines = 10;
// The edge between the workbench's column and the browser where a first
// start has it: the workbench at its design size in the client at its own.
constexpr double kFirstColumnShare =
    (240.0 + workbench::wqzOptionPayoffs::designWidth + kGap) / frmLumo::designClientWidth;
// The handles reach this far over the workbench's edges, in pixels, where
// the workbench keeps a margin of its own.
constexpr int kHandleReach = 3;

using platform::controls::Property;

double read(QObject* control, Property p) {
    return platform::controls::get(control, p);
}

// A value the control refuses as invalid (a negative size in a very small
// window) is passed over; anything else stops the pass.
void place(QObject* control, Property p, double value) {
    try {
        platform::controls::set(control, p, value);
    } catch (const platform::RunTimeError& error) {
        if (error.code() != platform::errc::InvalidPropertyValue) {
            throw;
        }
    }
}

} // namespace

void frmLumo::PositionBrowsers() {
    if (isMinimized()) {
        return;
    }
    try {
        // First, as its view may resize the client at once, and the pass
        // that resize runs must not be undone by this one's older sizes.
        const QSize least(leastClientWidth(), leastClientHeight());
        if (client_->minimumSize() != least) {
            client_->setMinimumSize(least);
        }
        fitWorkbench();
        const platform::twips::Rect bench = platform::twips::geometry(ucLumo);
        placeTitle(std::max(0, bench.width - ucLumo->ucWidth));
        const double clientWidth = platform::twips::fromPixels(client_->width());
        const double clientHeight = platform::twips::fromPixels(client_->height());
        // The page in its tab beside the panels is laid out there.
        const bool pageBeside = !pageDock_;
        if (pageBeside) {
            place(Browser1, Property::Left, double(bench.width) + bench.left + kGap);
            place(Browser1, Property::Width, clientWidth - bench.left - bench.width - kMargin);
            place(Browser1, Property::Height,
                  clientHeight - read(Browser1, Property::Top) - kMargin);
        }
        // The values grid and the analysis below it share the rest of the
        // left column; the grid gives up room only above its least height.
        const double below = clientHeight - bench.top - bench.height - kMargin;
        double analysis = std::min(double(analysisRoom()), below - leastValuesHeight()) - kGap;
        if (analysis < leastAnalysisHeight()) {
            analysis = 0;
        }
        place(Grid1, Property::Top, double(bench.height) + bench.top + kGap);
        place(Grid1, Property::Width,
              designValuesWidth +
                  std::max(0, bench.width - workbench::wqzOptionPayoffs::designWidth));
        place(Grid1, Property::Height, analysis > 0 ? below - analysis - kGap : below);
        txtAnalysis->setVisible(analysis > 0);
        lblReadAbout->setVisible(analysis > 0 && !lblReadAbout->text().isEmpty());
        if (analysis > 0) {
            // The offer to read about the strategy takes the last line.
            const double offer = platform::twips::fromPixels(offerHeight());
            place(txtAnalysis, Property::Left, read(Grid1, Property::Left));
            place(txtAnalysis, Property::Width, read(Grid1, Property::Width));
            place(txtAnalysis, Property::Top,
                  read(Grid1, Property::Top) + read(Grid1, Property::Height) + kGap);
            place(txtAnalysis, Property::Height, std::max(0.0, analysis - offer));
            place(lblReadAbout, Property::Left, read(Grid1, Property::Left));
            place(lblReadAbout, Property::Width, read(Grid1, Property::Width));
            place(lblReadAbout, Property::Top,
                  read(txtAnalysis, Property::Top) + read(txtAnalysis, Property::Height));
            place(lblReadAbout, Property::Height, offer);
        }
        if (pageBeside) {
            placeAddressRow(clientWidth);
        }
        placeHandles();
        // Not while the window is being shown: the client's view resizes it
        // then, in the middle of showing the window's children, and events
        // handled there can pull a child out from under that pass. Before
        // the window is on the screen, nothing is waiting to be drawn.
        if (const QWindow* shown = windowHandle(); shown && shown->isExposed()) {
            platform::eventPump().doEvents();
        }
    } catch (const platform::RunTimeError& error) {
        platform::dialogs().msgBox(
            QStringLiteral("Error resizing the display.  This usually occurs if you make the "
                           "window too small.   The system error message is ") +
                error.description(),
            platform::Dialogs::Buttons::Ok, platform::Dialogs::Icon::Critical);
    }
}

void frmLumo::placeAddressRow(double clientWidth) {
    place(cmbNavigate, Property::Left, read(Browser1, Property::Left));
    // Back, Forward and Stop stay inside the window as long as the box
    // can give up room for them; it never grows past its design width.
    const double room =
        clientWidth - kMargin - read(cmbNavigate, Property::Left) - addressButtonsWidth();
    place(cmbNavigate, Property::Width,
          std::clamp(room, kMinAddressWidth, double(designAddressWidth)));
    place(cmdBotBack, Property::Left,
          read(cmbNavigate, Property::Left) + read(cmbNavigate, Property::Width) + kGap);
    place(cmdBotForward, Property::Left,
          read(cmdBotBack, Property::Left) + read(cmdBotBack, Property::Width) + kGap);
    place(cmdStop, Property::Left,
          read(cmdBotForward, Property::Left) + read(cmdBotForward, Property::Width) + kGap);
}

int frmLumo::leastClientWidth() const {
    return leastWidth(!pageDock_);
}

int frmLumo::leastWidth(bool withPage) const {
    const double column = platform::twips::geometry(ucLumo).left + ucLumo->ucWidth + kGap;
    const double page =
        std::max(kMinBrowserWidth, kMinAddressWidth + addressButtonsWidth()) + kMargin;
    return platform::twips::pixelsToHold(int(column + (withPage ? page : 0)));
}

int frmLumo::leastClientHeight() const {
    // The analysis shows where there is room for it; Edit > Copy Analysis
    // has it all the same.
    return platform::twips::pixelsToHold(int(platform::twips::geometry(ucLumo).top +
                                             ucLumo->ucHeight + kGap + leastValuesHeight() +
                                             kMargin));
}

double frmLumo::typeScale() const {
    return Grid1->font().pointSizeF() / kNormalPoints;
}

double frmLumo::leastValuesHeight() const {
    return std::round(kMinValuesHeight * typeScale());
}

double frmLumo::leastAnalysisHeight() const {
    return std::round(kMinAnalysisHeight * typeScale());
}

void frmLumo::placeTitle(int wider) {
    using R = platform::twips::Rect;
    platform::twips::setGeometry(Image1[1], R{4500 + wider, 0, 480, 480});
    platform::twips::setGeometry(Label1, R{997 + wider / 2, 45, 3015, 375});
    Line2->setEndPoints(0, 500, 5040 + wider, 500);
}

double frmLumo::firstRoomBelow() const {
    return designClientHeight - platform::twips::geometry(ucLumo).top -
           workbench::wqzOptionPayoffs::designHeight - kMargin + analysisRoom();
}

void frmLumo::fitWorkbench() {
    namespace twips = platform::twips;
    const twips::Rect bench = twips::geometry(ucLumo);
    const double clientWidth = twips::fromPixels(client_->width());
    const double clientHeight = twips::fromPixels(client_->height());
    // A readable browser keeps its room before the workbench grows into it;
    // the workbench's own size comes before either.
    const double edge = std::min(kept_.columnShare.value_or(kFirstColumnShare) * clientWidth,
                                 clientWidth - kMinBrowserWidth - kMargin);
    const double room = kept_.roomBelow ? double(*kept_.roomBelow) : firstRoomBelow();
    const twips::Rect fitted{
        bench.left, bench.top,
        std::max(ucLumo->ucWidth, int(std::lround(edge - kGap - bench.left))),
        std::max(ucLumo->ucHeight, int(std::lround(clientHeight - kMargin - room - bench.top)))};
    if (fitted != bench) {
        twips::setGeometry(ucLumo, fitted);
    }
}

void frmLumo::placeHandles() {
    if (!columnEdge_) {
        columnEdge_ = new platform::SplitHandle(Qt::Horizontal, client_);
        columnEdge_->setObjectName(QStringLiteral("columnEdge"));
        columnEdge_->setToolTip(QStringLiteral("Drag to share the width between the workbench "
                                               "and the page; double-click to share it as at "
                                               "first"));
        roomEdge_ = new platform::SplitHandle(Qt::Vertical, client_);
        roomEdge_->setObjectName(QStringLiteral("roomEdge"));
        roomEdge_->setToolTip(QStringLiteral("Drag to share the height between the diagram and "
                                             "the values; double-click to share it as at first"));
        const auto from = [this](QWidget* edge, Property p) {
            return [this, edge, p] { dragFrom_ = read(edge, p); };
        };
        connect(columnEdge_, &platform::SplitHandle::pressed, this,
                platform::guarded(from(Browser1, Property::Left)));
        connect(roomEdge_, &platform::SplitHandle::pressed, this,
                platform::guarded(from(Grid1, Property::Top)));
        connect(columnEdge_, &platform::SplitHandle::moved, this,
                platform::guarded([this](int by) { dragColumnEdge(by); }));
        connect(roomEdge_, &platform::SplitHandle::moved, this,
                platform::guarded([this](int by) { dragRoomBelow(by); }));
        const auto firstStart = [this](auto& kept) {
            return platform::guarded([this, &kept] {
                kept.reset();
                PositionBrowsers();
                keepSoon();
            });
        };
        connect(columnEdge_, &platform::SplitHandle::reset, this, firstStart(kept_.columnShare));
        connect(roomEdge_, &platform::SplitHandle::reset, this, firstStart(kept_.roomBelow));
    }
    // In the gaps between the column and the browser and between the
    // workbench and the values, reaching over the workbench's own margin.
    const QRect bench = ucLumo->geometry();
    const int browser = Browser1->geometry().left();
    columnEdge_->setGeometry(bench.right() + 1 - kHandleReach, 0,
                             std::max(kHandleReach, browser - bench.right() - 1 + kHandleReach),
                             client_->height());
    const int grid = Grid1->geometry().top();
    roomEdge_->setGeometry(bench.left(), bench.bottom() + 1 - kHandleReach,
                           bench.width() - kHandleReach,
                           std::max(kHandleReach, grid - bench.bottom() - 1 + kHandleReach));
    columnEdge_->setVisible(!pageDock_);
    columnEdge_->raise();
    roomEdge_->raise();
}

void frmLumo::dragColumnEdge(int by) {
    namespace twips = platform::twips;
    const double clientWidth = twips::fromPixels(client_->width());
    const double bench = twips::geometry(ucLumo).left + ucLumo->ucWidth + kGap;
    const double edge = std::max(bench, std::min(dragFrom_ + twips::fromPixels(by),
                                                 clientWidth - kMinBrowserWidth - kMargin));
    kept_.columnShare =
        std::clamp(edge / clientWidth, kept::leastColumnShare, kept::mostColumnShare);
    PositionBrowsers();
    keepSoon();
}

void frmLumo::dragRoomBelow(int by) {
    namespace twips = platform::twips;
    const double clientHeight = twips::fromPixels(client_->height());
    const double top = twips::geometry(ucLumo).top;
    // The values keep their header and two rows; the workbench its own height.
    const double least = leastValuesHeight() + kGap;
    const double most = std::max(least, clientHeight - kMargin - top - ucLumo->ucHeight);
    const double room = clientHeight - kMargin - (dragFrom_ + twips::fromPixels(by) - kGap);
    kept_.roomBelow =
        int(std::lround(std::min(std::clamp(room, least, most), double(kept::mostRoomBelow))));
    PositionBrowsers();
    keepSoon();
}

int frmLumo::offerHeight() const {
    return lblReadAbout->fontMetrics().height() + 4;
}

int frmLumo::analysisRoom() const {
    const int frame = 2 * txtAnalysis->frameWidth();
    const int margins = int(2 * txtAnalysis->document()->documentMargin());
    // The text's layout rounds each line's height up a pixel past the font's
    // spacing, and wants half a line more before it stops offering a scroll
    // bar.
    const int spacing = txtAnalysis->fontMetrics().lineSpacing() + 1;
    const int lines = kAnalysisLines * spacing + spacing / 2;
    // Whole pixels, so that a window opened with this much more keeps the
    // grid's designed height exactly.
    return platform::twips::fromPixels(lines + frame + margins + offerHeight() +
                                       platform::twips::pixelsToHold(int(kGap)));
}

double frmLumo::addressButtonsWidth() const {
    return read(cmdBotBack, Property::Width) + read(cmdBotForward, Property::Width) +
           read(cmdStop, Property::Width) + 3 * kGap;
}

void frmLumo::growToShowWorkbench(int panelsMore) {
    // A maximised window already has all the screen can give.
    if (isMinimized() || isMaximized() || isFullScreen()) {
        return;
    }
    namespace twips = platform::twips;
    const twips::Rect bench = twips::geometry(ucLumo);
    // The whole address row right of the workbench (the box at its design
    // width, however narrow a layout pass has made it), and below it the
    // values grid as tall as at the design size, with the gaps and margins.
    const double row = designAddressWidth + addressButtonsWidth();
    const double grid = designClientHeight - bench.top - workbench::wqzOptionPayoffs::designHeight -
                        kMargin + analysisRoom();
    const double width = bench.left + bench.width + kGap + row + kMargin +
                         twips::fromPixels(std::max(0, panelsMore));
    const double height = bench.top + bench.height + kGap + grid + kMargin;
    const QSize chrome = size() - client_->size();
    const QSize frame = frameGeometry().size() - size();
    const QRect screenArea = screen()->availableGeometry();
    const QSize wanted =
        (QSize(twips::pixelsToHold(int(width)), twips::pixelsToHold(int(height))) + chrome)
            .expandedTo(size() + QSize(std::max(0, panelsMore), 0))
            .boundedTo(screenArea.size() - frame)
            .expandedTo(size());
    if (wanted == size()) {
        return;
    }
    if (!placeBeforeLarge_) {
        placeBeforeLarge_ = QRect(pos(), size());
        panelsBeforeLarge_ = {expiryDock_->width(), scenariosDock_->width()};
    }
    resize(wanted);
    // What now reaches past the screen's edge comes back onto it.
    const QRect grown = frameGeometry();
    move(
        std::max(screenArea.left(), std::min(grown.left(), screenArea.right() + 1 - grown.width())),
        std::max(screenArea.top(),
                 std::min(grown.top(), screenArea.bottom() + 1 - grown.height())));
    largePlace_ = QRect(pos(), size());
}

} // namespace shell
