// What the last plot values on its pricing threads: what the dates shown
// still need, the many rows' implied volatilities and the Scenarios table,
// each asked for once and taken into the state it was asked for.
#include "LastPlot.h"

#include "LastPlotKept.h"
#include "PricingThread.h"

#include <algorithm>
#include <cmath>

namespace workbench {

using namespace lastplot;

namespace {

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

// Whether a valuer's curves cost more than the trip to the pricing thread.
bool costly(const beforeexpiry::Valuer& valuer) {
    return valuer.asksTheEngine() || valuer.options() > kManyOptions;
}

// The Scenarios table with its columns across the days or volatility.
scenarios::Table tableOf(scenarios::Across across, const PositionState& position,
                         const beforeexpiry::Inputs& inputs, payoff::DiagramKind kind,
                         const payoff::PriceRange& range, const beforeexpiry::Volatilities* known,
                         const std::function<bool()>& stopped) {
    return across == scenarios::Across::Volatility
               ? scenarios::buildAcrossVolatility(position, inputs, kind, range,
                                                  scenarios::defaultRows, known, stopped)
               : scenarios::build(position, inputs, kind, range, scenarios::defaultRows,
                                  scenarios::defaultColumns, known, stopped);
}

} // namespace

bool LastPlot::volatilitiesReady() const {
    if (!curve_) {
        return true;
    }
    Kept& k = *kept_;
    if (k.volatilitiesReady) {
        return true;
    }
    const PositionState& p = valuedPosition();
    int rows = 0;
    for (int r = 1; r <= p.rowCount(); ++r) {
        rows += p.takesPart[std::size_t(r)] ? 1 : 0;
    }
    if (!valued_.implied || rows <= (valued_.american ? kManyRows : kManyEuropeanRows)) {
        k.volatilitiesReady = true;
        return true;
    }
    // Asked already, and still the newest request: on its way.
    if (pricing_->coming(k.volatilitiesSerial)) {
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

bool LastPlot::valuing() const {
    Kept& k = *kept_;
    if (!k.valuing) {
        k.valuing = valueAway();
    }
    return *k.valuing;
}

LastPlot::Need LastPlot::needed() const {
    Need need;
    const std::vector<int> days = datesShown(valued_);
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
                      need.highlighted < valued_.daysToday && (!h || !h->chance);
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
    if (std::none_of(need.days.cbegin(), need.days.cend(),
                     [&](int d) { return costly(base.atDaysLeft(d)); }) &&
        !costly(base.atDaysLeft(need.highlighted))) {
        return false;
    }
    Kept& k = *kept_;
    // Asked already, and still the newest request: it is on its way.
    if (k.asked == need && pricing_->coming(k.askedSerial)) {
        return true;
    }
    const std::uint64_t state = k.state;
    const double from = curve_->range.xmin;
    const double to = curve_->range.xmax;
    const double today = valuedPosition().underlyingPrice;
    const platform::Rgb color = curve_->color;
    std::optional<probability::Lognormal> then;
    if (need.chance) {
        then = lawAt(need.highlighted);
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
        if (!costly(base.atDaysLeft(valued_.daysToday))) {
            k.scenarios = tableOf(across_, valuedPosition(), valued_, curve_->kind, curve_->range,
                                  volatilities(), {});
            lastTable_ = *k.scenarios;
        } else {
            if (!(k.scenariosValuing && tables_->coming(k.scenariosSerial))) {
                const std::uint64_t state = k.state;
                auto* self = const_cast<LastPlot*>(this);
                PricingThread* lane = tables_.get();
                // The volatilities found so far go with it: the thread finds
                // the rest on its own copy.
                k.scenariosSerial = tables_->request([=, across = across_,
                                                      position = valuedPosition(), inputs = valued_,
                                                      kind = curve_->kind, range = curve_->range,
                                                      known = *volatilities()](
                                                         const PricingThread::Stopped& stopped) {
                    const double total = double(base.options()) * (scenarios::defaultColumns + 6);
                    double done = 0;
                    const auto step = [&] {
                        lane->setProgress(std::min(1.0, ++done / std::max(total, 1.0)));
                        return stopped();
                    };
                    scenarios::Table table =
                        tableOf(across, position, inputs, kind, range, &known, step);
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
