#include "WorkbenchLinkMarket.h"

#include "ExpiryInputs.h"
#include "PositionState.h"

#include <QRegularExpression>

#include <algorithm>
#include <cmath>
#include <functional>

namespace workbench::links::query {

namespace limits = beforeexpiry::limits;

// What a load may name besides its diagram and its strategy or position: the
// market it is shown in.
const QStringList keys = {
    QStringLiteral("price"),      QStringLiteral("dividend"), QStringLiteral("exercise"),
    QStringLiteral("days"),       QStringLiteral("daysLeft"), QStringLiteral("rate"),
    QStringLiteral("volatility"), QStringLiteral("dates"),    QStringLiteral("costOption"),
    QStringLiteral("costUnit"),   QStringLiteral("volShift"), QStringLiteral("eventDays"),
    QStringLiteral("volAfter")};

// A number as a page writes it: digits with at most `decimals` after one full
// stop, a minus sign at most. Nothing else that reads as a number elsewhere
// ("1e5", "nan", "+inf", "0x10") and nothing empty, so that a page means
// exactly what it shows.
std::optional<double> decimal(const QString& text, int decimals, double least, double most) {
    static const QRegularExpression form(
        QRegularExpression::anchoredPattern(QStringLiteral("-?\\d{1,7}(\\.(\\d+))?")));
    const QRegularExpressionMatch m = form.match(text);
    if (!m.hasMatch() || m.capturedLength(2) > decimals) {
        return std::nullopt;
    }
    const double value = text.toDouble();
    if (!(value >= least && value <= most)) {
        return std::nullopt;
    }
    return value;
}

// What the link sets of the market, or why it cannot, in words; only what it
// names is set.
QString readMarket(const QUrlQuery& query, Market& market) {
    QString problem;
    const auto value = [&](const QString& key) {
        return query.queryItemValue(key, QUrl::FullyDecoded);
    };
    const auto reject = [&](const QString& key, const QString& wanted) {
        problem =
            QStringLiteral("The link's %1 \"%2\" is not %3.").arg(key, value(key).left(40), wanted);
    };
    // The number the link gives for `key`, if it gives one that may stand.
    const auto number = [&](const QString& key, int decimals, double least, double most,
                            const QString& wanted) -> std::optional<double> {
        if (!problem.isEmpty() || !query.hasQueryItem(key)) {
            return std::nullopt;
        }
        const std::optional<double> v = decimal(value(key), decimals, least, most);
        if (!v) {
            reject(key, wanted);
        }
        return v;
    };
    const auto percent = [](double least, double most) {
        return QStringLiteral("a percentage from %1 to %2, with at most two decimals")
            .arg(least)
            .arg(most);
    };
    const auto days = [](int least, int most) {
        return QStringLiteral("a whole number of days from %1 to %2").arg(least).arg(most);
    };
    if (const auto price =
            number(QStringLiteral("price"), market::decimals, market::leastPrice, market::mostPrice,
                   QStringLiteral("a price above 0 and up to %1, with at most four decimals")
                       .arg(market::mostPrice, 0, 'f', 0))) {
        market.price = float(*price);
    }
    if (const auto dividend = number(
            QStringLiteral("dividend"), 2, limits::minDividendPercent, limits::maxDividendPercent,
            percent(limits::minDividendPercent, limits::maxDividendPercent))) {
        market.dividendYield = *dividend / 100;
    }
    if (const auto d =
            number(QStringLiteral("days"), 0, limits::minDaysToExpiry, limits::maxDaysToExpiry,
                   days(limits::minDaysToExpiry, limits::maxDaysToExpiry))) {
        market.daysToday = int(*d);
    }
    // Without days of its own the link leaves the days to expiry as they are,
    // and the workbench holds the days left to those.
    const int mostLeft = market.daysToday.value_or(limits::maxDaysToExpiry);
    if (const auto d = number(QStringLiteral("daysLeft"), 0, 0, mostLeft, days(0, mostLeft))) {
        market.daysLeft = int(*d);
    }
    if (const auto rate =
            number(QStringLiteral("rate"), 2, limits::minRatePercent, limits::maxRatePercent,
                   percent(limits::minRatePercent, limits::maxRatePercent))) {
        market.rate = *rate / 100;
    }
    if (const auto shift = number(QStringLiteral("volShift"), 0, limits::minVolatilityShiftPoints,
                                  limits::maxVolatilityShiftPoints,
                                  QStringLiteral("a whole number of points from %1 to %2")
                                      .arg(limits::minVolatilityShiftPoints)
                                      .arg(limits::maxVolatilityShiftPoints))) {
        market.volatilityShift = *shift / 100;
    }
    if (const auto d = number(QStringLiteral("eventDays"), 0, limits::minEventDays, mostLeft,
                              days(limits::minEventDays, mostLeft))) {
        market.eventDays = int(*d);
    }
    if (const auto after =
            number(QStringLiteral("volAfter"), 2, limits::minVolatilityPercent,
                   limits::maxVolatilityPercent,
                   percent(limits::minVolatilityPercent, limits::maxVolatilityPercent))) {
        market.volatilityAfter = *after / 100;
    }
    const auto cost = [&](const QString& key, std::optional<float>& held) {
        if (const auto c = number(key, market::decimals, 0, market::mostCost,
                                  QStringLiteral("a cost from 0 to %1, with at most four decimals")
                                      .arg(market::mostCost, 0, 'f', 0))) {
            held = float(*c);
        }
    };
    cost(QStringLiteral("costOption"), market.costPerOption);
    cost(QStringLiteral("costUnit"), market.costPerUnit);
    // As the panel's box reads them: each date once, at most as many as the
    // diagram draws.
    const QString dates = QStringLiteral("dates");
    if (problem.isEmpty() && value(dates) == u"none") {
        market.moreDaysLeft = std::vector<int>();
    } else if (problem.isEmpty() && query.hasQueryItem(dates)) {
        std::vector<int> more;
        bool read = true;
        for (const QString& d : value(dates).split(u',')) {
            const std::optional<double> left = decimal(d, 0, 1, mostLeft);
            read = read && left;
            if (left && std::find(more.cbegin(), more.cend(), int(*left)) == more.cend()) {
                more.push_back(int(*left));
            }
        }
        if (!read || int(more.size()) > limits::maxMoreDates) {
            reject(dates, QStringLiteral("a list of at most %1 whole numbers of days from 1 to %2")
                              .arg(limits::maxMoreDates)
                              .arg(mostLeft));
        }
        std::sort(more.begin(), more.end(), std::greater<>());
        market.moreDaysLeft = more;
    }
    const QString exercise = QStringLiteral("exercise");
    if (problem.isEmpty() && query.hasQueryItem(exercise)) {
        if (value(exercise) != u"american" && value(exercise) != u"european") {
            reject(exercise, QStringLiteral("\"american\" or \"european\""));
        }
        market.american = value(exercise) == u"american";
    }
    const QString volatility = QStringLiteral("volatility");
    const QString implied = QStringLiteral("implied");
    const QString impliedOr = implied + u',';
    if (problem.isEmpty() && value(volatility) == implied) {
        market.implied = true;
    } else if (problem.isEmpty() && value(volatility).startsWith(impliedOr)) {
        // Implied, with the one volatility for the options it cannot be
        // implied for.
        const std::optional<double> v =
            decimal(value(volatility).mid(impliedOr.size()), 2, limits::minVolatilityPercent,
                    limits::maxVolatilityPercent);
        if (!v) {
            reject(volatility,
                   QStringLiteral("\"implied\" followed by a comma and ") +
                       percent(limits::minVolatilityPercent, limits::maxVolatilityPercent));
        } else {
            market.implied = true;
            market.volatility = *v / 100;
        }
    } else if (const auto v = number(
                   volatility, 2, limits::minVolatilityPercent, limits::maxVolatilityPercent,
                   QStringLiteral("\"implied\" or ") +
                       percent(limits::minVolatilityPercent, limits::maxVolatilityPercent))) {
        market.implied = false;
        market.volatility = *v / 100;
    }
    return problem;
}

} // namespace workbench::links::query
