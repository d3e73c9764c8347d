// The strikes and premiums of the position grid: reading them, showing which
// rows take part, and loading a table of quotes.
#include "wqzOptionPayoffs.h"

#include "platform/Dialogs.h"
#include "platform/EventPump.h"
#include "platform/FailureGuard.h"
#include "platform/Numbers.h"
#include "workbench/model/ExchangeText.h"
#include "workbench/model/LegExpiry.h"
#include "workbench/model/PositionColumns.h"
#include "workbench/model/Strategies.h"

#include <QLabel>

#include <algorithm>
#include <optional>
#include <vector>

namespace workbench {

namespace {

namespace col = workbench::columns;
using platform::numbers::leadingNumber;
using platform::numbers::single;

// Rows that take no part read as grey, like anything else that is switched off.
const QColor kMutedText(128, 128, 128);
// A cell only partly a number is shaded as a refused box is.
const QColor kRefusedBack(0xF8, 0xD7, 0xDA);

// A strike that is no number, as its message names it.
QString noNumberEntry(int row, const QString& strike) {
    return QStringLiteral("row %1: %2").arg(row).arg(strike);
}

// What is found now and was not told before, for a message once per cell.
// Without `report` nothing is told: what has been mended is forgotten, and
// what is new waits for the next read that reports.
QStringList newlyFound(QStringList& told, const QStringList& now, bool report) {
    if (!report) {
        told.removeIf([&](const QString& cell) { return !now.contains(cell); });
        return {};
    }
    QStringList fresh;
    for (const QString& cell : now) {
        if (!told.contains(cell)) {
            fresh << cell;
        }
    }
    told = now;
    return fresh;
}

// What the leading-number rule made of a cell, as its tooltip says it.
QString readAs(const QString& text) {
    try {
        return QString::number(double(single(leadingNumber(text))), 'g', 7);
    } catch (const platform::RunTimeError&) {
        return QStringLiteral("a number too large to use");
    }
}

const QString kNoQuotes = QStringLiteral(
    "The clipboard holds no option quotes.  Paste Option Data expects one strike a line: the "
    "call premium, the strike and the put premium, separated by tabs as a spreadsheet copies "
    "them, or whole rows of the position grid (Call Qty, Call Price, Strike, Put Qty, Put "
    "Price).");

// What the evaluation can take from one row of the grid.
struct RowQuotes {
    // The strike cell holds a number.
    bool hasStrike = false;
    // Strike, call premium and put premium; empty where the number is beyond
    // a 32-bit float.
    std::optional<float> strike, call, put;
    // The columns whose number is beyond a 32-bit float.
    QList<int> tooLarge;

    bool takesPart() const { return hasStrike && tooLarge.isEmpty(); }

