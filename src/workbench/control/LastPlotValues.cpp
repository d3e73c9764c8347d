// What the last plot values, each on first ask: the analysis, the
// volatilities, the dated curves and what is read of them, the law and its
// chances and the greek curve. What goes to the pricing threads is in
// LastPlotAway.cpp.
#include "LastPlot.h"

#include "LastPlotKept.h"
#include "workbench/pricing/FirstExpiry.h"

#include <algorithm>
#include <cmath>

namespace workbench {

using namespace lastplot;

namespace {

// The dates kept valued for one curve and market: a drag of the slider over
// a year's days and back again values each date once.
constexpr std::size_t kMostDates = 400;

} // namespace

namespace lastplot {

QString greekCaption(beforeexpiry::Greek greek) {
    switch (greek) {
    case beforeexpiry::Greek::Delta:
        return QStringLiteral("Delta");
    case beforeexpiry::Greek::Gamma:
        return QStringLiteral("Gamma");
    case beforeexpiry::Greek::Theta:
        return QStringLiteral("Theta a day");
    case beforeexpiry::Greek::Vega:
        return QStringLiteral("Vega a point");
    case beforeexpiry::Greek::None:
        break;
    }
    return QString();
}

// The greek's own vertical scale: its values with room above and below, so
// that the curve never runs along an edge; a greek that never strays from 0
// by more than the read-out's last decimal gets a scale that wide, rather
// than one that blows its rounding up into a curve.
GreekCurve greekCurveOf(beforeexpiry::Greek greek, const QList<QPointF>& points,
                        platform::Rgb color) {
    constexpr double headroom = 0.08;
    constexpr double leastSpread = 1e-4;
    double lo = 0;
    double hi = 0;
    for (const QPointF& p : points) {
        lo = std::min(lo, p.y());
        hi = std::max(hi, p.y());
    }
    if (hi - lo < leastSpread) {
        hi = lo + leastSpread;
    }
    const double room = headroom * (hi - lo);
    return GreekCurve{greekCaption(greek), color, QPolygonF(points), hi + room, lo - room};
}

QList<QPointF> pointsOf(const std::vector<double>& values, double from, double to) {
    QList<QPointF> points;
    const int n = int(values.size()) - 1;
    points.reserve(n + 1);
    for (int i = 0; i <= n; ++i) {
        // A price the model cannot value is left out.
        if (const double v = values[std::size_t(i)]; std::isfinite(v)) {
            points << QPointF(from + (to - from) * i / n, v);
        }
    }
    return points;
}

} // namespace lastplot

double LastPlot::valueAt(double S) const {
    if (!curve_) {
        return std::nan("");
    }
    if (!staggered()) {
        return analysis::valueAt(curve_->position, S, curve_->kind);
    }
    const std::optional<beforeexpiry::Valuer> v = atFirstExpiry();
    return v ? v->valueAt(S) : std::nan("");
}

std::optional<beforeexpiry::Valuer> LastPlot::atFirstExpiry() const {
    const beforeexpiry::Valuer* base = staggered() ? baseValuer() : nullptr;
    if (!base || !base->notValued().empty()) {
        return std::nullopt;
    }
    return base->atDaysLeft(0);
}

const analysis::Analysis* LastPlot::analysis() const {
    if (!curve_) {
        return nullptr;
    }
    Kept& k = *kept_;
    if (!k.analysis && staggered()) {
        // At the first expiry, valued with the volatilities of the curves
        // before it: none until they are found.
        const std::optional<beforeexpiry::Valuer> v = atFirstExpiry();
        if (!v) {
            return nullptr;
        }
        k.analysis = firstexpiry::analyse(valuedPosition(), valued_, *v, curve_->kind);
    }
    if (!k.analysis) {
        k.analysis = analysis::analyse(valuedPosition(), curve_->kind);
    }
    return &*k.analysis;
}

const beforeexpiry::Volatilities* LastPlot::volatilities() const {
    if (!curve_) {
        return nullptr;
    }
    Kept& k = *kept_;
    if (!k.volatilities) {
        k.volatilities.emplace(valuedPosition(), valued_);
    }
    return &*k.volatilities;
}

std::vector<beforeexpiry::RowVolatility> LastPlot::impliedRows() const {
    if (!curve_ || !volatilitiesReady()) {
        return {};
    }
    Kept& k = *kept_;
    if (!k.impliedRows) {
        k.impliedRows =
            beforeexpiry::impliedVolatilities(valuedPosition(), valued_, volatilities());
    }
    return *k.impliedRows;
}

const beforeexpiry::Valuer* LastPlot::baseValuer() const {
    if (!curve_ || !volatilitiesReady()) {
        return nullptr;
    }
    Kept& k = *kept_;
    if (!k.base) {
        // The dates come with each curve: the volatilities are the market's.
        beforeexpiry::Inputs market = valued_;
        market.daysLeft = 0;
        market.moreDaysLeft.clear();
        k.base.emplace(valuedPosition(), market, curve_->kind, volatilities());
    }
    return &*k.base;
}

const std::vector<beforeexpiry::RowNotValued>& LastPlot::notValued() const {
    static const std::vector<beforeexpiry::RowNotValued> none;
    const beforeexpiry::Valuer* base = baseValuer();
    return base ? base->notValued() : none;
}

const LastPlot::Dated* LastPlot::datedAt(int daysLeft) const {
    Kept& k = *kept_;
    if (Kept::Date* kept = k.date(daysLeft)) {
        return kept->dated.get();
    }
    const double from = curve_->range.xmin;
    const double to = curve_->range.xmax;
    beforeexpiry::Valuer valuer = baseValuer()->atDaysLeft(daysLeft);
    QList<QPointF> points = pointsOf(valuer.curve(from, to, kCurvePoints), from, to);
    Kept::Date date;
    date.dated =
        std::make_shared<const Dated>(Dated{daysLeft, std::move(valuer), std::move(points)});
    return k.dates.emplace(daysLeft, std::move(date)).first->second.dated.get();
}

const std::vector<const LastPlot::Dated*>& LastPlot::dated() const {
    Kept& k = *kept_;
    if (!k.dated) {
        std::vector<const Dated*> list;
        const std::vector<int> days = datesShown(valued_);
        if (curve_ && beforeExpiryShown_ && !days.empty() && notValued().empty()) {
            if (k.dates.size() > kMostDates) {
                k.dates.clear();
            }
            if (valuing()) {
                // The last dates valued whole stand, as they were.
                k.standIn = finished_;
                if (k.standIn) {
                    for (const auto& d : k.standIn->dated) {
                        list.push_back(d.get());
                    }
                }
            } else {
                auto finished = std::make_shared<Finished>();
                finished->highlighted = highlightedDays();
                for (const int d : days) {
                    list.push_back(datedAt(d));
                    finished->dated.push_back(k.date(d)->dated);
                }
                finished_ = std::move(finished);
            }
        } else if (!valuing()) {
            finished_ = std::make_shared<Finished>();
        }
        k.dated = std::move(list);
    }
    return *k.dated;
}

const LastPlot::Dated* LastPlot::highlighted() const {
    const std::vector<const Dated*>& list = dated();
    const Kept& k = *kept_;
    const int days = !valuing() ? highlightedDays() : k.standIn ? k.standIn->highlighted : -1;
    for (const Dated* d : list) {
        if (d->daysLeft == days) {
            return d;
        }
    }
    return nullptr;
}

std::optional<beforeexpiry::Greeks> LastPlot::greeksToday() const {
    const Dated* h = highlighted();
    if (!h) {
        return std::nullopt;
    }
    if (valuing()) {
        return kept_->standIn->greeks;
    }
    Kept::Date& date = *kept_->date(h->daysLeft);
    if (!date.greeks) {
        date.greeks = h->valuer.greeksAt(valuedPosition().underlyingPrice);
    }
    finished_->greeks = date.greeks;
    return date.greeks;
}

std::vector<beforeexpiry::EarlyExercise> LastPlot::earlyExercise() const {
    const Dated* h = highlighted();
    if (!h) {
        return {};
    }
    if (valuing()) {
        return kept_->standIn->early;
    }
    Kept::Date& date = *kept_->date(h->daysLeft);
    if (!date.early) {
        date.early = h->valuer.earlyExercise();
    }
    finished_->early = *date.early;
    return *date.early;
}

std::optional<beforeexpiry::LawVolatility> LastPlot::lawVolatility() const {
    if (!curve_) {
        return std::nullopt;
    }
    Kept& k = *kept_;
    if (!k.lawVolatility) {
        k.lawVolatility = beforeexpiry::lawVolatility(valuedPosition(), valued_, volatilities());
    }
    return *k.lawVolatility;
}

std::optional<probability::Lognormal> LastPlot::law() const {
    return lawAt(0);
}

std::optional<probability::Lognormal> LastPlot::lawAt(int daysLeft) const {
    const std::optional<beforeexpiry::LawVolatility> v = lawVolatility();
    if (!v) {
        return std::nullopt;
    }
    // The price then is drawn from the same law as at expiry, over the days
    // that will have passed.
    return beforeexpiry::lawOver(valuedPosition(), valued_, v->volatility,
                                 valued_.daysToday - daysLeft);
}

std::optional<probability::Figures> LastPlot::figures() const {
    if (!curve_ || curve_->kind != payoff::profitDiagram) {
        return std::nullopt;
    }
    Kept& k = *kept_;
    if (!k.figures) {
        const analysis::Analysis* a = analysis();
        if (!a) {
            return std::nullopt;
        }
        k.figures = a->firstExpiry > 0 ? firstexpiry::figures(*a, *atFirstExpiry(), *law())
                                       : probability::figures(valuedPosition(), *a, *law());
    }
    return *k.figures;
}

std::optional<double> LastPlot::chanceBeforeExpiry() const {
    const Dated* h = highlighted();
    if (!h || h->daysLeft >= valued_.daysToday) {
        return std::nullopt;
    }
    if (valuing()) {
        return kept_->standIn->chance;
    }
    Kept::Date& date = *kept_->date(h->daysLeft);
    if (!date.chance) {
        // Over the whole law, whatever prices the diagram shows.
        const probability::Lognormal then = *lawAt(h->daysLeft);
        const double chance = beforeexpiry::chanceOfProfit(h->valuer, then);
        date.chance = std::isfinite(chance) ? std::optional(chance) : std::nullopt;
    }
    finished_->chance = *date.chance;
    return *date.chance;
}

const std::optional<GreekCurve>& LastPlot::greekCurve() const {
    Kept& k = *kept_;
    if (!k.greekCurve) {
        std::optional<GreekCurve> curve;
        if (const Dated* h = greek_ != beforeexpiry::Greek::None ? highlighted() : nullptr) {
            if (valuing()) {
                // The last one of this greek stands, as it was.
                const std::optional<GreekCurve>& last = k.standIn->greekCurve;
                if (last && last->caption == greekCaption(greek_)) {
                    curve = last;
                }
            } else {
                // Kept with its date: the slider or the greek coming back to
                // it values nothing.
                std::map<beforeexpiry::Greek, GreekCurve>& kept = k.date(h->daysLeft)->greekCurves;
                auto found = kept.find(greek_);
                if (found == kept.end()) {
                    const double from = curve_->range.xmin;
                    const double to = curve_->range.xmax;
                    const std::vector<double> values =
                        h->valuer.greekCurve(greek_, from, to, kCurvePoints);
                    found = kept.emplace(greek_, greekCurveOf(greek_, pointsOf(values, from, to),
                                                              curve_->color))
                                .first;
                }
                curve = found->second;
                finished_->greekCurve = curve;
            }
        }
        k.greekCurve = std::move(curve);
    }
    return *k.greekCurve;
}

} // namespace workbench
