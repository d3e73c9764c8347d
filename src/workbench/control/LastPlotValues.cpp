// What the last plot values, each on first ask: the analysis, the
// volatilities, the dated curves and what is read of them, the law and its
// chances, the greek curve and the Scenarios table.
#include "LastPlot.h"

#include "LastPlotKept.h"
#include "PricingThread.h"

#include <algorithm>
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

// Beyond this many options even curves by formula cost more than a frame
// (a dashed curve of 100 European options takes some 6 ms): they go to the
// pricing thread as the engine's do.
constexpr std::size_t kManyOptions = 100;

// Beyond this many rows taking part, the American implied volatilities (each
// a search of several of the engine's prices, some 0.1 ms) are found on the
// pricing thread, every row's at once for the panel's table as well; beyond
// the second, the European ones too (a few microseconds each).
constexpr int kManyRows = 50;
constexpr int kManyEuropeanRows = 1000;

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

bool LastPlot::volatilitiesReady() const {
    if (!curve_) {
        return true;
    }
    Kept& k = *kept_;
    if (k.volatilitiesReady) {
        return true;
    }
    const PositionState& p = curve_->position;
    int rows = 0;
    for (int r = 1; r <= p.rowCount(); ++r) {
        rows += p.takesPart[std::size_t(r)] ? 1 : 0;
    }
    if (!inputs_.implied || rows <= (inputs_.american ? kManyRows : kManyEuropeanRows)) {
        k.volatilitiesReady = true;
        return true;
    }
    // Asked already, and still the newest request: on its way.
    if (k.volatilitiesSerial != 0 && k.volatilitiesSerial == pricing_->newest() &&
        pricing_->busy()) {
        return false;
    }
    const std::uint64_t state = k.state;
    auto* self = const_cast<LastPlot*>(this);
    PricingThread* pricing = pricing_.get();
    k.volatilitiesSerial =
        pricing_->request([self, state, pricing, rows, position = p,
                           found = *volatilities()](const PricingThread::Stopped& stopped) mutable {
            int done = 0;
            for (int r = 1; r <= position.rowCount(); ++r) {
                if (!position.takesPart[std::size_t(r)]) {
                    continue;
                }
                if (stopped()) {
                    return std::function<void()>();
                }
                found.implied(pricing::Right::Call, r);
                found.implied(pricing::Right::Put, r);
                pricing->setProgress(double(++done) / rows);
            }
            return std::function<void()>([self, state, found]() mutable {
                self->volatilitiesValued(state, std::move(found));
            });
        });
    emit self->valuingStarted();
    return false;
}

void LastPlot::volatilitiesValued(std::uint64_t state, beforeexpiry::Volatilities found) {
    Kept* kept = keptOf(state);
    if (!kept || kept->volatilitiesReady) {
        return;
    }
    kept->volatilities = std::move(found);
    kept->volatilitiesReady = true;
    kept->impliedRows.reset();
    if (kept == kept_.get()) {
        changedParts(ValuedPart);
    }
}

