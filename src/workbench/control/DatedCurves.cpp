#include "DatedCurves.h"

#include <algorithm>
#include <cmath>
#include <functional>

namespace workbench {

namespace {

// Enough points that a dashed line reads as a smooth curve at any size the
// plot area takes.
constexpr int kCurvePoints = 200;

} // namespace

std::vector<int> DatedCurves::datesShown(const beforeexpiry::Inputs& in) {
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

void DatedCurves::value(const PositionState& position, const beforeexpiry::Inputs& inputs,
                        payoff::DiagramKind kind, const payoff::PriceRange& range, int plot) {
    beforeexpiry::Inputs basis = inputs;
    basis.daysLeft = 0;
    basis.moreDaysLeft.clear();
    if (!basis_ || basis_->first != basis || basis_->second != plot) {
        valuer_.emplace(position, basis, kind);
        basis_.emplace(basis, plot);
        curves_.clear();
    }
    std::vector<Curve> curves;
    for (const int days : datesShown(inputs)) {
        if (const Curve* kept = at(days)) {
            curves.push_back(*kept);
            continue;
        }
        Curve curve{days, valuer_->atDaysLeft(days), {}};
        const double from = range.xmin;
        const double to = range.xmax;
        const std::vector<double> values = curve.valuer.curve(from, to, kCurvePoints);
        curve.points.reserve(kCurvePoints + 1);
        for (int i = 0; i <= kCurvePoints; ++i) {
            if (const double v = values[std::size_t(i)]; std::isfinite(v)) {
                curve.points << QPointF(from + (to - from) * i / kCurvePoints, v);
            }
        }
        curves.push_back(std::move(curve));
    }
    curves_ = std::move(curves);
}

void DatedCurves::clear() {
    valuer_.reset();
    basis_.reset();
    curves_.clear();
}

const DatedCurves::Curve* DatedCurves::at(int daysLeft) const {
    const auto it = std::find_if(curves_.cbegin(), curves_.cend(),
                                 [daysLeft](const Curve& c) { return c.daysLeft == daysLeft; });
    return it == curves_.cend() ? nullptr : &*it;
}

} // namespace workbench
