// How likely the last curve's outcomes at expiry are: the law of the price
// under the diagram and its figures in the analysis.
#include "wqzOptionPayoffs.h"

#include "ProbabilityLayer.h"
#include "platform/Numbers.h"
#include "workbench/model/PositionAnalysis.h"
#include "workbench/model/PositionColumns.h"
#include "workbench/model/Probability.h"

#include <QStringList>

#include <algorithm>
#include <cmath>

namespace workbench {

namespace {

QString percent(double fraction) {
    return platform::numbers::formatDecimal(fraction * 100, u"####0.00") + QStringLiteral(" %");
}

// An extreme reached only at single prices has no chance of its own under
// a continuous law; the line says why it reads 0.
QString atPricesAlone(const analysis::Extreme& extreme) {
    if (extreme.where.empty() ||
        !std::all_of(extreme.where.cbegin(), extreme.where.cend(),
                     [](const analysis::PriceSpan& span) { return span.isPoint(); })) {
        return QString();
    }
    QStringList prices;
    for (const analysis::PriceSpan& span : extreme.where) {
        prices << analysis::money(span.from);
    }
    return QStringLiteral(" (reached only at %1, %2)")
        .arg(prices.join(QStringLiteral(" and ")), prices.size() == 1
                                                       ? QStringLiteral("a single price")
                                                       : QStringLiteral("single prices"));
}

} // namespace

QString wqzOptionPayoffs::profitChanceBeforeExpiry(const probability::Lognormal& atExpiry) const {
    const int daysLeft = std::min(expiryInputs_.daysLeft, expiryInputs_.daysToday);
    const DatedCurves::Curve* curve = valuer_ ? dates_.at(daysLeft) : nullptr;
    if (!curve || daysLeft >= expiryInputs_.daysToday) {
        return QString();
    }
    // The price then is drawn from the same law as at expiry, over the days
    // that will have passed.
    probability::Lognormal law = atExpiry;
    law.years = (expiryInputs_.daysToday - daysLeft) / 365.0;
    // Over the whole law, whatever prices the diagram shows.
    const double chance = beforeexpiry::chanceOfProfit(curve->valuer, law);
    if (!std::isfinite(chance)) {
        return QString();
    }
    return QStringLiteral("\nProbability of profit with %1 left: %2")
        .arg(daysLeft == 1 ? QStringLiteral("1 day") : QStringLiteral("%1 days").arg(daysLeft),
             percent(chance));
}

void wqzOptionPayoffs::setProbabilityShown(bool shown) {
    if (shown != probabilityShown_) {
        probabilityShown_ = shown;
        showBeforeExpiry();
    }
}

void wqzOptionPayoffs::showProbability() {
    probabilityText_.clear();
    if (!probabilityShown_ || !lastCurve_) {
        probability_->clear();
        return;
    }
    const PositionState& p = *lastCurve_;
    const beforeexpiry::LawVolatility v = beforeexpiry::lawVolatility(p, expiryInputs_);
    const probability::Lognormal law{p.underlyingPrice, expiryInputs_.daysToday / 365.0,
                                     expiryInputs_.rate, expiryInputs_.dividendYield, v.volatility};
    probability_->setLaw(law);
    if (lastKind_ != payoff::profitDiagram) {
        return;
    }
    const analysis::Analysis a = analysis::analyse(p, lastKind_);
    const probability::Figures f = probability::figures(p, a, law);
    const int days = expiryInputs_.daysToday;
    QString text =
        // The rate and the yield set the law's drift as the volatility sets
        // its spread: all three are named.
        QStringLiteral("\nModel: lognormal, volatility %1%2, rate %3, dividend %4, %5")
            .arg(percent(v.volatility),
                 v.strike
                     ? QStringLiteral(" (implied at %1)").arg(columns::strikeText(float(*v.strike)))
                     : QString(),
                 percent(expiryInputs_.rate), percent(expiryInputs_.dividendYield),
                 days == 1 ? QStringLiteral("1 day") : QStringLiteral("%1 days").arg(days));
    // The marks of one standard deviation carry no price of their own.
    text += QStringLiteral("\nOne standard deviation at expiry: %1 to %2")
                .arg(analysis::money(law.quantile(-1)), analysis::money(law.quantile(1)));
    text += QStringLiteral("\nProbability of profit at expiry: ") + percent(f.profit);
    if (std::isfinite(f.highest)) {
        text += QStringLiteral("\nProbability of the maximum profit: ") + percent(f.highest) +
                atPricesAlone(a.highest);
    }
    if (std::isfinite(f.lowest)) {
        text += QStringLiteral("\nProbability of the maximum loss: ") + percent(f.lowest) +
                atPricesAlone(a.lowest);
    }
    text += QStringLiteral("\nExpected profit at expiry: ") + analysis::money(f.expected);
    probabilityText_ = text + profitChanceBeforeExpiry(law);
}

} // namespace workbench