std::vector<beforeexpiry::RowVolatility> LastPlot::impliedRows() const {
    if (!curve_ || !volatilitiesReady()) {
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
    if (!curve_ || !volatilitiesReady()) {
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
        const std::vector<int> days = datesShown(inputs_);
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

bool LastPlot::valuing() const {
    Kept& k = *kept_;
    if (!k.valuing) {
        k.valuing = valueAway();
    }
    return *k.valuing;
}

LastPlot::Need LastPlot::needed() const {
    Need need;
    const std::vector<int> days = datesShown(inputs_);
    if (!curve_ || !beforeExpiryShown_ || days.empty() || !notValued().empty()) {
        return need;
    }
    Kept& k = *kept_;
    for (const int d : days) {
        if (!k.date(d)) {
            need.days.push_back(d);
        }
    }
    need.highlighted = highlightedDays();
    if (std::find(days.cbegin(), days.cend(), need.highlighted) != days.cend()) {
        const Kept::Date* h = k.date(need.highlighted);
        need.greeks = !h || !h->greeks;
        need.early = !h || !h->early;
        need.chance = probabilityShown_ && curve_->kind == payoff::profitDiagram &&
                      need.highlighted < inputs_.daysToday && (!h || !h->chance);
        if (greek_ != beforeexpiry::Greek::None && (!h || !h->greekCurves.count(greek_))) {
            need.greek = greek_;
        }
    }
    return need;
}

// What one request found, by date.
struct LastPlot::Valued {
    std::map<int, Kept::Date> dates;
};

bool LastPlot::valueAway() const {
    const Need need = needed();
    if (need.empty()) {
        return false;
    }
    // What values with the volatilities waits for them.
    if (!volatilitiesReady()) {
        return true;
    }
    // Only what asks the engine, or many options, goes away: a few European
    // options' curves cost less than the trip.
    const beforeexpiry::Valuer& base = *baseValuer();
    const bool engine = std::any_of(need.days.cbegin(), need.days.cend(),
                                    [&](int d) { return base.atDaysLeft(d).asksTheEngine(); }) ||
                        base.atDaysLeft(need.highlighted).asksTheEngine();
    if (!engine && base.options() <= kManyOptions) {
        return false;
    }
    Kept& k = *kept_;
    // Asked already, and still the newest request: it is on its way.
    if (k.asked == need && k.askedSerial == pricing_->newest() && pricing_->busy()) {
        return true;
    }
    const std::uint64_t state = k.state;
    const double from = curve_->range.xmin;
    const double to = curve_->range.xmax;
    const double today = curve_->position.underlyingPrice;
    const platform::Rgb color = curve_->color;
    std::optional<probability::Lognormal> then;
    if (need.chance) {
        then = law();
        then->years = (inputs_.daysToday - need.highlighted) / kDaysPerYear;
    }
    std::shared_ptr<const Dated> known;
    if (const Kept::Date* h = k.date(need.highlighted)) {
        known = h->dated;
    }
    auto* self = const_cast<LastPlot*>(this);
    PricingThread* pricing = pricing_.get();
    k.asked = need;
    k.askedSerial = pricing_->request([=](const PricingThread::Stopped& stopped) {
        // How far it is: each option of each curve is a step, a greek
        // curve's several (it takes differences of whole curves).
        constexpr double greekSteps = 5;
        const double total =
            double(base.options()) * (double(need.days.size()) + (need.early ? 1 : 0) +
                                      (need.greek != beforeexpiry::Greek::None ? greekSteps : 0));
        double done = 0;
        const auto stepOf = [&](double weight) {
            return [&, weight] {
                done += weight;
                pricing->setProgress(std::min(1.0, done / std::max(total, 1.0)));
                return stopped();
            };
        };
        Valued got;
        for (const int d : need.days) {
            beforeexpiry::Valuer valuer = base.atDaysLeft(d);
            const std::vector<double> values = valuer.curve(from, to, kCurvePoints, stepOf(1));
            if (stopped()) {
                return std::function<void()>();
            }
            got.dates[d].dated = std::make_shared<const Dated>(
                Dated{d, std::move(valuer), pointsOf(values, from, to)});
        }
        if (need.greeks || need.early || need.chance || need.greek != beforeexpiry::Greek::None) {
            Kept::Date& date = got.dates[need.highlighted];
            const Dated& h = date.dated ? *date.dated : *known;
            if (need.greeks) {
                date.greeks = h.valuer.greeksAt(today);
            }
            if (need.early) {
                date.early = h.valuer.earlyExercise(stepOf(1));
            }
            if (need.chance) {
                const double chance = beforeexpiry::chanceOfProfit(h.valuer, *then);
                date.chance = std::isfinite(chance) ? std::optional(chance) : std::nullopt;
            }
            if (need.greek != beforeexpiry::Greek::None) {
                const std::vector<double> values =
                    h.valuer.greekCurve(need.greek, from, to, kCurvePoints, stepOf(greekSteps));
                date.greekCurves.emplace(
                    need.greek, greekCurveOf(need.greek, pointsOf(values, from, to), color));
            }
        }
        if (stopped()) {
            return std::function<void()>();
        }
        return std::function<void()>([self, state, got = std::make_shared<Valued>(std::move(got))] {
            self->valued(state, *got);
        });
    });
    emit self->valuingStarted();
    return true;
}

LastPlot::Kept* LastPlot::keptOf(std::uint64_t state) const {
    if (kept_->state == state) {
        return kept_.get();
    }
    for (auto& [basis, left] : recent_->states) {
        if (left->state == state) {
            return left.get();
        }
    }
    return nullptr;
}

void LastPlot::valued(std::uint64_t state, Valued& got) {
    // Kept with the state it was asked for, whichever is shown now: a
    // result is never drawn for a market no longer shown.
    Kept* kept = keptOf(state);
    if (!kept) {
        return;
    }
    for (auto& [days, date] : got.dates) {
        Kept::Date* mine = kept->date(days);
        if (!mine) {
            if (date.dated) {
                kept->dates.emplace(days, std::move(date));
            }
            continue;
        }
        if (!mine->greeks) {
            mine->greeks = date.greeks;
        }
        if (!mine->early) {
            mine->early = std::move(date.early);
        }
        if (!mine->chance) {
            mine->chance = date.chance;
        }
        mine->greekCurves.merge(date.greekCurves);
    }
    kept->asked.reset();
    if (kept == kept_.get() && kept_->valuing.value_or(false)) {
        changedParts(ValuedPart);
    }
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
        date.greeks = h->valuer.greeksAt(curve_->position.underlyingPrice);
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
    if (valuing()) {
        return kept_->standIn->chance;
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

bool LastPlot::busy() const {
    return pricing_->busy() || tables_->busy();
}

void LastPlot::settle() const {
    // What arrives may be told to views that ask for more of the same state:
    // a few rounds at most, each for what the last left.
    for (int round = 0; round < 3 && (valuing() || busy()); ++round) {
        for (PricingThread* lane : {pricing_.get(), tables_.get()}) {
            if (lane->busy()) {
                lane->finish();
            }
        }
    }
}

const scenarios::Table* LastPlot::scenarios() const {
    if (!curve_) {
        return nullptr;
    }
    Kept& k = *kept_;
    if (!k.scenarios && !volatilitiesReady()) {
        k.scenariosValuing = true;
        return lastTable_ ? &*lastTable_ : nullptr;
    }
    if (!k.scenarios) {
        const beforeexpiry::Valuer& base = *baseValuer();
        const bool engine =
            base.atDaysLeft(inputs_.daysToday).asksTheEngine() || base.options() > kManyOptions;
        if (!engine) {
            k.scenarios =
                scenarios::build(curve_->position, inputs_, curve_->kind, curve_->range,
                                 scenarios::defaultRows, scenarios::defaultColumns, volatilities());
            lastTable_ = *k.scenarios;
        } else {
            if (!(k.scenariosValuing && k.scenariosSerial == tables_->newest() &&
                  tables_->busy())) {
                const std::uint64_t state = k.state;
                auto* self = const_cast<LastPlot*>(this);
                PricingThread* lane = tables_.get();
                // The volatilities found so far go with it: the thread finds
                // the rest on its own copy.
                k.scenariosSerial = tables_->request([=, position = curve_->position,
                                                      inputs = inputs_, kind = curve_->kind,
                                                      range = curve_->range,
                                                      known = *volatilities()](
                                                         const PricingThread::Stopped& stopped) {
                    const double total = double(base.options()) * (scenarios::defaultColumns + 6);
                    double done = 0;
                    const auto step = [&] {
                        lane->setProgress(std::min(1.0, ++done / std::max(total, 1.0)));
                        return stopped();
                    };
                    scenarios::Table table =
                        scenarios::build(position, inputs, kind, range, scenarios::defaultRows,
                                         scenarios::defaultColumns, &known, step);
                    if (stopped()) {
                        return std::function<void()>();
                    }
                    return std::function<void()>([self, state, table = std::move(table)]() mutable {
                        self->tableValued(state, std::move(table));
                    });
                });
                emit self->valuingStarted();
            }
            k.scenariosValuing = true;
            return lastTable_ ? &*lastTable_ : nullptr;
        }
    }
    return &**k.scenarios;
}

bool LastPlot::scenariosValuing() const {
    scenarios();
    return kept_->scenariosValuing;
}

void LastPlot::tableValued(std::uint64_t state, scenarios::Table table) {
    Kept* kept = keptOf(state);
    if (!kept) {
        return;
    }
    kept->scenarios = std::move(table);
    kept->scenariosValuing = false;
    if (kept == kept_.get()) {
        lastTable_ = **kept->scenarios;
        changedParts(ValuedPart);
    }
}

} // namespace workbench
