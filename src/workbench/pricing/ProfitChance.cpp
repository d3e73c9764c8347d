// The chance that a value before expiry ends above 0: its sign changes are
// found over the whole law of the price, not over the prices a diagram
// happens to show.
#include "BeforeExpiry.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace workbench::beforeexpiry {

namespace {

// Beyond this many standard deviations of ln S either way the law holds
// less than 3e-7: nothing a percentage to two decimals could show.
constexpr int kSpan = 5;
// The sweep that finds where the sign changes, a curve a standard deviation
// of ln S: a step of a fortieth of one is finer than any profit region a
// position of a few strikes holds that the law gives a hundredth of a point.
constexpr int kPointsPerSpread = 40;
// Each sign change is found to this share of its price, far below what
// moves the chance by a hundredth of a point.
constexpr double kRootShare = 1e-8;

} // namespace

// Where the value crosses 0 between two prices of opposite signs: regula
// falsi with the Illinois step, which keeps bisection's bracket and
// converges in a few valuations (an American one asks the engine each time).
double crossing(const Valuer& valuer, double a, double b, double va, double vb) {
    int side = 0;
    for (int i = 0; i < 100 && b - a > kRootShare * b; ++i) {
        const double x = std::clamp(b - vb * (b - a) / (vb - va), a, b);
        const double vx = valuer.valueAt(x);
        if (!std::isfinite(vx) || vx == 0) {
            return x;
        }
        if ((vx > 0) == (vb > 0)) {
            b = x;
            vb = vx;
            if (side == -1) {
                va /= 2;
            }
            side = -1;
        } else {
            a = x;
            va = vx;
            if (side == 1) {
                vb /= 2;
            }
            side = 1;
        }
    }
    return (a + b) / 2;
}

double chanceOfProfit(const Valuer& valuer, const probability::Lognormal& law) {
    const double none = std::numeric_limits<double>::quiet_NaN();
    std::vector<double> prices;
    std::vector<double> values;
    for (int k = -kSpan; k < kSpan; ++k) {
        const double from = law.quantile(k);
        const double to = law.quantile(k + 1);
        if (!(from > 0) || !(to > from) || !std::isfinite(to)) {
            return none;
        }
        const std::vector<double> curve = valuer.curve(from, to, kPointsPerSpread);
        // Each piece starts where the one before it ended.
        for (std::size_t i = prices.empty() ? 0 : 1; i < curve.size(); ++i) {
            if (!std::isfinite(curve[i])) {
                return none;
            }
            prices.push_back(from + (to - from) * double(i) / kPointsPerSpread);
            values.push_back(curve[i]);
        }
    }
    double chance = 0;
    // Below the sweep and above it the value keeps the sign of its ends.
    double start = 0;
    bool above = values.front() > 0;
    for (std::size_t i = 1; i < prices.size(); ++i) {
        if ((values[i] > 0) == above) {
            continue;
        }
        const double x = crossing(valuer, prices[i - 1], prices[i], values[i - 1], values[i]);
        if (above) {
            chance += law.chance(start, x);
        }
        start = x;
        above = values[i] > 0;
    }
    if (above) {
        chance += law.chance(start, std::numeric_limits<double>::infinity());
    }
    return chance;
}

} // namespace workbench::beforeexpiry
