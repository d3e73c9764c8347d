#include "LastPlot.h"

#include "LastPlotKept.h"
#include "PricingThread.h"

#include "workbench/model/LegExpiry.h"

#include <algorithm>
#include <functional>

namespace workbench {

namespace {

bool samePosition(const PositionState& a, const PositionState& b) {
    return a.callQty == b.callQty && a.callPrice == b.callPrice && a.strike == b.strike &&
           a.putQty == b.putQty && a.putPrice == b.putPrice && a.takesPart == b.takesPart &&
           a.callDays == b.callDays && a.putDays == b.putDays &&
           a.underlyingQty == b.underlyingQty && a.underlyingPrice == b.underlyingPrice &&
           a.costPerOption == b.costPerOption && a.costPerUnit == b.costPerUnit;
}

bool sameRange(const payoff::PriceRange& a, const payoff::PriceRange& b) {
    return a.xmin == b.xmin && a.xmax == b.xmax && a.step == b.step;
}

// Whether two markets imply the same volatilities from the same premiums:
// they differ in the what-ifs on volatility alone.
bool sameQuotesMarket(beforeexpiry::Inputs a, const beforeexpiry::Inputs& b) {
    a.volatilityShift = b.volatilityShift;
    a.eventDays = b.eventDays;
    a.volatilityAfter = b.volatilityAfter;
    return a == b;
}

} // namespace

LastPlot::Change::Change(LastPlot& plot) : plot_(plot) {
    ++plot_.open_;
}

LastPlot::Change::~Change() {
    if (--plot_.open_ == 0 && plot_.pending_) {
        const Parts parts = plot_.pending_;
        plot_.pending_ = {};
        emit plot_.changed(parts);
    }
}

LastPlot::LastPlot(QObject* parent)
    : QObject(parent), kept_(std::make_unique<Kept>()), recent_(std::make_unique<Recent>()),
      pricing_(std::make_unique<PricingThread>()), tables_(std::make_unique<PricingThread>()) {}

LastPlot::~LastPlot() = default;

void LastPlot::changedParts(Parts parts) {
    forget(parts);
    pending_ |= parts;
    // A change made outside any entry point is told at once.
    if (open_ == 0) {
        Change told(*this);
    }
}

void LastPlot::forget(Parts parts) {
    Kept& k = *kept_;
    k.diagram[0].reset();
    k.diagram[1].reset();
    // What the curve and the market reach is taken care of by revalue().
    if (parts & (DatesPart | ShownPart | GreekPart | ValuedPart)) {
        k.dated.reset();
        k.greekCurve.reset();
        k.valuing.reset();
        k.standIn.reset();
    }
    if (parts & DatesPart) {
        k.scenarios.reset();
        k.scenariosValuing = false;
    }
}

void LastPlot::setCurve(const std::optional<PlottedCurve>& curve) {
    const bool had = curve_.has_value();
    const bool position =
        had != curve.has_value() || (had && !samePosition(curve_->position, curve->position));
    const bool kind = position || (had && curve_->kind != curve->kind);
    const bool range = kind || (had && !sameRange(curve_->range, curve->range));
    const bool looks =
        range || (had && (curve_->color != curve->color || curve_->name != curve->name));
    if (!looks) {
        return;
    }
    revalue(curve, inputs_);
    curve_ = curve;
    resolveValued();
    if (curve_) {
        kind_ = curve_->kind;
        range_ = curve_->range;
    }
    changedParts(CurvePart);
}

void LastPlot::revalue(const std::optional<PlottedCurve>& curve,
                       const beforeexpiry::Inputs& inputs) {
    const auto basisOf = [](const std::optional<PlottedCurve>& c,
                            const beforeexpiry::Inputs& in) -> std::optional<PlotBasis> {
        if (!c) {
            return std::nullopt;
        }
        beforeexpiry::Inputs market = in;
        market.daysLeft = 0;
        market.moreDaysLeft.clear();
        return PlotBasis{c->position, c->kind, c->range, market};
    };
    const std::optional<PlotBasis> before = basisOf(curve_, inputs_);
    const std::optional<PlotBasis> after = basisOf(curve, inputs);
    const auto same = [](const PlotBasis& a, const PlotBasis& b) {
        return samePosition(a.position, b.position) && a.kind == b.kind &&
               sameRange(a.range, b.range) && a.market == b.market;
    };
    if (before.has_value() == after.has_value() && (!before || same(*before, *after))) {
        return;
    }
    std::unique_ptr<Kept> left = std::move(kept_);
    std::vector<std::pair<PlotBasis, std::unique_ptr<Kept>>>& states = recent_->states;
    if (after) {
        const auto found = std::find_if(states.begin(), states.end(), [&](const auto& state) {
            return same(state.first, *after);
        });
        if (found != states.end()) {
            kept_ = std::move(found->second);
            states.erase(found);
        }
    }
    if (!kept_) {
        kept_ = std::make_unique<Kept>();
        kept_->state = ++states_;
        // What does not depend on what changed carries over.
        if (before && after && samePosition(before->position, after->position)) {
            const bool kind = before->kind == after->kind;
            const bool market = before->market == after->market;
            // A calendar's curve at the first expiry values the legs that
            // live on: its analysis moves with the market.
            if (kind &&
                (market || (!legexpiry::staggered(before->position, before->market.daysToday) &&
                            !legexpiry::staggered(after->position, after->market.daysToday)))) {
                kept_->analysis = std::move(left->analysis);
            }
            // What the premiums imply does not move with a what-if on
            // volatility: a step of the shift searches nothing again.
            if (sameQuotesMarket(before->market, after->market)) {
                kept_->volatilities = std::move(left->volatilities);
                kept_->volatilitiesReady = left->volatilitiesReady;
                kept_->impliedRows = std::move(left->impliedRows);
            }
            if (market) {
                kept_->lawVolatility = std::move(left->lawVolatility);
            }
            if (kind && market) {
                kept_->base = std::move(left->base);
                kept_->figures = std::move(left->figures);
            }
        }
    }
    // What the dates shown, the greek and the display reach is found again.
    kept_->dated.reset();
    kept_->greekCurve.reset();
    kept_->valuing.reset();
    kept_->standIn.reset();
    kept_->scenarios.reset();
    kept_->scenariosValuing = false;
    if (before) {
        states.emplace(states.begin(), *before, std::move(left));
        if (states.size() > Recent::most) {
            states.pop_back();
        }
    }
}

void LastPlot::addDrawn(const DrawnCurve& curve, const QString& legendText) {
    drawn_ << curve;
    legend_ << LegendEntry{curve.color, legendText};
    changedParts(DrawnPart);
}

void LastPlot::removeLastDrawn() {
    if (drawn_.isEmpty()) {
        return;
    }
    drawn_.removeLast();
    legend_.removeLast();
    ++removals_;
    changedParts(DrawnPart);
}

void LastPlot::clear() {
    if (drawn_.isEmpty() && !curve_) {
        return;
    }
    drawn_.clear();
    legend_.clear();
    ++removals_;
    changedParts(DrawnPart);
    setCurve(std::nullopt);
}

void LastPlot::setScale(const PlotScale& scale) {
    if (scale.left == scale_.left && scale.top == scale_.top && scale.right == scale_.right &&
        scale.bottom == scale_.bottom) {
        return;
    }
    scale_ = scale;
    changedParts(DrawnPart);
}

void LastPlot::setBackground(platform::Rgb color) {
    if (color != background_) {
        background_ = color;
        changedParts(DrawnPart);
    }
}

void LastPlot::setInputs(const beforeexpiry::Inputs& inputs) {
    if (inputs == inputs_) {
        return;
    }
    beforeexpiry::Inputs market = inputs;
    market.daysLeft = inputs_.daysLeft;
    market.moreDaysLeft = inputs_.moreDaysLeft;
    // A step of the slider values its own date and nothing else.
    const Parts parts = market == inputs_ ? Parts(DatesPart) : Parts(InputsPart | DatesPart);
    revalue(curve_, inputs);
    inputs_ = inputs;
    resolveValued();
    changedParts(parts);
}

void LastPlot::setBeforeExpiryShown(bool shown) {
    if (shown != beforeExpiryShown_) {
        beforeExpiryShown_ = shown;
        changedParts(ShownPart);
    }
}

void LastPlot::setProbabilityShown(bool shown) {
    if (shown != probabilityShown_) {
        probabilityShown_ = shown;
        changedParts(ShownPart);
    }
}

void LastPlot::setMarkersShown(bool shown) {
    if (shown != markersShown_) {
        markersShown_ = shown;
        changedParts(ShownPart);
    }
}

void LastPlot::setGreek(beforeexpiry::Greek greek) {
    if (greek != greek_) {
        greek_ = greek;
        changedParts(GreekPart);
    }
}

void LastPlot::setScenariosAcross(scenarios::Across across) {
    if (across == across_) {
        return;
    }
    across_ = across;
    // The table valued last is of the other columns: none stands in for it.
    kept_->scenarios.reset();
    kept_->scenariosValuing = false;
    lastTable_.reset();
    changedParts(TablePart);
}

void LastPlot::setStale(bool stale) {
    if (stale != stale_) {
        stale_ = stale;
        changedParts(StalePart);
    }
}

void LastPlot::setTodayPrice(double price) {
    if (price != todayPrice_) {
        todayPrice_ = price;
        changedParts(ShownPart);
    }
}

std::vector<int> LastPlot::datesShown(const beforeexpiry::Inputs& in) {
    std::vector<int> days;
    if (in.daysLeft > 0) {
        days.push_back(std::min(in.daysLeft, in.daysToday));
    }
    for (const int d : in.moreDaysLeft) {
        if (d > 0) {
            days.push_back(std::min(d, in.daysToday));
        }
    }
    std::sort(days.begin(), days.end(), std::greater<>());
    days.erase(std::unique(days.begin(), days.end()), days.end());
    return days;
}

int LastPlot::highlightedDays() const {
    return std::min(valued_.daysLeft, valued_.daysToday);
}

void LastPlot::resolveValued() {
    valued_ = inputs_;
    resolved_.reset();
    // Most positions' legs expire together: nothing is copied for them.
    if (curve_ && legexpiry::resolves(curve_->position, inputs_.daysToday)) {
        PositionState p = curve_->position;
        legexpiry::resolve(p, valued_);
        if (!(valued_ == inputs_)) {
            resolved_ = std::move(p);
        }
    }
}

bool LastPlot::staggered() const {
    return curve_ && legexpiry::staggered(valuedPosition(), valued_.daysToday);
}

} // namespace workbench
