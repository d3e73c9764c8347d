#include "PriceCurve.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace workbench::pricing {

namespace {

constexpr double kNone = std::numeric_limits<double>::quiet_NaN();

// The widest step between the first prices asked of the engine where its
// curve is smooth, in points.
constexpr int kWidestStep = 16;

double orNone(std::optional<double> value) {
    return value ? *value : kNone;
}

// One American option along the curve. Three stretches, told apart by the
// engine's own prices:
// - where exercising now pays (a put's lowest prices, a call's highest),
//   what holding adds over the exercise value only grows towards the other
//   side, so once a price is found where it is within the tolerance, so are
//   all beyond it: there the price is the exercise value;
// - far from there, what early exercise adds to the European price only
//   shrinks, so once it is within the tolerance it stays so: there the price
//   is the European one;
// - in between the price is smooth, and what early exercise adds is taken
//   from the engine at steps no wider than the price moves over in one
//   standard deviation, and more finely wherever a step's middle strays
//   from the straight line by more than the tolerance.
class AmericanCurve {
public:
    AmericanCurve(const Quote& q, double volatility, double from, double to, int points,
                  double tolerance)
        : q_(q), volatility_(volatility), from_(from), to_(to), points_(points),
          tolerance_(tolerance), european_(std::size_t(points) + 1),
          american_(std::size_t(points) + 1, kNone), asked_(std::size_t(points) + 1, false) {
        Quote european = q;
        european.american = false;
        for (int i = 0; i <= points; ++i) {
            european.spot = at(i);
            european_[std::size_t(i)] = orNone(price(european, volatility));
        }
    }

    std::vector<double> curve() {
        std::vector<double> out(std::size_t(points_) + 1, kNone);
        // Walking away from where exercise pays: up for a put, down for a call.
        const bool put = q_.right == Right::Put;
        const int step = put ? 1 : -1;
        const int first = put ? 0 : points_;
        const auto index = [&](int n) { return first + step * n; };
        const int count = points_ + 1;
        // Prices at or below 0 cost nothing and are no part of either stretch.
        int n0 = 0;
        while (n0 < count && at(index(n0)) <= 0) {
            out[std::size_t(index(n0))] = exact(index(n0));
            ++n0;
        }
        // The first point (counted from n0) where holding is worth more than
        // exercising, then the first where early exercise adds nothing.
        const int held = firstTrue(n0, count, [&](int n) {
            const int i = index(n);
            return !((put ? at(i) <= q_.strike : at(i) >= q_.strike) &&
                     ask(i) - exerciseValue(i) <= tolerance_);
        });
        const int european = firstTrue(held, count, [&](int n) {
            const int i = index(n);
            return ask(i) - european_[std::size_t(i)] <= tolerance_;
        });
        for (int n = n0; n < held; ++n) {
            out[std::size_t(index(n))] = exerciseValue(index(n));
        }
        for (int n = european; n < count; ++n) {
            out[std::size_t(index(n))] = european_[std::size_t(index(n))];
        }
        if (held < european) {
            const int lo = std::min(index(held), index(european - 1));
            const int hi = std::max(index(held), index(european - 1));
            fillBetween(lo, hi);
            for (int i = lo; i <= hi; ++i) {
                out[std::size_t(i)] = european_[std::size_t(i)] + premium_[std::size_t(i)];
            }
        }
        // Where the engine failed the searches above mean nothing: every
        // price is asked for itself.
        if (failed_) {
            for (int i = 0; i <= points_; ++i) {
                out[std::size_t(i)] = exact(i);
            }
        }
        return out;
    }

private:
    double at(int i) const { return from_ + (to_ - from_) * i / points_; }

    double exerciseValue(int i) const {
        const double S = at(i);
        return std::max(q_.right == Right::Call ? S - q_.strike : q_.strike - S, 0.0);
    }

    double exact(int i) {
        Quote q = q_;
        q.spot = at(i);
        return orNone(price(q, volatility_));
    }

    double ask(int i) {
        const std::size_t k = std::size_t(i);
        if (!asked_[k]) {
            american_[k] = exact(i);
            asked_[k] = true;
            failed_ = failed_ || !std::isfinite(american_[k] + european_[k]);
        }
        return american_[k];
    }

    // The least n in [lo, hi) where `test`, which once true stays true,
    // holds; hi where it never does.
    template <class Test> static int firstTrue(int lo, int hi, Test test) {
        while (lo < hi) {
            const int mid = lo + (hi - lo) / 2;
            if (test(mid)) {
                hi = mid;
            } else {
                lo = mid + 1;
            }
        }
        return lo;
    }

    void fillBetween(int lo, int hi) {
        premium_.assign(std::size_t(points_) + 1, kNone);
        const double spacing = std::abs(to_ - from_) / points_;
        const double moves = volatility_ * std::sqrt(q_.years) * q_.strike;
        const int widest = std::clamp(int(moves / spacing), 1, kWidestStep);
        for (int i = lo; i < hi; i += widest) {
            refine(i, std::min(i + widest, hi));
        }
        premium(hi);
    }

    double premium(int i) {
        const std::size_t k = std::size_t(i);
        premium_[k] = ask(i) - european_[k];
        return premium_[k];
    }

    // The premium asked at i and j: drawn between them where the middle
    // agrees with the line from i to j, split at the middle where it does
    // not.
    void refine(int i, int j) {
        const double pi = premium(i);
        const double pj = premium(j);
        if (j - i <= 1) {
            return;
        }
        const int m = (i + j) / 2;
        const double pm = premium(m);
        const double line = pi + (pj - pi) * (m - i) / (j - i);
        if (!(std::abs(pm - line) <= tolerance_)) {
            refine(i, m);
            refine(m, j);
            return;
        }
        for (int k = i + 1; k < j; ++k) {
            if (k != m) {
                premium_[std::size_t(k)] = parabola(i, m, j, k);
            }
        }
    }

    // Lagrange's parabola through the premium at i, m and j, at k.
    double parabola(int i, int m, int j, int k) const {
        const double xi = i, xm = m, xj = j, x = k;
        return premium_[std::size_t(i)] * (x - xm) * (x - xj) / ((xi - xm) * (xi - xj)) +
               premium_[std::size_t(m)] * (x - xi) * (x - xj) / ((xm - xi) * (xm - xj)) +
               premium_[std::size_t(j)] * (x - xi) * (x - xm) / ((xj - xi) * (xj - xm));
    }

    Quote q_;
    double volatility_;
    double from_;
    double to_;
    int points_;
    double tolerance_;
    std::vector<double> european_;
    std::vector<double> american_;
    std::vector<bool> asked_;
    std::vector<double> premium_;
    bool failed_ = false;
};

} // namespace

std::vector<double> priceCurve(const Quote& q, double volatility, double from, double to,
                               int points, double tolerance) {
    if (points <= 0) {
        return {};
    }
    if (!earlyExerciseMayPay(q) || !(to > from)) {
        std::vector<double> out(std::size_t(points) + 1);
        Quote at = q;
        for (int i = 0; i <= points; ++i) {
            at.spot = from + (to - from) * i / points;
            out[std::size_t(i)] = orNone(price(at, volatility));
        }
        return out;
    }
    return AmericanCurve(q, volatility, from, to, points, tolerance).curve();
}

} // namespace workbench::pricing
