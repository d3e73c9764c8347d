#include "PositionAnalysis.h"
#include "platform/Numbers.h"

#include <QStringList>

#include <cmath>
#include <functional>
#include <optional>

namespace workbench::analysis {

QString money(double value) {
    return platform::numbers::formatDecimal(value, u"####0.00");
}

namespace {

// Which side of 0 a value lies on as shown: 0 for one that shows as 0.00.
int shownSign(double value) {
    return money(value) == QStringLiteral("0.00") ? 0 : value > 0 ? 1 : -1;
}

// An amount that changes hands: which way it goes is said in words, so the
// number itself carries no sign. What shows as 0.00 goes neither way.
QString paidOrReceived(double amount) {
    const QString text = money(std::abs(amount));
    if (text == QStringLiteral("0.00")) {
        return text;
    }
    return text + (amount > 0 ? QStringLiteral(" paid") : QStringLiteral(" received"));
}

// How a price reads in a span: as itself, or as its distance from today's.
using PriceText = std::function<QString(double)>;

// A span in words. A single price reads bare in a list of break-evens and
// with "at" after an extreme's value ("8.50 at 50.00"); every other kind of
// span says how it runs.
QString spanText(const PriceSpan& s, bool pointNeedsAt, const PriceText& price) {
    if (s.from == 0 && s.isUnboundedAbove()) {
        return QStringLiteral("at every price");
    }
    if (s.isUnboundedAbove()) {
        return QStringLiteral("at or above ") + price(s.from);
    }
    if (s.isPoint()) {
        return (pointNeedsAt ? QStringLiteral("at ") : QString()) + price(s.from);
    }
    if (s.from == 0) {
        return QStringLiteral("at or below ") + price(s.to);
    }
    return QStringLiteral("from %1 to %2").arg(price(s.from), price(s.to));
}

// "a", "a and b", "a, b and c".
QString listText(const std::vector<PriceSpan>& spans, bool pointNeedsAt,
                 const PriceText& price = money) {
    QStringList parts;
    for (const PriceSpan& s : spans) {
        parts << spanText(s, pointNeedsAt, price);
    }
    if (parts.size() < 2) {
        return parts.join(QString());
    }
    const QString lastPart = parts.takeLast();
    return parts.join(QStringLiteral(", ")) + QStringLiteral(" and ") + lastPart;
}

// A value with where it is reached, or that it has no limit.
QString extremeText(const Extreme& e, double value) {
    if (e.unlimited) {
        return QStringLiteral("unlimited as the price rises");
    }
    return money(value) + u' ' + listText(e.where, true);
}

// The greatest gain (side 1) or loss (side -1) as an amount. A side the
// position never reaches is said to be none, with the extreme it does reach:
// a gain at every price has no loss to speak of, however small its least gain.
QString gainOrLossText(const Extreme& e, int side) {
    if (!e.unlimited && shownSign(e.value) == -side) {
        return QStringLiteral("none (the smallest %1 is %2)")
            .arg(side > 0 ? QStringLiteral("loss") : QStringLiteral("profit"),
                 extremeText(e, -side * e.value));
    }
    return extremeText(e, side * e.value);
}

// A price's distance from today's in percent, with its sign: "+7.00 %".
QString percentFrom(double price, double today) {
    const QString text =
        platform::numbers::formatDecimal((price - today) / today * 100, u"####0.00");
    return (text.startsWith(u'-') || text == QStringLiteral("0.00") ? text : u'+' + text) +
           QStringLiteral(" %");
}

// The greatest gain for each unit of the greatest loss, while both are
// limited and each is what its name says.
std::optional<QString> rewardToRisk(const Analysis& a) {
    if (a.highest.unlimited || a.lowest.unlimited || shownSign(a.highest.value) <= 0 ||
        shownSign(a.lowest.value) >= 0) {
        return std::nullopt;
    }
    return QStringLiteral("Reward to risk: %1 to 1").arg(money(a.highest.value / -a.lowest.value));
}

// The most the position can lose, against what it costs to open today: what
// a trader puts at stake. A position opened for a credit has no price paid to
// set it against.
QString capitalAtRisk(const Analysis& a) {
    if (a.lowest.unlimited) {
        return QStringLiteral("Capital at risk: unlimited");
    }
    if (shownSign(a.lowest.value) >= 0) {
        return QStringLiteral("Capital at risk: none");
    }
    const double loss = -a.lowest.value;
    const double price = a.netPremium + a.underlyingCost + a.tradingCosts;
    if (shownSign(price) > 0) {
        return QStringLiteral("Capital at risk: %1, %2 % of the %3 the position costs today")
            .arg(money(loss), platform::numbers::formatDecimal(loss / price * 100, u"####0.00"),
                 money(price));
    }
    if (shownSign(price) < 0) {
        return QStringLiteral("Capital at risk: %1 (the position is opened for a credit of %2)")
            .arg(money(loss), money(-price));
    }
    return QStringLiteral("Capital at risk: %1 (the position costs nothing to open)")
        .arg(money(loss));
}

} // namespace

QString describe(const Analysis& a) {
    // The profit diagram speaks of gains and losses, each an amount; the
    // payoff diagram only of what the position is worth at expiry, so it
    // keeps to "payoff" and its values keep their sign.
    const bool profit = a.kind == payoff::profitDiagram;
    const QString zeros =
        a.breakEvens.empty() ? QStringLiteral("none") : listText(a.breakEvens, false);
    QStringList lines;
    lines << QStringLiteral("Net premium: ") + paidOrReceived(a.netPremium);
    if (a.underlyingQty != 0) {
        lines << QStringLiteral("Underlying %1 at %2: %3")
                     .arg(a.underlyingQty > 0 ? QStringLiteral("bought") : QStringLiteral("sold"),
                          money(a.todayPrice), paidOrReceived(a.underlyingCost));
    }
    if (profit && shownSign(a.tradingCosts) != 0) {
        lines << QStringLiteral("Trading costs: ") + paidOrReceived(a.tradingCosts);
    }
    // Found numerically, to the cent, where legs live on past the first expiry.
    const QString found = a.firstExpiry > 0 ? QStringLiteral(" (to the cent)") : QString();
    lines << (profit ? QStringLiteral("Break-even") +
                           (found.isEmpty() ? QString() : QStringLiteral("s"))
                     : QStringLiteral("Zero payoff")) +
                 found + QStringLiteral(": ") + zeros;
    if (profit && !a.breakEvens.empty() && a.todayPrice > 0) {
        lines << QStringLiteral("Break-even from %1: ").arg(money(a.todayPrice)) +
                     listText(a.breakEvens, false, [today = a.todayPrice](double price) {
                         return percentFrom(price, today);
                     });
    }
    lines << (profit
                  ? QStringLiteral("Maximum profit: ") + gainOrLossText(a.highest, 1)
                  : QStringLiteral("Maximum payoff: ") + extremeText(a.highest, a.highest.value));
    lines << (profit ? QStringLiteral("Maximum loss: ") + gainOrLossText(a.lowest, -1)
                     : QStringLiteral("Minimum payoff: ") + extremeText(a.lowest, a.lowest.value));
    if (profit) {
        if (const std::optional<QString> ratio = rewardToRisk(a)) {
            lines << *ratio;
        }
        lines << capitalAtRisk(a);
    }
    // The value at expiry with the price where it is today, not a value today.
    lines << (a.firstExpiry > 0
                  ? QStringLiteral("At the first expiry, day %1, if the price stays at %2: %3")
                        .arg(a.firstExpiry)
                  : QStringLiteral("At expiry, if the price stays at %1: %2"))
                 .arg(money(a.todayPrice), money(a.valueToday));
    return lines.join(u'\n');
}

} // namespace workbench::analysis
