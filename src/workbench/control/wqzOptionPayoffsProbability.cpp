// How likely the last curve's outcomes at expiry are: the law of the price
// under the diagram and its figures in the analysis.
#include "wqzOptionPayoffs.h"

#include "ProbabilityLayer.h"
#include "platform/Numbers.h"
#include "workbench/model/PositionAnalysis.h"
#include "workbench/model/PositionColumns.h"
#include "workbench/model/Probability.h"

#include <cmath>

namespace workbench {

namespace {

QString percent(double fraction) {
    return platform::numbers::formatDecimal(fraction * 100, u"####0.00") + QStringLiteral(" %");
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
        QStringLiteral("\nModel: lognormal, volatility %1%2, %3")
            .arg(percent(v.volatility),
                 v.strike
                     ? QStringLiteral(" (implied at %1)").arg(columns::strikeText(float(*v.strike)))
                     : QString(),
                 days == 1 ? QStringLiteral("1 day") : QStringLiteral("%1 days").arg(days));
    text += QStringLiteral("\nProbability of profit at expiry: ") + percent(f.profit);
    if (std::isfinite(f.highest)) {
        text += QStringLiteral("\nProbability of the maximum profit: ") + percent(f.highest);
    }
    if (std::isfinite(f.lowest)) {
        text += QStringLiteral("\nProbability of the maximum loss: ") + percent(f.lowest);
    }
    text += QStringLiteral("\nExpected profit at expiry: ") + analysis::money(f.expected);
    probabilityText_ = text + profitChanceBeforeExpiry(law);
}

} // namespace workbench
