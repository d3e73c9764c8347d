// The controls around the diagram and the strategy list.
#include "wqzOptionPayoffs.h"

#include "PlotLayers.h"

#include "display/wqzSetDisplay.h"
#include "platform/Clipboard.h"
#include "platform/Dialogs.h"
#include "platform/EventPump.h"
#include "platform/KeyCodes.h"
#include "platform/Numbers.h"
#include "platform/PictureBox.h"
#include "platform/SwatchBox.h"
#include "platform/Twips.h"
#include "services/ReportError.h"
#include "workbench/model/LegExpiry.h"
#include "workbench/model/PositionAnalysis.h"
#include "workbench/model/PositionColumns.h"
#include "workbench/model/Strategies.h"
#include "workbench/pricing/FirstExpiry.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QScopeGuard>

#include <algorithm>
#include <cmath>

namespace workbench {

namespace {

namespace col = workbench::columns;

} // namespace

void wqzOptionPayoffs::cmdPlot_Click() {
    // readPosition reports its own failure; the plot is then skipped.
    if (readPosition() < 0) {
        return;
    }
    PlotIt(platform::vbFalse);
}

void wqzOptionPayoffs::adjustQty(float step) {
    const LastPlot::Change change(*plot_);
    using platform::numbers::format;
    using platform::numbers::single;
    // The step goes onto the quantity held in the state; text typed into the
    // cell and not yet read is overwritten.
    if (selCallRow == -1 && selPutRow == -1) {
        position_.underlyingQty = single(double(step) + double(position_.underlyingQty));
        txtUnderlyingQty->setText(format(position_.underlyingQty, u"#####0.00"));
    } else if (selCallRow == -1 && selPutRow > 0 && selPutRow < Grid1->Rows()) {
        const int r = selPutRow;
        followGridRows();
        position_.putQty[r] = single(double(position_.putQty[r]) + double(step));
        Grid1->setTextMatrix(r, col::PutQty, format(position_.putQty[r], u"#####0.00"));
    } else if (selPutRow == -1 && selCallRow > 0 && selCallRow < Grid1->Rows()) {
        const int r = selCallRow;
        followGridRows();
        position_.callQty[r] = single(double(position_.callQty[r]) + double(step));
        Grid1->setTextMatrix(r, col::CallQty, format(position_.callQty[r], u"#####0.00"));
    }
    cmdPlot_Click();
}

void wqzOptionPayoffs::pColor_Click(int index) {
    for (platform::SwatchBox* swatch : pColor) {
        swatch->setBorder(false);
    }
    pColor[index]->setBorder(true);
    plotColor_ = pColor[index]->color();
}

void wqzOptionPayoffs::pbox_KeyPress(int keyAscii) {
    if (keyAscii != platform::keys::charCopy) {
        return;
    }
    clipboard_.clear();
    clipboard_.setImage(pbox->image());
}

double wqzOptionPayoffs::roundestPrice(double a, double b) {
    return PlotLayers::roundestPrice(a, b);
}

void wqzOptionPayoffs::selectUnderlying() {
    selCallRow = -1;
    selPutRow = -1;
    showSelection();
}

void wqzOptionPayoffs::EnlargeFont() {
    switchDisplay(&display::wqzSetDisplay::EnlargeFont);
}

void wqzOptionPayoffs::ReduceFont() {
    switchDisplay(&display::wqzSetDisplay::ReduceFont);
}

void wqzOptionPayoffs::switchDisplay(void (display::wqzSetDisplay::*change)(std::int32_t&,
                                                                            std::int32_t&)) {
    if (!setDisplay) {
        setDisplay = std::make_unique<display::wqzSetDisplay>();
    }
    // The display's size sets every control at its own place again, which
    // is kept before the control takes that size: its resize would otherwise
    // move them all by the difference.
    ((*setDisplay).*change)(ucWidth, ucHeight);
    namespace twips = platform::twips;
    // The large display's position grid reaches a little past the
    // workbench's own foot, which would cut its lower frame: it ends a pixel
    // inside.
    if (twips::Rect grid = twips::geometry(Grid1); grid.top + grid.height >= ucHeight) {
        grid.height = ucHeight - grid.top - twips::fromPixels(1);
        twips::setGeometry(Grid1, grid);
    }
    const twips::Rect here = twips::geometry(this);
    const twips::Rect own{here.left, here.top, ucWidth, ucHeight};
    places_.keep(twips::toPixels(own).size());
    twips::setGeometry(this, own);
    fitGridColumns();
}

void wqzOptionPayoffs::cmbStandard_Click() {
    const LastPlot::Change change(*plot_);
    loadStrategy(std::nullopt, std::nullopt);
}

void wqzOptionPayoffs::loadStrategy(const std::optional<QString>& untiedFrom,
                                    const std::optional<links::Range>& range) {
    using platform::numbers::format;
    if (cmbStandard->currentIndex() == -1) {
        return;
    }
    // Until the strategy is loaded the list goes back to what the position
    // is, whatever stops the load.
    auto showHeld = qScopeGuard([this] {
        checkStale();
        showStrategy();
    });
    recordTyping();
    const QString why = legsMissing(cmbStandard->currentText());
    if (!why.isEmpty()) {
        platform::dialogs().msgBox(why, platform::Dialogs::Buttons::Ok,
                                   platform::Dialogs::Icon::None);
        return;
    }
    // The strategy is drawn with the strikes and premiums the grid shows,
    // which it leaves as they are.
    startAfresh();
    if (const workbench::Strategy* s = workbench::findStrategy(cmbStandard->currentText())) {
        const int laterDays =
            std::min(2 * plot_->inputs().daysToday, beforeexpiry::limits::maxDaysToExpiry);
        const int laterRow = expiresApart(*s) ? rowForLater(*s, laterDays) : 0;
        if (laterRow < 0) {
            return;
        }
        workbench::hold(position_, *s, laterRow, laterDays);
        // The later row's quotes are for its days, whichever of its options
        // is held: the implied volatilities read them so.
        if (laterRow > 0) {
            position_.callDays[std::size_t(laterRow)] = laterDays;
            position_.putDays[std::size_t(laterRow)] = laterDays;
        }
    }
    txtUnderlyingQty->setText(format(position_.underlyingQty, u"#####0"));
    for (int r = 1; r <= position_.rowCount(); ++r) {
        const auto cell = [](float qty, int days) {
            const QString q = format(qty, u"#####0");
            return days > 0 ? q + u' ' + legexpiry::daysText(days) : q;
        };
        Grid1->setTextMatrix(r, col::CallQty,
                             cell(position_.callQty[r], position_.callDays[std::size_t(r)]));
        Grid1->setTextMatrix(r, col::PutQty,
                             cell(position_.putQty[r], position_.putDays[std::size_t(r)]));
    }
    const QString name = cmbStandard->currentText();
    plotIn(range);
    recordChange(name, untiedFrom);
    platform::eventPump().doEvents();
}

} // namespace workbench

