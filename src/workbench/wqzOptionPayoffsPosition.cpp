// Reading the position from the grid, the position commands and the exchange
// of option data.
#include "wqzOptionPayoffs.h"

#include "ExchangeText.h"
#include "GridEditing.h"
#include "PositionColumns.h"
#include "platform/EventPump.h"
#include "platform/KeyCodes.h"
#include "platform/Numbers.h"
#include "platform/PictureBox.h"
#include "services/ReportError.h"

#include <QLabel>
#include <QLineEdit>

namespace workbench {

namespace {
constexpr std::int16_t statusDone = 0;
constexpr std::int16_t statusFailed = -1;

namespace col = workbench::columns;

} // namespace

void wqzOptionPayoffs::followGridRows() {
    position_.setRowCount(Grid1->Rows() - 1);
}

void wqzOptionPayoffs::readQuotes() {
    using platform::numbers::leadingNumber;
    using platform::numbers::single;
    followGridRows();
    for (int r = 1; r <= position_.rowCount(); ++r) {
        const QString strike = Grid1->TextMatrix(r, col::Strike);
        position_.takesPart[std::size_t(r)] = platform::numbers::hasLeadingNumber(strike);
        position_.strike[r] = single(leadingNumber(strike));
        position_.callPrice[r] = single(leadingNumber(Grid1->TextMatrix(r, col::CallPrice)));
        position_.putPrice[r] = single(leadingNumber(Grid1->TextMatrix(r, col::PutPrice)));
    }
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
            Grid1->setTextMatrix(r, col::PutQty, format(position_.putQty[r], col::quantityFormat));
            Grid1->setTextMatrix(r, col::CallQty,
                                 format(position_.callQty[r], col::quantityFormat));
        }
        // Strikes and premiums are taken as shown and not rewritten.
        readQuotes();
        // A changed text moves the selection to the underlying.
        txtUnderlyingQty->setText(format(position_.underlyingQty, col::quantityFormat));
        return statusDone;
    } catch (const platform::RunTimeError& error) {
        services::errors::reportError(error);
        return statusFailed;
    }
}

void wqzOptionPayoffs::InvertPosition() {
    using platform::numbers::format;
    using platform::numbers::leadingNumber;
    using platform::numbers::single;
    try {
        position_.underlyingQty = single(leadingNumber(txtUnderlyingQty->text()));
        // The box shows the negated value; the plot below reads it back.
        txtUnderlyingQty->setText(format(-position_.underlyingQty, col::quantityFormat));
        followGridRows();
        for (int r = 1; r <= position_.rowCount(); ++r) {
            position_.putQty[r] = single(-leadingNumber(Grid1->TextMatrix(r, col::PutQty)));
            position_.callQty[r] = single(-leadingNumber(Grid1->TextMatrix(r, col::CallQty)));
            Grid1->setTextMatrix(r, col::PutQty, format(position_.putQty[r], col::quantityFormat));
            Grid1->setTextMatrix(r, col::CallQty,
                                 format(position_.callQty[r], col::quantityFormat));
        }
    } catch (const platform::RunTimeError& error) {
        // Rows already inverted stay inverted; nothing is plotted.
        services::errors::reportError(error);
        return;
    }
    cmdPlot_Click();
}

void wqzOptionPayoffs::cmdClear_Click() {
    pbox->clear();
}

void wqzOptionPayoffs::cmdRestart_Click() {
    followGridRows();
    for (int r = 1; r <= position_.rowCount(); ++r) {
        Grid1->setTextMatrix(r, col::CallQty, QString());
        Grid1->setTextMatrix(r, col::PutQty, QString());
        position_.putQty[r] = 0;
        position_.callQty[r] = 0;
    }
    position_.underlyingQty = 0;
    txtUnderlyingQty->setText(QString());
    pbox->clear();
}

void wqzOptionPayoffs::CopyOptionData() {
    workbench::gridediting::copyGridSelection(*Grid1, clipboard_);
}

