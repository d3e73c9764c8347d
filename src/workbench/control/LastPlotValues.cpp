// What the last plot values, each on first ask: the analysis, the
// volatilities, the dated curves and what is read of them, the law and its
// chances, the greek curve and the Scenarios table.
#include "LastPlot.h"

#include "LastPlotKept.h"
#include "PricingThread.h"

#include <cmath>

namespace workbench {

namespace {

// Enough points that a dashed line, and the greek's, read as smooth curves at
// any size the plot area takes.
constexpr int kCurvePoints = 200;

// The dates kept valued for one curve and market: a drag of the slider over
// a year's days and back again values each date once.
constexpr std::size_t kMostDates = 400;

constexpr double kDaysPerYear = 365;

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

} // namespace

const analysis::Analysis* LastPlot::analysis() const {
    if (!curve_) {
        return nullptr;
    }
    Kept& k = *kept_;
    if (!k.analysis) {
        k.analysis = analysis::analyse(curve_->position, curve_->kind);
    }
    return &*k.analysis;
}

const beforeexpiry::Volatilities* LastPlot::volatilities() const {
    if (!curve_) {
        return nullptr;
    }
    Kept& k = *kept_;
    if (!k.volatilities) {
        k.volatilities.emplace(curve_->position, inputs_);
    }
    return &*k.volatilities;
}

std::vector<beforeexpiry::RowVolatility> LastPlot::impliedRows() const {
    if (!curve_) {
        return {};
    }
    Kept& k = *kept_;
    if (!k.impliedRows) {
        k.impliedRows =
            beforeexpiry::impliedVolatilities(curve_->position, inputs_, volatilities());
    }
    return *k.impliedRows;
}

const beforeexpiry::Valuer* LastPlot::baseValuer() const {
    if (!curve_) {
        return nullptr;
    }
    Kept& k = *kept_;
    if (!k.base) {
        // The dates come with each curve: the volatilities are the market's.
        beforeexpiry::Inputs market = inputs_;
        market.daysLeft = 0;
        market.moreDaysLeft.clear();
        k.base.emplace(curve_->position, market, curve_->kind, volatilities());
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
        return &kept->dated;
    }
    const double from = curve_->range.xmin;
    const double to = curve_->range.xmax;
    beforeexpiry::Valuer valuer = baseValuer()->atDaysLeft(daysLeft);
    QList<QPointF> points = pointsOf(valuer.curve(from, to, kCurvePoints), from, to);
    const auto [it, added] = k.dates.emplace(
        daysLeft,
        Kept::Date{Dated{daysLeft, std::move(valuer), std::move(points)}, {}, {}, {}, {}});
    return &it->second.dated;
}

const std::vector<const LastPlot::Dated*>& LastPlot::dated() const {
    Kept& k = *kept_;
    if (!k.dated) {
        std::vector<const Dated*> list;
        const std::vector<int> days = datesShown(inputs_);
        if (curve_ && beforeExpiryShown_ && !days.empty() && notValued().empty()) {
            if (k.dates.size() > kMostDates) {
                k.dates.clear();
            }
            for (const int d : days) {
                list.push_back(datedAt(d));
            }
        }
        k.dated = std::move(list);
    }
    return *k.dated;
}

const LastPlot::Dated* LastPlot::highlighted() const {
    const int days = highlightedDays();
    for (const Dated* d : dated()) {
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
    Kept::Date& date = *kept_->date(h->daysLeft);
    if (!date.greeks) {
        date.greeks = h->valuer.greeksAt(curve_->position.underlyingPrice);
    }
    return date.greeks;
}

std::vector<beforeexpiry::EarlyExercise> LastPlot::earlyExercise() const {
    const Dated* h = highlighted();
    if (!h) {
        return {};
    }
    Kept::Date& date = *kept_->date(h->daysLeft);
    if (!date.early) {
        date.early = h->valuer.earlyExercise();
    }
    return *date.early;
}

std::optional<beforeexpiry::LawVolatility> LastPlot::lawVolatility() const {
    if (!curve_) {
        return std::nullopt;
    }
    Kept& k = *kept_;
    if (!k.lawVolatility) {
        k.lawVolatility = beforeexpiry::lawVolatility(curve_->position, inputs_, volatilities());
    }
    return *k.lawVolatility;
}

std::optional<probability::Lognormal> LastPlot::law() const {
    const std::optional<beforeexpiry::LawVolatility> v = lawVolatility();
    if (!v) {
        return std::nullopt;
    }
    return probability::Lognormal{curve_->position.underlyingPrice,
                                  inputs_.daysToday / kDaysPerYear, inputs_.rate,
                                  inputs_.dividendYield, v->volatility};
}

std::optional<probability::Figures> LastPlot::figures() const {
    if (!curve_ || curve_->kind != payoff::profitDiagram) {
        return std::nullopt;
    }
    Kept& k = *kept_;
    if (!k.figures) {
        k.figures = probability::figures(curve_->position, *analysis(), *law());
    }
    return *k.figures;
}

std::optional<double> LastPlot::chanceBeforeExpiry() const {
    const Dated* h = highlighted();
    if (!h || h->daysLeft >= inputs_.daysToday) {
        return std::nullopt;
    }
    Kept::Date& date = *kept_->date(h->daysLeft);
    if (!date.chance) {
        // The price then is drawn from the same law as at expiry, over the
        // days that will have passed, over the whole law whatever prices the
        // diagram shows.
        probability::Lognormal then = *law();
        then.years = (inputs_.daysToday - h->daysLeft) / kDaysPerYear;
        const double chance = beforeexpiry::chanceOfProfit(h->valuer, then);
        date.chance = std::isfinite(chance) ? std::optional(chance) : std::nullopt;
    }
    return *date.chance;
}

const std::optional<GreekCurve>& LastPlot::greekCurve() const {
    Kept& k = *kept_;
    if (!k.greekCurve) {
        std::optional<GreekCurve> curve;
        if (const Dated* h = greek_ != beforeexpiry::Greek::None ? highlighted() : nullptr) {
            // Kept with its date: the slider or the greek coming back to it
            // values nothing.
            std::map<beforeexpiry::Greek, GreekCurve>& kept = k.date(h->daysLeft)->greekCurves;
            auto found = kept.find(greek_);
            if (found == kept.end() && h->valuer.asksTheEngine()) {
                valueGreekAway(*h);
                k.greekValuing = true;
                // Meanwhile the last one of this greek stands, as it was.
                if (lastGreek_ && lastGreek_->caption == greekCaption(greek_)) {
                    curve = lastGreek_;
                }
            } else {
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
                lastGreek_ = curve;
            }
        }
        k.greekCurve = std::move(curve);
    }
    return *k.greekCurve;
}

bool LastPlot::greekValuing() const {
    greekCurve();
    return kept_->greekValuing;
}

void LastPlot::valueGreekAway(const Dated& date) const {
    const std::uint64_t state = kept_->state;
    const int daysLeft = date.daysLeft;
    const beforeexpiry::Greek greek = greek_;
    const double from = curve_->range.xmin;
    const double to = curve_->range.xmax;
    const platform::Rgb color = curve_->color;
    auto* self = const_cast<LastPlot*>(this);
    pricing_->request([=, valuer = date.valuer](const PricingThread::Stopped& stopped) {
        const std::vector<double> values =
            valuer.greekCurve(greek, from, to, kCurvePoints, stopped);
        std::function<void()> arrived;
        if (!stopped()) {
            const GreekCurve curve = greekCurveOf(greek, pointsOf(values, from, to), color);
            arrived = [self, state, daysLeft, greek, curve] {
                self->greekValued(state, daysLeft, greek, curve);
            };
        }
        return arrived;
    });
}

void LastPlot::greekValued(std::uint64_t state, int daysLeft, beforeexpiry::Greek greek,
                           const GreekCurve& curve) {
    // Kept with the state and date it was asked for, whichever is shown now.
    Kept* kept = kept_->state == state ? kept_.get() : nullptr;
    for (auto& [basis, left] : recent_->states) {
        if (left->state == state) {
            kept = left.get();
        }
    }
    if (!kept) {
        return;
    }
    if (Kept::Date* date = kept->date(daysLeft)) {
        date->greekCurves.emplace(greek, curve);
    }
    if (kept == kept_.get() && kept_->greekValuing) {
        kept_->greekCurve.reset();
        changedParts(GreekPart);
    }
}

void LastPlot::settle() const {
    if (pricing_->busy()) {
        pricing_->finish();
    }
}

const scenarios::Table* LastPlot::scenarios() const {
    if (!curve_) {
        return nullptr;
    }
    Kept& k = *kept_;
    if (!k.scenarios) {
        k.scenarios =
            scenarios::build(curve_->position, inputs_, curve_->kind, curve_->range,
                             scenarios::defaultRows, scenarios::defaultColumns, volatilities());
    }
    return &**k.scenarios;
}

} // namespace workbench