namespace workbench {

// The row a strategy's later leg goes on: one at the strike of the row the
// leg names, quoted for `days` to expiry as the model prices them from that
// row's premiums. A row already quoted so is taken again, so that loading the
// strategy twice adds one row; otherwise one is added under the others. -1,
// told, where the model cannot price them.
int wqzOptionPayoffs::rowForLater(const Strategy& strategy, int days) {
    using platform::numbers::format;
    int named = 0;
    for (const auto* legs : {&strategy.calls, &strategy.puts}) {
        for (const StrategyLeg& leg : *legs) {
            named = leg.later ? leg.row : named;
        }
    }
    const std::optional<firstexpiry::LaterQuotes> q =
        firstexpiry::laterQuotes(position_, plot_->inputs(), named, days);
    if (!q) {
        platform::dialogs().msgBox(
            QStringLiteral("The model cannot price row %1's options with %2 days to expiry, so %3 "
                           "cannot be loaded.")
                .arg(named)
                .arg(days)
                .arg(QString::fromUtf16(strategy.name)),
            platform::Dialogs::Buttons::Ok, platform::Dialogs::Icon::None);
        return -1;
    }
    const QString cells[] = {Grid1->TextMatrix(named, col::Strike),
                             format(q->call, col::premiumFormat),
                             format(q->put, col::premiumFormat)};
    const auto quoted = [&](int r) {
        return Grid1->TextMatrix(r, col::Strike) == cells[0] &&
               Grid1->TextMatrix(r, col::CallPrice) == cells[1] &&
               Grid1->TextMatrix(r, col::PutPrice) == cells[2];
    };
    for (int r = 1; r < Grid1->Rows(); ++r) {
        if (r != named && quoted(r)) {
            return r;
        }
    }
    const int r = Grid1->Rows();
    Grid1->setRows(r + 1);
    Grid1->setTextMatrix(r, col::Strike, cells[0]);
    Grid1->setTextMatrix(r, col::CallPrice, cells[1]);
    Grid1->setTextMatrix(r, col::PutPrice, cells[2]);
    readQuotes(false);
    return r;
}

// A position loaded whole (a strategy, a page's link) starts from the quotes
// the grid shows, no quantities and prices 1 to 100.
void wqzOptionPayoffs::startAfresh() {
    readQuotes(false);
    position_.underlyingQty = 0;
    for (int r = 1; r <= position_.rowCount(); ++r) {
        position_.callQty[r] = 0;
        position_.putQty[r] = 0;
        position_.callDays[std::size_t(r)] = 0;
        position_.putDays[std::size_t(r)] = 0;
    }
    Text1[2]->setText(QStringLiteral("1"));
    Text1[3]->setText(QStringLiteral("100"));
}

} // namespace workbench
