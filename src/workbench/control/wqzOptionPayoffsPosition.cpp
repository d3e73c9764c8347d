// Reading the position from the grid, the position commands and the grid's
// editing events.
#include "wqzOptionPayoffs.h"

#include "GridEditing.h"
#include "platform/EventPump.h"
#include "platform/KeyCodes.h"
#include "platform/Numbers.h"
#include "platform/PictureBox.h"
#include "services/ReportError.h"
#include "workbench/model/ExchangeText.h"
#include "workbench/model/LegExpiry.h"
#include "workbench/model/PositionColumns.h"

#include <QLabel>
#include <QLineEdit>

#include <tuple>

namespace workbench {

namespace {
constexpr std::int16_t statusDone = 0;
constexpr std::int16_t statusFailed = -1;

namespace col = workbench::columns;

} // namespace

void wqzOptionPayoffs::followGridRows() {
    position_.setRowCount(Grid1->Rows() - 1);
}

std::int16_t wqzOptionPayoffs::readPosition() {
    using platform::numbers::format;
    using platform::numbers::leadingNumber;
    using platform::numbers::single;
    try {
        position_.underlyingQty = single(leadingNumber(txtUnderlyingQty->text()));
        followGridRows();
        for (int r = 1; r <= position_.rowCount(); ++r) {
            position_.putQty[r] = single(leadingNumber(Grid1->TextMatrix(r, col::PutQty)));
            position_.callQty[r] = single(leadingNumber(Grid1->TextMatrix(r, col::CallQty)));
            position_.putDays[std::size_t(r)] =
                legexpiry::daysOf(Grid1->TextMatrix(r, col::PutQty)).days;
            position_.callDays[std::size_t(r)] =
                legexpiry::daysOf(Grid1->TextMatrix(r, col::CallQty)).days;
            // A cell that is not wholly a number (and its leg's days) keeps
            // what was typed, marked with what was read of it, so that "1,5"
            // is not quietly 1.00.
            const std::tuple<int, float, int> cells[] = {
                {col::PutQty, position_.putQty[r], position_.putDays[std::size_t(r)]},
                {col::CallQty, position_.callQty[r], position_.callDays[std::size_t(r)]}};
            for (const auto& [c, value, days] : cells) {
                if (legexpiry::wholeQuantity(Grid1->TextMatrix(r, c))) {
                    Grid1->setTextMatrix(r, c, legexpiry::quantityText(value, days));
                }
            }
        }
        readQuotes(true);
        // The program's own rewrite leaves the selection where the student put it.
        txtUnderlyingQty->setText(format(position_.underlyingQty, col::quantityFormat));
        return statusDone;
    } catch (const platform::RunTimeError& error) {
        services::errors::reportError(error);
        return statusFailed;
    }
}

void wqzOptionPayoffs::InvertPosition() {
    const LastPlot::Change change(*plot_);
    using platform::numbers::format;
    using platform::numbers::leadingNumber;
    using platform::numbers::single;
    recordTyping();
    try {
        position_.underlyingQty = single(leadingNumber(txtUnderlyingQty->text()));
        // The box shows the negated value; the plot below reads it back.
        txtUnderlyingQty->setText(format(-position_.underlyingQty, col::quantityFormat));
        followGridRows();
        for (int r = 1; r <= position_.rowCount(); ++r) {
            position_.putQty[r] = single(-leadingNumber(Grid1->TextMatrix(r, col::PutQty)));
            position_.callQty[r] = single(-leadingNumber(Grid1->TextMatrix(r, col::CallQty)));
            // Each leg keeps its own expiry.
            Grid1->setTextMatrix(
                r, col::PutQty,
                legexpiry::quantityText(position_.putQty[r],
                                        legexpiry::daysOf(Grid1->TextMatrix(r, col::PutQty)).days));
            Grid1->setTextMatrix(r, col::CallQty,
                                 legexpiry::quantityText(
                                     position_.callQty[r],
                                     legexpiry::daysOf(Grid1->TextMatrix(r, col::CallQty)).days));
        }
    } catch (const platform::RunTimeError& error) {
        // Rows already inverted stay inverted; nothing is plotted.
        services::errors::reportError(error);
        recordChange(QStringLiteral("Invert"));
        return;
    }
    cmdPlot_Click();
    recordChange(QStringLiteral("Invert"));
}

void wqzOptionPayoffs::cmdClear_Click() {
    const LastPlot::Change change(*plot_);
    plot_->clear();
    forgetAnalysis();
}

void wqzOptionPayoffs::cmdRestart_Click() {
    const LastPlot::Change change(*plot_);
    recordTyping();
    followGridRows();
    for (int r = 1; r <= position_.rowCount(); ++r) {
        Grid1->setTextMatrix(r, col::CallQty, QString());
        Grid1->setTextMatrix(r, col::PutQty, QString());
        position_.putQty[r] = 0;
        position_.callQty[r] = 0;
        position_.putDays[std::size_t(r)] = 0;
        position_.callDays[std::size_t(r)] = 0;
    }
    position_.underlyingQty = 0;
    txtUnderlyingQty->setText(QString());
    plot_->clear();
    forgetAnalysis();
    recordChange(QStringLiteral("Restart"));
}

void wqzOptionPayoffs::CopyOptionData() {
    workbench::gridediting::copyGridSelection(*Grid1, clipboard_);
}

// ---- the position grid's events ----------------------------------------------

bool wqzOptionPayoffs::currentCellEditable() const {
    // Quantities, premiums and strikes alike: students type their own quotes.
    return Grid1->Row() != 0;
}

void wqzOptionPayoffs::Grid1_Click() {
    const int row = Grid1->Row();
    if (row == 0) {
        return;
    }
    // A strike cell leaves the selection as it was.
    const int col = Grid1->Col();
    if (col == col::CallQty || col == col::CallPrice) {
        selCallRow = platform::numbers::toInteger(row);
        selPutRow = -1;
    } else if (col == col::PutPrice || col == col::PutQty) {
        selCallRow = -1;
        selPutRow = platform::numbers::toInteger(row);
    }
    showSelection();
}

void wqzOptionPayoffs::Grid1_RowColChange() {
    if (!currentCellEditable()) {
        return;
    }
    // The first character typed replaces the cell's old text.
    edit_.restore = Grid1->Text();
    workbench::exchangetext::clearText(edit_.buffer);
}

void wqzOptionPayoffs::Grid1_DblClick() {
    if (!currentCellEditable()) {
        return;
    }
    edit_.restore = edit_.buffer;
    workbench::gridediting::beginCellEdit(*Grid1, edit_.buffer);
}

void wqzOptionPayoffs::Grid1_KeyDown(int keyCode, int shift) {
    if (currentCellEditable()) {
        workbench::gridediting::handleCellKeyDown(*Grid1, edit_.buffer, keyCode, shift);
        showRowsTakingPart(false);
        showSelection();
    }
}

// A quantity typed over a leg with days of its own keeps them: the leg's
// expiry is changed by typing new days after the quantity, or "@" alone for
// the panel's.
void wqzOptionPayoffs::keepLegDays() {
    const int c = Grid1->Col();
    const QString typed = Grid1->Text();
    if ((c == col::CallQty || c == col::PutQty) && !typed.contains(legexpiry::mark)) {
        if (const int days = legexpiry::daysOf(edit_.restore).days; days > 0) {
            Grid1->setText(typed.trimmed() + u' ' + legexpiry::daysText(days));
        }
    }
}

void wqzOptionPayoffs::Grid1_KeyPress(int keyAscii) {
    if (!currentCellEditable()) {
        return;
    }
    workbench::gridediting::handleCellKeyPress(*Grid1, edit_.buffer, edit_.restore, keyAscii,
                                               clipboard_);
    if (keyAscii == platform::keys::charEnter) {
        keepLegDays();
        readPosition();
        // What was committed is what a later quantity keeps the days of.
        edit_.restore = Grid1->Text();
        recordChange(QStringLiteral("Typing"));
    }
    // Typing shows at once whether the row takes part; a number too large to
    // use is told when it is committed or pasted, not half-way through typing.
    showRowsTakingPart(keyAscii == platform::keys::charPaste);
    showSelection();
}

} // namespace workbench
