#include "PositionAnalysis.h"
#include "platform/Numbers.h"

#include <QStringList>

#include <cmath>

namespace workbench::analysis {

QString money(double value) {
    return platform::numbers::format(value, u"####0.00");
}

namespace {

// An amount that changes hands: which way it goes is said in words, so the
// number itself carries no sign. What shows as 0.00 goes neither way.
QString paidOrReceived(double amount) {
    const QString text = money(std::abs(amount));
    if (text == QStringLiteral("0.00")) {
        return text;
    }
    return text + (amount > 0 ? QStringLiteral(" paid") : QStringLiteral(" received"));
}

// A span in words. A single price reads bare in a list of break-evens and
// with "at" after an extreme's value ("8.50 at 50.00"); every other kind of
// span says how it runs.
QString spanText(const PriceSpan& s, bool pointNeedsAt) {
    if (s.from == 0 && s.isUnboundedAbove()) {
        return QStringLiteral("at every price");
    }
    if (s.isUnboundedAbove()) {
        return QStringLiteral("at or above ") + money(s.from);
    }
    if (s.isPoint()) {
        return (pointNeedsAt ? QStringLiteral("at ") : QString()) + money(s.from);
    }
    if (s.from == 0) {
        return QStringLiteral("at or below ") + money(s.to);
    }
    return QStringLiteral("from %1 to %2").arg(money(s.from), money(s.to));
}

// "a", "a and b", "a, b and c".
QString listText(const std::vector<PriceSpan>& spans, bool pointNeedsAt) {
    QStringList parts;
    for (const PriceSpan& s : spans) {
        parts << spanText(s, pointNeedsAt);
    }
    if (parts.size() < 2) {
        return parts.join(QString());
    }
    const QString lastPart = parts.takeLast();
    return parts.join(QStringLiteral(", ")) + QStringLiteral(" and ") + lastPart;
}

QString extremeText(const Extreme& e) {
    if (e.unlimited) {
        return QStringLiteral("unlimited as the price rises");
    }
    return money(e.value) + u' ' + listText(e.where, true);
}

} // namespace

QString describe(const Analysis& a) {
    // The profit diagram speaks of gains and losses; the payoff diagram only of
    // what the position is worth at expiry, so it keeps to "payoff". Values
    // keep their sign either way: a loss reads as a negative number.
    const bool profit = a.kind == payoff::profitDiagram;
    const QString zeros =
        a.breakEvens.empty() ? QStringLiteral("none") : listText(a.breakEvens, false);
    QStringList lines;
    lines << QStringLiteral("Net premium: ") + paidOrReceived(a.netPremium);
    lines << QStringLiteral("Underlying: ") + paidOrReceived(a.underlyingCost);
    lines << (profit ? QStringLiteral("Break-even: ") : QStringLiteral("Zero payoff: ")) + zeros;
    lines << (profit ? QStringLiteral("Maximum profit: ") : QStringLiteral("Maximum payoff: ")) +
                 extremeText(a.highest);
    lines << (profit ? QStringLiteral("Maximum loss: ") : QStringLiteral("Minimum payoff: ")) +
                 extremeText(a.lowest);
    lines << QStringLiteral("%1 at today's price %2: %3")
                 .arg(profit ? QStringLiteral("Profit") : QStringLiteral("Payoff"),
                      money(a.todayPrice), money(a.valueToday));
    return lines.join(u'\n');
}

} // namespace workbench::analysis