    // Why row r takes no part, ending with what follows from it; empty when
    // it takes part.
    QString whyNot(int r, const QString& so) const {
        if (!tooLarge.isEmpty()) {
            return QStringLiteral("Row %1 holds a number too large to use, so %2.").arg(r).arg(so);
        }
        if (!hasStrike) {
            return QStringLiteral("Row %1 has no strike, so %2.").arg(r).arg(so);
        }
        return QString();
    }
};

std::optional<float> quoteValue(const QString& text) {
    try {
        return single(leadingNumber(text));
    } catch (const platform::RunTimeError&) {
        return std::nullopt;
    }
}

RowQuotes quotesOf(const platform::FlexGrid& grid, int r) {
    RowQuotes q;
    const QString strike = grid.TextMatrix(r, col::Strike);
    q.hasStrike = platform::numbers::hasLeadingNumber(strike);
    q.strike = quoteValue(strike);
    q.call = quoteValue(grid.TextMatrix(r, col::CallPrice));
    q.put = quoteValue(grid.TextMatrix(r, col::PutPrice));
    const std::pair<int, bool> fits[] = {
        {col::CallPrice, q.call.has_value()},
        {col::Strike, q.strike.has_value()},
        {col::PutPrice, q.put.has_value()},
    };
    for (const auto& [c, ok] : fits) {
        if (!ok) {
            q.tooLarge << c;
        }
    }
    return q;
}

} // namespace

// Strikes and premiums as the grid shows them; with `rewrite` they are
// written back as the grid starts with them. A row whose strike is no number,
// or that holds a number beyond a 32-bit float, takes no part and keeps its
// text.
void wqzOptionPayoffs::readQuotes(bool rewrite) {
    followGridRows();
    for (int r = 1; r <= position_.rowCount(); ++r) {
        const RowQuotes q = quotesOf(*Grid1, r);
        position_.takesPart[std::size_t(r)] = q.takesPart();
        position_.strike[r] = q.takesPart() ? *q.strike : 0;
        position_.callPrice[r] = q.takesPart() ? *q.call : 0;
        position_.putPrice[r] = q.takesPart() ? *q.put : 0;
        if (!rewrite || !q.takesPart()) {
            continue;
        }
        // Cells wholly a number are written as the grid writes them; the
        // rest keep what was typed, marked by showRowsTakingPart.
        const std::pair<int, QString> cells[] = {
            {col::Strike, col::strikeText(*q.strike)},
            {col::CallPrice, platform::numbers::format(*q.call, col::premiumFormat)},
            {col::PutPrice, platform::numbers::format(*q.put, col::premiumFormat)}};
        for (const auto& [c, written] : cells) {
            if (platform::numbers::unreadRest(Grid1->TextMatrix(r, c)).isEmpty()) {
                Grid1->setTextMatrix(r, c, written);
            }
        }
        // What the grid shows is what the diagram uses.
        position_.strike[r] = single(leadingNumber(Grid1->TextMatrix(r, col::Strike)));
        position_.callPrice[r] = single(leadingNumber(Grid1->TextMatrix(r, col::CallPrice)));
        position_.putPrice[r] = single(leadingNumber(Grid1->TextMatrix(r, col::PutPrice)));
    }
    showRowsTakingPart(true);
}

// Greys the rows that take no part and says why in their tooltips. With
// `report`, numbers too large to use that were not reported before are.
void wqzOptionPayoffs::showRowsTakingPart(bool report) {
    QStringList tooLarge;
    QStringList noNumber;
    for (int r = 1; r < Grid1->Rows(); ++r) {
        const RowQuotes q = quotesOf(*Grid1, r);
        for (const int c : q.tooLarge) {
            tooLarge << QStringLiteral("row %1, %2: %3")
                            .arg(r)
                            .arg(col::headings[std::size_t(c)], Grid1->TextMatrix(r, c));
        }
        if (!q.hasStrike && !Grid1->TextMatrix(r, col::Strike).trimmed().isEmpty()) {
            noNumber << noNumberEntry(r, Grid1->TextMatrix(r, col::Strike));
        }
        const QString why = q.whyNot(r, QStringLiteral("it takes no part in the diagram"));
        for (int c = 0; c < col::count; ++c) {
            const QString typed = Grid1->TextMatrix(r, c);
            // A quantity may carry its leg's days ("-1 @60d"), or days it
            // cannot take, which are refused as a box refuses a number.
            const bool quantity = c == col::CallQty || c == col::PutQty;
            const QString refusedDays = quantity ? legexpiry::daysOf(typed).refusal : QString();
            const QString rest = quantity && legexpiry::wholeQuantity(typed)
                                     ? QString()
                                     : platform::numbers::unreadRest(typed);
            // Marked as a refused box is: what was read, and what was not.
            const QString misread =
                !refusedDays.isEmpty() ? refusedDays
                : rest.isEmpty() || (c == col::Strike && !q.hasStrike)
                    ? QString()
                    : QStringLiteral("Read as %1: the rest, \"%2\", is not a number.")
                          .arg(readAs(typed), rest);
            Grid1->setCellForeColor(r, c, why.isEmpty() ? QColor() : kMutedText);
            Grid1->setCellBackColor(r, c, rest.isEmpty() ? QColor() : kRefusedBack);
            Grid1->setCellToolTip(r, c, misread.isEmpty() ? why : misread + u' ' + why);
        }
    }
    const auto tell = [](const QString& what, const QStringList& cells, const QString& until) {
        if (!cells.isEmpty()) {
            platform::dialogs().msgBox(what + QStringLiteral(":\n\n") + cells.join(u'\n') +
                                           QStringLiteral("\n\nTheir rows take no part in the "
                                                          "diagram until ") +
                                           until,
                                       platform::Dialogs::Buttons::Ok,
                                       platform::Dialogs::Icon::None);
        }
    };
    tell(QStringLiteral("These numbers are too large to use"),
         newlyFound(tooLargeReported_, tooLarge, report), QStringLiteral("they are changed."));
    tell(QStringLiteral("These strikes are not numbers"),
         newlyFound(noNumberReported_, noNumber, report),
         QStringLiteral("a number is typed there."));
}

// Why the strategy cannot be loaded on the grid's rows; empty when it can.
QString wqzOptionPayoffs::legsMissing(const QString& name) const {
    const workbench::Strategy* s = workbench::findStrategy(name);
    if (!s) {
        return QString();
    }
    std::vector<int> rows;
    for (const auto* legs : {&s->calls, &s->puts}) {
        for (const workbench::StrategyLeg& leg : *legs) {
            rows.push_back(leg.row);
        }
    }
    std::sort(rows.begin(), rows.end());
    for (const int r : rows) {
        if (r >= Grid1->Rows()) {
            return QStringLiteral("The grid has no row %1, so %2 cannot be loaded.")
                .arg(r)
                .arg(name);
        }
        const QString why =
            quotesOf(*Grid1, r).whyNot(r, name + QStringLiteral(" cannot be loaded"));
        if (!why.isEmpty()) {
            return why;
        }
    }
    return QString();
}

void wqzOptionPayoffs::showSelection() {
    const int rows = Grid1->Rows();
    if (selPutRow == -1 && selCallRow > 0 && selCallRow < rows) {
        selCaption = QStringLiteral("Call/") + Grid1->TextMatrix(selCallRow, col::Strike);
    } else if (selCallRow == -1 && selPutRow > 0 && selPutRow < rows) {
        selCaption = QStringLiteral("Put/") + Grid1->TextMatrix(selPutRow, col::Strike);
    } else {
        selCallRow = -1;
        selPutRow = -1;
        selCaption = QStringLiteral("Underlying");
    }
    lblOption->setText(selCaption);
}

void wqzOptionPayoffs::pasteData(const QString& strPaste) {
    const LastPlot::Change change(*plot_);
    QList<std::array<QString, col::count>> rows;
    for (const QString& line : exchangetext::quoteLines(strPaste)) {
        rows << exchangetext::quoteRow(line);
    }
    exchangetext::readNumbers(rows);
    // Text that is not a quote table (a sentence, the grid's header alone)
    // would otherwise wipe the student's quotes.
    const bool anyStrike = std::any_of(rows.cbegin(), rows.cend(), [](const auto& row) {
        return platform::numbers::hasLeadingNumber(row[col::Strike]);
    });
    if (!anyStrike) {
        platform::dialogs().msgBox(kNoQuotes, platform::Dialogs::Buttons::Ok,
                                   platform::Dialogs::Icon::None);
        return;
    }
    // What the grid could not hold, or a file could not keep, changes nothing.
    const bool tooLong = std::any_of(rows.cbegin(), rows.cend(), [](const auto& row) {
        return std::any_of(row.cbegin(), row.cend(),
                           [](const QString& text) { return text.size() > col::longestText; });
    });
    if (rows.size() > col::mostRows || tooLong) {
        platform::dialogs().msgBox(
            tooLong ? QStringLiteral("The table holds a quote of more than %1 characters; the "
                                     "grid keeps none that long. Nothing was pasted.")
                          .arg(col::longestText)
                    : QStringLiteral("The table has %1 lines of quotes; the grid takes at most "
                                     "%2. Nothing was pasted.")
                          .arg(rows.size())
                          .arg(col::mostRows),
            platform::Dialogs::Buttons::Ok, platform::Dialogs::Icon::Exclamation);
        return;
    }
    recordTyping();
    // Every step runs even when one before it failed; nothing is reported.
    int n = 0;
    platform::skipOnError([&] { n = platform::numbers::toInteger(double(rows.size())); });
    platform::skipOnError([&] { Grid1->Clear(); });
    platform::skipOnError([&] { Grid1->setCols(col::count); });
    platform::skipOnError([&] { Grid1->setRows(n + 1); });
    platform::skipOnError([&] { Grid1->setFixedCols(0); });
    platform::skipOnError([&] { Grid1->setFixedRows(1); });
    for (int c = 0; c < col::count; ++c) {
        platform::skipOnError([&] { Grid1->setTextMatrix(0, c, col::headings[std::size_t(c)]); });
    }
    for (int i = 0; i < n; ++i) {
        for (int c = 0; c < col::count; ++c) {
            platform::skipOnError([&] { Grid1->setTextMatrix(i + 1, c, rows[i][std::size_t(c)]); });
        }
    }
    platform::skipOnError([&] { fitGridColumns(); });
    // Lines read only in part (a header line among them) are told in one
    // message, strikes that are no number included: each such cell is
    // marked with what was read of it.
    QStringList unread;
    noNumberReported_.clear();
    for (int i = 0; i < n; ++i) {
        const auto& row = rows[i];
        const auto misread = [&](int c) {
            return c == col::CallQty || c == col::PutQty
                       ? !legexpiry::wholeQuantity(row[std::size_t(c)])
                       : !platform::numbers::unreadRest(row[std::size_t(c)]).isEmpty();
        };
        if (misread(col::CallQty) || misread(col::CallPrice) || misread(col::Strike) ||
            misread(col::PutQty) || misread(col::PutPrice)) {
            unread << QString::number(i + 1);
        }
        if (!platform::numbers::hasLeadingNumber(row[col::Strike]) &&
            !row[col::Strike].trimmed().isEmpty()) {
            noNumberReported_ << noNumberEntry(i + 1, row[col::Strike]);
        }
    }
    showRowsTakingPart(true);
    if (!unread.isEmpty()) {
        platform::dialogs().msgBox(
            QStringLiteral("Not every number of %1 %2 could be read: each such cell is marked, "
                           "and its tooltip says what was read of it.")
                .arg(unread.size() == 1 ? QStringLiteral("line") : QStringLiteral("lines"),
                     unread.join(QStringLiteral(", "))),
            platform::Dialogs::Buttons::Ok, platform::Dialogs::Icon::Exclamation);
    }
    showSelection();
    recordChange(QStringLiteral("Paste"));
    platform::eventPump().doEvents();
}

} // namespace workbench
