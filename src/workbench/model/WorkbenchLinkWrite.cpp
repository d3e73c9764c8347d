// The link that shows the position the workbench holds again: what the
// student copies to hand a position to somebody else as a line of text.
#include "WorkbenchLink.h"

#include "LegExpiry.h"

#include "PositionColumns.h"
#include "platform/Numbers.h"
#include "platform/RunTimeError.h"

#include <QStringList>
#include <QUrl>

#include <cmath>
#include <tuple>

namespace workbench::links {

namespace {

namespace col = workbench::columns;

// The largest quantity a leg may have; the reader's limit.
constexpr float kLargestQuantity = 1000;
constexpr int kMostDecimals = 4;

// A cell or a box read as the workbench reads it; a number beyond a float
// raises the run-time error.
float numberIn(const QString& text) {
    return platform::numbers::single(platform::numbers::leadingNumber(text));
}

// The market's boxes keep four decimals, however the number was typed.
float boxNumber(const QString& text) {
    const double scale = std::pow(10.0, market::decimals);
    return platform::numbers::single(std::round(platform::numbers::leadingNumber(text) * scale) /
                                     scale);
}

// Percentages are kept to the hundredth, as the panel shows them.
double hundredths(double fraction) {
    return std::round(fraction * 100 * 100) / 100 / 100;
}

// The shortest text of at most four decimals that reads back as `v`; the
// reader then refuses what none gives back.
QString decimalText(float v) {
    for (int d = 0; d < kMostDecimals; ++d) {
        const QString text = QString::number(double(v), 'f', d);
        if (float(text.toDouble()) == v) {
            return text;
        }
    }
    return QString::number(double(v), 'f', kMostDecimals);
}

QString percentText(double fraction) {
    const double percent = std::round(fraction * 100 * 100) / 100;
    for (int d = 0; d < 2; ++d) {
        const QString text = QString::number(percent, 'f', d);
        if (text.toDouble() / 100 == fraction) {
            return text;
        }
    }
    return QString::number(percent, 'f', 2);
}

QString legText(const Leg& leg) {
    const QString what = leg.kind == Leg::Kind::Underlying ? QStringLiteral("u")
                         : leg.kind == Leg::Kind::Call     ? QStringLiteral("c%1").arg(leg.row)
                                                           : QStringLiteral("p%1").arg(leg.row);
    return what + u':' + decimalText(leg.quantity);
}

QString quantityTooLarge(const QString& where, float quantity) {
    return QStringLiteral("A link carries quantities from -%1 to %1; %2 is %3.")
        .arg(double(kLargestQuantity))
        .arg(where, decimalText(quantity));
}

} // namespace

Sharing shareOf(const document::Document& shown) {
    if (shown.rows.isEmpty()) {
        return {std::nullopt, QStringLiteral("The grid has no rows of options to put in a link.")};
    }
    Load load;
    load.diagram = shown.profit ? payoff::profitDiagram : payoff::payoffDiagram;
    try {
        load.legs.push_back({Leg::Kind::Underlying, 0, numberIn(shown.underlyingQty)});
        if (std::abs(load.legs.back().quantity) > kLargestQuantity) {
            return {std::nullopt, quantityTooLarge(QStringLiteral("the underlying's quantity"),
                                                   load.legs.back().quantity)};
        }
        std::vector<Row> rows;
        for (qsizetype i = 0; i < shown.rows.size(); ++i) {
            const document::Row& cells = shown.rows[i];
            Row row;
            // A row without a strike takes no part, whatever its premiums.
            if (platform::numbers::hasLeadingNumber(cells[col::Strike])) {
                row.strike = numberIn(cells[col::Strike]);
            }
            row.call = numberIn(cells[col::CallPrice]);
            row.put = numberIn(cells[col::PutPrice]);
            row.callDays = legexpiry::daysOf(cells[col::CallQty]).days;
            row.putDays = legexpiry::daysOf(cells[col::PutQty]).days;
            rows.push_back(row);
            const int r = int(i) + 1;
            for (const auto& [kind, column, name] :
                 {std::tuple{Leg::Kind::Call, col::CallQty, "call"},
                  std::tuple{Leg::Kind::Put, col::PutQty, "put"}}) {
                const float quantity = numberIn(cells[std::size_t(column)]);
                if (std::abs(quantity) > kLargestQuantity) {
                    return {std::nullopt, quantityTooLarge(QStringLiteral("row %1's %2 quantity")
                                                               .arg(r)
                                                               .arg(QString::fromLatin1(name)),
                                                           quantity)};
                }
                if (quantity != 0) {
                    load.legs.push_back({kind, r, quantity});
                }
            }
        }
        load.rows = std::move(rows);
        // The document keeps the boxes top, bottom, from, to.
        load.range = Range{numberIn(shown.range[2]), numberIn(shown.range[3]),
                           numberIn(shown.range[1]), numberIn(shown.range[0])};
        load.market.price = boxNumber(shown.underlyingPrice);
        load.market.costPerOption = boxNumber(shown.costPerOption);
        load.market.costPerUnit = boxNumber(shown.costPerUnit);
    } catch (const platform::RunTimeError&) {
        return {std::nullopt, QStringLiteral("The position holds a number too large to put in "
                                             "a link.")};
    }
    if (shown.beforeExpiry) {
        const beforeexpiry::Inputs& in = *shown.beforeExpiry;
        Market& m = load.market;
        m.daysToday = in.daysToday;
        m.daysLeft = in.daysLeft;
        m.rate = hundredths(in.rate);
        m.dividendYield = hundredths(in.dividendYield);
        m.american = in.american;
        m.implied = in.implied;
        m.volatility = hundredths(in.volatility);
        m.moreDaysLeft = in.moreDaysLeft;
        // Left out when there are none, as a link without them reads.
        if (in.volatilityShift != 0) {
            m.volatilityShift = in.volatilityShift;
        }
        if (in.eventDays > 0) {
            m.eventDays = in.eventDays;
            m.volatilityAfter = hundredths(in.volatilityAfter);
        }
    }
    return {load, QString()};
}

Writing write(const Load& load) {
    QStringList items;
    if (!load.strategy.isEmpty()) {
        items << QStringLiteral("strategy=") +
                     QString::fromUtf8(QUrl::toPercentEncoding(load.strategy));
    }
    if (load.rows) {
        QStringList rows;
        for (const Row& row : *load.rows) {
            const auto days = [](int d) { return d > 0 ? QString::number(d) : QString(); };
            rows << (row.strike ? decimalText(*row.strike) : QString()) + u':' +
                        decimalText(row.call) + u':' + decimalText(row.put) +
                        (row.callDays > 0 || row.putDays > 0
                             ? u':' + days(row.callDays) + u':' + days(row.putDays)
                             : QString());
        }
        items << QStringLiteral("rows=") + rows.join(u';');
    }
    if (load.strategy.isEmpty()) {
        QStringList legs;
        for (const Leg& leg : load.legs) {
            legs << legText(leg);
        }
        items << QStringLiteral("position=") + legs.join(u',');
    }
    if (const std::optional<Range>& r = load.range) {
        items << QStringLiteral("range=") + QStringList{decimalText(r->from), decimalText(r->to),
                                                        decimalText(r->bottom), decimalText(r->top)}
                                                .join(u':');
    }
    items << QStringLiteral("diagram=") + (load.diagram == payoff::profitDiagram
                                               ? QStringLiteral("profit")
                                               : QStringLiteral("payoff"));
    const Market& m = load.market;
    const auto add = [&](const char* key, const auto& value, auto text) {
        if (value) {
            items << QString::fromLatin1(key) + u'=' + text(*value);
        }
    };
    add("price", m.price, decimalText);
    add("costOption", m.costPerOption, decimalText);
    add("costUnit", m.costPerUnit, decimalText);
    const auto whole = [](int n) { return QString::number(n); };
    add("days", m.daysToday, whole);
    add("daysLeft", m.daysLeft, whole);
    add("rate", m.rate, percentText);
    add("dividend", m.dividendYield, percentText);
    add("exercise", m.american, [](bool american) {
        return american ? QStringLiteral("american") : QStringLiteral("european");
    });
    if (m.implied && *m.implied) {
        items << QStringLiteral("volatility=implied") +
                     (m.volatility ? u',' + percentText(*m.volatility) : QString());
    } else if (m.volatility) {
        items << QStringLiteral("volatility=") + percentText(*m.volatility);
    }
    add("dates", m.moreDaysLeft, [](const std::vector<int>& days) {
        QStringList list;
        for (const int d : days) {
            list << QString::number(d);
        }
        return list.isEmpty() ? QStringLiteral("none") : list.join(u',');
    });
    add("volShift", m.volatilityShift,
        [](double shift) { return QString::number(beforeexpiry::shiftPoints(shift)); });
    add("eventDays", m.eventDays, whole);
    add("volAfter", m.volatilityAfter, percentText);
    const QString link = scheme + QStringLiteral(":load?") + items.join(u'&');
    if (link.size() > longestLink) {
        return {QString(),
                QStringLiteral("It would take %L1 characters, and a link carries at most %L2. A "
                               "position file carries it whole.")
                    .arg(link.size())
                    .arg(longestLink),
                true};
    }
    // Only what reads back as this very load is written.
    const Reading reading = read(QUrl(link), col::mostRows);
    if (!reading.load) {
        return {QString(), reading.problem, false};
    }
    if (!(*reading.load == load)) {
        return {QString(),
                QStringLiteral("The position holds a number a link cannot carry exactly."), false};
    }
    return {link, QString(), false};
}

} // namespace workbench::links
