#include "PriceCurve.h"

#include "HermiteFill.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>
#include <numbers>

namespace workbench::pricing {

namespace {

constexpr double kNone = std::numeric_limits<double>::quiet_NaN();

// The widest step between the first prices asked of the engine where its
// curve is smooth, in points.
constexpr int kWidestStep = 16;

double orNone(std::optional<double> value) {
    return value ? *value : kNone;
}

// A smooth function of the point along the curve, asked only where the
// curve needs it: at steps no wider than `widest` points, and at the middle
// of each step, which is split again wherever its middle strays from the
// straight line by more than the tolerance. Between the points asked it is
// Lagrange's parabola through a step's ends and middle.
class SmoothFill {
public:
    using Ask = std::function<double(int)>;
    SmoothFill(std::vector<double>& values, double tolerance, Ask ask)
        : values_(values), asked_(values.size(), false), tolerance_(tolerance),
          ask_(std::move(ask)) {}

    // Fills values[lo..hi].
    void fill(int lo, int hi, int widest) {
        for (int i = lo; i < hi; i += widest) {
            refine(i, std::min(i + widest, hi));
        }
        value(hi);
    }

private:
    // Each point is asked once, though steps share their ends.
    double value(int i) {
        const std::size_t k = std::size_t(i);
        if (!asked_[k]) {
            values_[k] = ask_(i);
            asked_[k] = true;
        }
        return values_[k];
    }

    void refine(int i, int j) {
        const double vi = value(i);
        const double vj = value(j);
        if (j - i <= 1) {
            return;
        }
        const int m = (i + j) / 2;
        const double vm = value(m);
        const double line = vi + (vj - vi) * (m - i) / (j - i);
        if (!(std::abs(vm - line) <= tolerance_)) {
            refine(i, m);
            refine(m, j);
            return;
        }
        for (int k = i + 1; k < j; ++k) {
            if (k != m) {
                values_[std::size_t(k)] = parabola(i, m, j, k);
            }
        }
    }

    double parabola(int i, int m, int j, int k) const {
        const double xi = i, xm = m, xj = j, x = k;
        return values_[std::size_t(i)] * (x - xm) * (x - xj) / ((xi - xm) * (xi - xj)) +
               values_[std::size_t(m)] * (x - xi) * (x - xj) / ((xm - xi) * (xm - xj)) +
               values_[std::size_t(j)] * (x - xi) * (x - xm) / ((xj - xi) * (xj - xm));
    }

    std::vector<double>& values_;
    std::vector<bool> asked_;
    double tolerance_;
    Ask ask_;
};

// The widest first step along a curve: the price's move in one standard
// deviation, in points.
int widestStep(const Quote& q, double volatility, double from, double to, int points) {
    const double spacing = std::abs(to - from) / points;
    const double moves = volatility * std::sqrt(q.years) * q.strike;
    return std::clamp(int(moves / spacing), 1, kWidestStep);
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
        SmoothFill(premium_, tolerance_, [this](int i) {
            return ask(i) - european_[std::size_t(i)];
        }).fill(lo, hi, widestStep(q_, volatility_, from_, to_, points_));
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

// The standard normal distribution function.
double normal(double x) {
    return 0.5 * std::erfc(-x * std::numbers::sqrt2 / 2);
}

// Beyond this many standard deviations the normal distribution is 0 or 1 as
// far as a price can tell.
constexpr double kCertain = 8.3;

// A European option along the curve by Black's formula written out, the
// discounting, the growth to the forward and the standard deviation found
// once for the whole curve, each price with its delta so that the curve is
// asked only where it bends (HermiteFill). No time or no volatility left, or
// prices not above 0: each price as the library gives it.
std::vector<double> europeanCurve(const Quote& q, double volatility, double from, double to,
                                  int points, double tolerance) {
    const double deviation = volatility * std::sqrt(std::max(q.years, 0.0));
    const double discount = std::exp(-q.rate * q.years);
    const double carry = std::exp(-q.dividend * q.years);
    const double growth = std::exp((q.rate - q.dividend) * q.years);
    const double logStrike = std::log(q.strike);
    const double sign = q.right == Right::Call ? 1 : -1;
    const double perPoint = (to - from) / points;
    const auto spot = [&](int i) { return from + (to - from) * i / points; };
    const bool formula = deviation > 0 && std::isfinite(deviation) && std::isfinite(discount) &&
                         std::isfinite(growth) && std::isfinite(carry) && q.strike > 0 &&
                         std::isfinite(q.strike) && from > 0 && to > from && std::isfinite(to);
    if (formula) {
        const auto ask = [&](int i, double& value, double& slope) {
            const double forward = spot(i) * growth;
            const double d1 = (std::log(forward) - logStrike) / deviation + deviation / 2;
            const double d2 = d1 - deviation;
            // Far in the money both chances are 1 to the last bit (the normal
            // distribution reaches 1 - 2^-54 by 8.3); far out of it the
            // option is worth less than 1e-18 of the forward. Neither needs
            // the error function.
            if (std::min(sign * d1, sign * d2) > kCertain) {
                value = std::max(discount * sign * (forward - q.strike), 0.0);
                slope = sign * carry * perPoint;
            } else if (sign * d1 < -kCertain) {
                value = 0;
                slope = 0;
            } else {
                const double n1 = normal(sign * d1);
                value =
                    std::max(discount * sign * (forward * n1 - q.strike * normal(sign * d2)), 0.0);
                slope = sign * carry * n1 * perPoint;
            }
        };
        std::vector<double> out =
            HermiteFill(points, tolerance, ask).fill(widestStep(q, volatility, from, to, points));
        if (std::all_of(out.cbegin(), out.cend(), [](double v) { return std::isfinite(v); })) {
            return out;
        }
    }
    std::vector<double> out(std::size_t(points) + 1);
    for (int i = 0; i <= points; ++i) {
        Quote at = q;
        at.spot = spot(i);
        out[std::size_t(i)] = orNone(price(at, volatility));
    }
    return out;
}

} // namespace

std::vector<double> priceCurve(const Quote& q, double volatility, double from, double to,
                               int points, double tolerance) {
    if (points <= 0) {
        return {};
    }
    if (!earlyExerciseMayPay(q)) {
        return europeanCurve(q, volatility, from, to, points, tolerance);
    }
    if (!(to > from)) {
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
