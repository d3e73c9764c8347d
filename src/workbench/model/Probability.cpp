#include "Probability.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>
#include <optional>
#include <utility>
#include <vector>

namespace workbench::probability {

namespace {

constexpr double kNone = std::numeric_limits<double>::quiet_NaN();

double normal(double x) {
    return 0.5 * std::erfc(-x / std::sqrt(2.0));
}

// A piece of the value, V(S) = level + slope * S for S in [from, to].
struct Piece {
    double from;
    double to;
    double level;
    double slope;
};

// The value's pieces over S >= 0: between 0 and the strikes held, and
// beyond the last one, swept from 0 upward as each strike bends the slope.
std::vector<Piece> pieces(const PositionState& p, const analysis::Analysis& a) {
    std::vector<std::pair<double, double>> bends; // strike, change of slope
    double slope = p.underlyingQty;
    for (int r = 1; r <= p.rowCount(); ++r) {
        if (!p.takesPart[std::size_t(r)]) {
            continue;
        }
        const double K = p.strike[r];
        if (K <= 0) {
            slope += p.callQty[r]; // in the money at every price
        } else {
            slope -= p.putQty[r];
            bends.emplace_back(K, double(p.callQty[r]) + p.putQty[r]);
        }
    }
    std::sort(bends.begin(), bends.end());
    double at = 0;
    double value = analysis::valueAt(p, 0, a.kind);
    std::vector<Piece> out;
    for (std::size_t i = 0; i < bends.size();) {
        const double K = bends[i].first;
        out.push_back({at, K, value - slope * at, slope});
        value += slope * (K - at);
        at = K;
        for (; i < bends.size() && bends[i].first == K; ++i) {
            slope += bends[i].second;
        }
    }
    out.push_back({at, analysis::unbounded, value - slope * at, slope});
    return out;
}

} // namespace

double Lognormal::mean() const {
    return std::log(spot) + (rate - dividend - volatility * volatility / 2) * years;
}

double Lognormal::spread() const {
    return volatility * std::sqrt(years);
}

double Lognormal::chance(double from, double to) const {
    const auto d = [&](double x) {
        return x <= 0 ? -std::numeric_limits<double>::infinity()
                      : (std::log(x) - mean()) / spread();
    };
    return normal(d(to)) - normal(d(from));
}

double Lognormal::partialMean(double from, double to) const {
    // E[S; S in [a, b]] = F (N(d(b) - s) - N(d(a) - s)), F = e^(mean + s^2 / 2).
    const double s = spread();
    const auto d = [&](double x) {
        return x <= 0 ? -std::numeric_limits<double>::infinity() : (std::log(x) - mean()) / s - s;
    };
    return std::exp(mean() + s * s / 2) * (normal(d(to)) - normal(d(from)));
}

double Lognormal::density(double S) const {
    if (!(S > 0)) {
        return 0;
    }
    const double z = (std::log(S) - mean()) / spread();
    return std::exp(-z * z / 2) / (S * spread() * std::sqrt(2 * std::numbers::pi));
}

double Lognormal::quantile(double k) const {
    return std::exp(mean() + k * spread());
}

Figures figures(const PositionState& p, const analysis::Analysis& a, const Lognormal& law) {
    Figures f;
    for (const Piece& piece : pieces(p, a)) {
        f.expected += piece.level * law.chance(piece.from, piece.to) +
                      piece.slope * law.partialMean(piece.from, piece.to);
        // Where on the piece the value is above 0: all of it, none of it, or
        // the part beyond its zero on the rising or falling side. What the
        // analysis takes for 0 is no profit.
        const auto above = [&](double S) { return piece.level + piece.slope * S > a.tolerance; };
        const double mid = std::isinf(piece.to) ? piece.from + 1 : (piece.from + piece.to) / 2;
        if (piece.slope == 0) {
            f.profit += above(mid) ? law.chance(piece.from, piece.to) : 0;
            continue;
        }
        const double zero = -piece.level / piece.slope;
        if (zero <= piece.from || zero >= piece.to) {
            f.profit += piece.level + piece.slope * mid > 0 ? law.chance(piece.from, piece.to) : 0;
        } else if (piece.slope > 0) {
            f.profit += law.chance(zero, piece.to);
        } else {
            f.profit += law.chance(piece.from, zero);
        }
    }
    const auto reached = [&](const analysis::Extreme& e) {
        if (e.unlimited) {
            return kNone;
        }
        double sum = 0;
        for (const analysis::PriceSpan& span : e.where) {
            sum += law.chance(span.from, span.to);
        }
        return sum;
    };
    f.highest = reached(a.highest);
    f.lowest = reached(a.lowest);
    return f;
}

double chanceAboveZero(const Lognormal& law, const std::vector<double>& prices,
                       const std::vector<double>& values) {
    double chance = 0;
    std::optional<std::size_t> last;
    const double unbounded = std::numeric_limits<double>::infinity();
    for (std::size_t i = 0; i < prices.size() && i < values.size(); ++i) {
        if (!std::isfinite(values[i])) {
            continue;
        }
        if (!last) {
            // Below the first known price the curve keeps its sign.
            if (values[i] > 0) {
                chance += law.chance(0, prices[i]);
            }
        } else {
            const double a = prices[*last];
            const double b = prices[i];
            const double va = values[*last];
            const double vb = values[i];
            if (va > 0 && vb > 0) {
                chance += law.chance(a, b);
            } else if ((va > 0) != (vb > 0)) {
                // Where the straight piece crosses 0.
                const double x = a + (b - a) * va / (va - vb);
                chance += va > 0 ? law.chance(a, x) : law.chance(x, b);
            }
        }
        last = i;
    }
    if (last && values[*last] > 0) {
        chance += law.chance(prices[*last], unbounded);
    }
    return chance;
}

} // namespace workbench::probability