void wqzOptionPayoffs::pasteData(const QString& strPaste) {
    // Every step runs even when one before it failed; nothing is reported.
    QStringList pieces;
    int n = 0;
    platform::skipOnError([&] {
        pieces = workbench::exchangetext::splitQuoteLines(strPaste);
        n = platform::numbers::toInteger(double(pieces.size()) - 1);
    });
    platform::skipOnError([&] { Grid1->Clear(); });
    platform::skipOnError([&] { Grid1->setCols(col::count); });
    // An empty text asks for no rows at all; the header row stays.
    platform::skipOnError([&] { Grid1->setRows(std::max(n + 1, 1)); });
    platform::skipOnError([&] { Grid1->setFixedCols(0); });
    platform::skipOnError([&] { Grid1->setFixedRows(1); });
    for (int c = 0; c < col::count; ++c) {
        platform::skipOnError([&] { Grid1->setTextMatrix(0, c, col::headings[c]); });
    }
    for (int i = 0; i < n; ++i) {
        QString line = pieces.value(i);
        platform::skipOnError(
            [&] { Grid1->setTextMatrix(i + 1, col::CallQty, QStringLiteral("0")); });
        platform::skipOnError([&] {
            Grid1->setTextMatrix(i + 1, col::CallPrice, workbench::exchangetext::takeField(line));
        });
        platform::skipOnError([&] {
            Grid1->setTextMatrix(i + 1, col::Strike, workbench::exchangetext::takeField(line));
        });
        platform::skipOnError(
            [&] { Grid1->setTextMatrix(i + 1, col::PutQty, QStringLiteral("0")); });
        platform::skipOnError([&] {
            Grid1->setTextMatrix(i + 1, col::PutPrice, workbench::exchangetext::takeField(line));
        });
    }
    platform::eventPump().doEvents();
}

// ---- the position grid's events ----------------------------------------------

bool wqzOptionPayoffs::currentCellEditable() const {
    const int col = Grid1->Col();
    return Grid1->Row() != 0 && (col == col::CallQty || col == col::PutQty);
}

void wqzOptionPayoffs::Grid1_Click() {
    const int row = Grid1->Row();
    if (row == 0) {
        return;
    }
    // The caption shows the strike as the grid shows it at the time of the click.
    const int col = Grid1->Col();
    if (col == col::CallQty || col == col::CallPrice) {
        selCaption = QStringLiteral("Call/") + Grid1->TextMatrix(row, col::Strike);
        selCallRow = platform::numbers::toInteger(row);
        selPutRow = -1;
    } else if (col == col::PutPrice || col == col::PutQty) {
        selCaption = QStringLiteral("Put/") + Grid1->TextMatrix(row, col::Strike);
        selCallRow = -1;
        selPutRow = platform::numbers::toInteger(row);
    }
    lblOption->setText(selCaption);
}

void wqzOptionPayoffs::Grid1_RowColChange() {
    if (!currentCellEditable()) {
        return;
    }
    // The first character typed replaces the cell's old text.
    editRestore = Grid1->Text();
    workbench::exchangetext::clearText(editBuffer);
}

void wqzOptionPayoffs::Grid1_DblClick() {
    if (!currentCellEditable()) {
        return;
    }
    editRestore = editBuffer;
    workbench::gridediting::beginCellEdit(*Grid1, editBuffer);
}

void wqzOptionPayoffs::Grid1_KeyDown(int keyCode, int shift) {
    if (currentCellEditable()) {
        workbench::gridediting::handleCellKeyDown(*Grid1, editBuffer, keyCode, shift);
    }
}

void wqzOptionPayoffs::Grid1_KeyPress(int keyAscii) {
    if (!currentCellEditable()) {
        return;
    }
    workbench::gridediting::handleCellKeyPress(*Grid1, editBuffer, editRestore, keyAscii,
                                               clipboard_);
    if (keyAscii == platform::keys::charEnter) {
        readPosition();
    }
}

} // namespace workbench
