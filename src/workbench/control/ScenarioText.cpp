#include "ScenarioText.h"

#include "ValuesExport.h"
#include "platform/Numbers.h"
#include "workbench/model/PositionAnalysis.h"
#include "workbench/model/PositionColumns.h"

#include <QStringList>

#include <algorithm>
#include <cmath>

namespace workbench::scenariotext {

namespace {

constexpr int kLeastDecimals = 2;
constexpr int kMostDecimals = 6;

// The fewest decimals, from two, that write `price` without losing a digit.
int decimalsOf(double price) {
    for (int d = kLeastDecimals; d < kMostDecimals; ++d) {
        const double scale = std::pow(10.0, d);
        if (std::abs(price * scale - std::round(price * scale)) < 1e-6) {
            return d;
        }
    }
    return kMostDecimals;
}

QString separated(const scenarios::Table& t, payoff::DiagramKind kind, QChar between,
                  QString (*field)(const QString&)) {
    if (t.prices.empty()) {
        return QString();
    }
    QStringList header{QStringLiteral("Underlying")};
    for (int c = 0; c < int(t.daysLeft.size()); ++c) {
        header << columnTitle(t, kind, c);
    }
    header << QStringLiteral("Note");
    QString text;
    const auto line = [&](QStringList fields) {
        std::transform(fields.begin(), fields.end(), fields.begin(), field);
        text += fields.join(between) + QStringLiteral("\r\n");
    };
    line(header);
    for (int r = 0; r < int(t.prices.size()); ++r) {
        QStringList fields{priceText(t, r)};
        for (int c = 0; c < int(t.daysLeft.size()); ++c) {
            fields << valueText(t.value(r, c));
        }
        fields << rowNote(t, r);
        line(fields);
    }
    return text;
}

QString asIs(const QString& text) {
    return text;
}

} // namespace

QString kindWord(payoff::DiagramKind kind) {
    return kind == payoff::profitDiagram ? QStringLiteral("Profit") : QStringLiteral("Payoff");
}

QString daysWords(int days) {
    return days == 1 ? QStringLiteral("1 day") : QStringLiteral("%1 days").arg(days);
}

QString expiryWords(int firstExpiry) {
    return firstExpiry > 0 ? QStringLiteral("at the first expiry, day %1").arg(firstExpiry)
                           : QStringLiteral("at expiry");
}

QString shiftWords(double shift) {
    const int points = beforeexpiry::shiftPoints(shift);
    return (points > 0 ? QStringLiteral("+") : QString()) + QString::number(points) +
           (std::abs(points) == 1 ? QStringLiteral(" point") : QStringLiteral(" points"));
}

QString whatIfWords(const beforeexpiry::Inputs& inputs, int daysLeft) {
    QString words;
    if (inputs.afterEvent(daysLeft)) {
        words += QStringLiteral(" after the event");
    }
    if (inputs.volatilityShift != 0) {
        words += QStringLiteral(", volatility ") + shiftWords(inputs.volatilityShift);
    }
    return words;
}

QString whyNotValued(const beforeexpiry::RowNotValued& row) {
    const QString strike = columns::strikeText(float(row.strike));
    switch (row.why) {
    case beforeexpiry::NotValued::StrikeNotAboveZero:
        return QStringLiteral("row %1's strike, %2, is not above 0").arg(row.row).arg(strike);
    case beforeexpiry::NotValued::NoVolatility:
        return QStringLiteral("no volatility prices row %1's options").arg(row.row);
    case beforeexpiry::NotValued::BeyondTheModel:
        break;
    }
    return QStringLiteral("the model cannot value row %1's strike of %2").arg(row.row).arg(strike);
}

namespace {

// When a column's values hold, to follow its value: "at expiry", "with 30
// days left", "with 10 days left, volatility -10 points".
QString whenOf(const scenarios::Table& table, int column) {
    const int days = table.daysLeft[std::size_t(column)];
    QString when = days == 0 ? expiryWords(table.firstExpiry)
                             : QStringLiteral("with %1 left").arg(daysWords(days));
    if (!table.shiftPoints.empty()) {
        when += QStringLiteral(", volatility ") +
                shiftWords(table.shiftPoints[std::size_t(column)] / 100.0);
    }
    return when;
}

} // namespace

QString columnHeader(const scenarios::Table& table, int column) {
    if (!table.shiftPoints.empty()) {
        return shiftWords(table.shiftPoints[std::size_t(column)] / 100.0);
    }
    const int days = table.daysLeft[std::size_t(column)];
    return days != 0               ? daysWords(days)
           : table.firstExpiry > 0 ? QStringLiteral("First expiry")
                                   : QStringLiteral("Expiry");
}

QString columnTitle(const scenarios::Table& table, payoff::DiagramKind kind, int column) {
    return kindWord(kind) + u' ' + whenOf(table, column);
}

QString priceText(const scenarios::Table& table, int row) {
    int decimals = kLeastDecimals;
    for (const double price : table.prices) {
        decimals = std::max(decimals, decimalsOf(price));
    }
    const QString pattern = QStringLiteral("####0.") + QString(decimals, u'0');
    return platform::numbers::format(table.prices[std::size_t(row)], pattern);
}

QString valueText(double value) {
    return std::isfinite(value) ? analysis::money(value) : QString();
}

QString rowNote(const scenarios::Table& table, int row) {
    QStringList notes;
    if (row == table.todayRow) {
        notes << QStringLiteral("Today's price");
    }
    for (const scenarios::BreakEven& b : table.breakEvens) {
        if (b.row == row) {
            notes << QStringLiteral("Break-even %1").arg(analysis::money(b.price));
        }
    }
    return notes.join(QStringLiteral("; "));
}

QString cellText(const scenarios::Table& table, payoff::DiagramKind kind, int row, int column) {
    const QString when = whenOf(table, column);
    const double value = table.value(row, column);
    const QString price = priceText(table, row);
    if (!std::isfinite(value)) {
        return QStringLiteral("The model cannot value the position at %1 %2").arg(price, when);
    }
    return QStringLiteral("%1 %2 at %3 %4").arg(kindWord(kind), valueText(value), price, when);
}

QString tabSeparated(const scenarios::Table& table, payoff::DiagramKind kind) {
    return separated(table, kind, u'\t', &asIs);
}

QString commaSeparated(const scenarios::Table& table, payoff::DiagramKind kind) {
    return separated(table, kind, u',', &valuesexport::csvField);
}

QString note(const scenarios::Table& table, payoff::DiagramKind kind) {
    if (table.prices.empty()) {
        return QStringLiteral("The diagram's price range is too narrow to list prices in.");
    }
    QStringList lines{
        table.shiftPoints.empty()
            ? QStringLiteral("%1 at each price with the days left to expiry.").arg(kindWord(kind))
            : QStringLiteral("%1 at each price with %2 left, by the points added to every "
                             "option's volatility.")
                  .arg(kindWord(kind), daysWords(table.daysLeft.front()))};
    QStringList marks;
    if (table.todayRow >= 0) {
        marks << QStringLiteral("%1 today's price").arg(kTodayMark);
    }
    if (!table.breakEvens.empty()) {
        marks << QStringLiteral("%1 nearest a break-even").arg(kBreakEvenMark);
    }
    if (!marks.isEmpty()) {
        lines << marks.join(QStringLiteral(", ")) + u'.';
    }
    if (!table.notValued.empty()) {
        QStringList why;
        for (const beforeexpiry::RowNotValued& row : table.notValued) {
            why << whyNotValued(row);
        }
        lines << (table.shiftPoints.empty()
                      ? QStringLiteral("Only the expiry column is filled: %1.")
                      : QStringLiteral("No column is filled: %1."))
                     .arg(why.join(QStringLiteral("; ")));
    }
    return lines.join(u' ');
}

} // namespace workbench::scenariotext
