#include "LastPlot.h"

#include "LastPlotKept.h"

#include <algorithm>
#include <functional>

namespace workbench {

namespace {

bool samePosition(const PositionState& a, const PositionState& b) {
    return a.callQty == b.callQty && a.callPrice == b.callPrice && a.strike == b.strike &&
           a.putQty == b.putQty && a.putPrice == b.putPrice && a.takesPart == b.takesPart &&
           a.underlyingQty == b.underlyingQty && a.underlyingPrice == b.underlyingPrice &&
           a.costPerOption == b.costPerOption && a.costPerUnit == b.costPerUnit;
}

bool sameRange(const payoff::PriceRange& a, const payoff::PriceRange& b) {
    return a.xmin == b.xmin && a.xmax == b.xmax && a.step == b.step;
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

LastPlot::LastPlot(QObject* parent) : QObject(parent), kept_(std::make_unique<Kept>()) {}

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
    // setCurve forgets for itself what a curve's change reaches.
    if (parts & InputsPart) {
        k.volatilities.reset();
        k.impliedRows.reset();
        k.lawVolatility.reset();
        k.base.reset();
        k.figures.reset();
        k.dates.clear();
        k.dated.reset();
        k.greekCurve.reset();
        k.scenarios.reset();
    }
    if (parts & (DatesPart | ShownPart)) {
        k.dated.reset();
        k.greekCurve.reset();
        k.scenarios.reset();
    }
    if (parts & GreekPart) {
        k.greekCurve.reset();
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
    Kept& k = *kept_;
    if (position) {
        k.analysis.reset();
        k.volatilities.reset();
        k.impliedRows.reset();
        k.lawVolatility.reset();
    }
    if (kind) {
        k.analysis.reset();
        k.base.reset();
        k.figures.reset();
    }
    if (range) {
        k.dates.clear();
        k.dated.reset();
        k.greekCurve.reset();
        k.scenarios.reset();
    }
    curve_ = curve;
    if (curve_) {
        kind_ = curve_->kind;
        range_ = curve_->range;
    }
    changedParts(CurvePart);
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
    inputs_ = inputs;
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
    return std::min(inputs_.daysLeft, inputs_.daysToday);
}

} // namespace workbench
