#pragma once

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <limits>
#include <vector>

namespace workbench::pricing {

// A smooth function of the point along a curve of evenly spaced prices,
// asked only where the curve needs it. Each point asked gives its value and
// its slope (per point), so that between two points asked the curve is the
// cubic that meets both with their slopes; a step is split wherever its
// middle strays from that cubic by more than the tolerance. A single check at
// the middle can miss where the curve bends hard, so it is held to a quarter
// of the tolerance. Far from a strike, where an option's figures are nearly
// straight or nearly 0, a few points draw a whole stretch.
template <class Ask> class HermiteFill {
public:
    // `ask(i, value, slope)` sets the value and slope at point i.
    HermiteFill(int points, double tolerance, Ask ask)
        : value_(std::size_t(points) + 1, std::numeric_limits<double>::quiet_NaN()),
          slope_(value_.size(), 0.0), asked_(value_.size(), false), tolerance_(tolerance / 4),
          ask_(ask), points_(points) {}

    // The values at every point, first asked at steps no wider than
    // `widest` points.
    std::vector<double> fill(int widest) {
        widest = std::max(widest, 1);
        for (int i = 0; i < points_; i += widest) {
            refine(i, std::min(i + widest, points_));
        }
        if (points_ == 0) {
            at(0);
        }
        return value_;
    }

private:
    void at(int i) {
        const std::size_t k = std::size_t(i);
        if (!asked_[k]) {
            ask_(i, value_[k], slope_[k]);
            asked_[k] = true;
        }
    }

    double hermite(int i, int j, double k) const {
        const double h = j - i;
        const double t = (k - i) / h;
        const double t2 = t * t;
        const double t3 = t2 * t;
        const std::size_t a = std::size_t(i);
        const std::size_t b = std::size_t(j);
        return (2 * t3 - 3 * t2 + 1) * value_[a] + (t3 - 2 * t2 + t) * h * slope_[a] +
               (-2 * t3 + 3 * t2) * value_[b] + (t3 - t2) * h * slope_[b];
    }

    void refine(int i, int j) {
        at(i);
        at(j);
        if (j - i <= 1) {
            return;
        }
        const int m = (i + j) / 2;
        at(m);
        if (!(std::abs(value_[std::size_t(m)] - hermite(i, j, m)) <= tolerance_)) {
            refine(i, m);
            refine(m, j);
            return;
        }
        // Each half is drawn from its own ends, closer than the check above.
        for (int k = i + 1; k < j; ++k) {
            if (k != m && !asked_[std::size_t(k)]) {
                value_[std::size_t(k)] = k < m ? hermite(i, m, k) : hermite(m, j, k);
            }
        }
    }

    std::vector<double> value_;
    std::vector<double> slope_;
    std::vector<bool> asked_;
    double tolerance_;
    Ask ask_;
    int points_;
};

} // namespace workbench::pricing
