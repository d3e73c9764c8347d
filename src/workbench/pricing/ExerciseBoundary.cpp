#include "HoldingExcess.h"
#include "OptionPricing.h"

#include <cmath>
#include <exception>
#include <map>
#include <tuple>

namespace workbench::pricing {

namespace {

// Where exercising early pays is found in two stages. A bisection on the
// fast scheme's prices, to this share of the strike, finds where holding is
// first worth more than exercising by kExcessLevel of the strike: a price a
// little beyond the critical one. Lines through accurate prices on that
// side then find the critical price: the first through that price and one
// kSecondPoint of the strike further, the second through the prices where
// the excess is about kFinalExcess of the strike and four times that.
constexpr double kBoundaryPrecision = 1e-3;
constexpr double kExcessLevel = 1e-5;
constexpr double kSecondPoint = 5e-3;
constexpr double kFinalExcess = 1e-6;

// An option's price is homogeneous in its underlying's price and its strike
// together, so its critical price is a share of its strike: one search
// serves every strike of a market and date, the many rows of one position
// and the dates a held slider comes back to. Searched at this strike.
constexpr double kReferenceStrike = 100;

// Enough for a position's rights at every date of a long slider; past it
// the shares are found again.
constexpr std::size_t kRememberedShares = 512;

std::optional<double> criticalPrice(const Quote& q, double volatility) {
    // What holding is worth over exercising now, at price S: it only grows
    // as a put's price rises and as a call's falls.
    const auto excess = [&](double S, bool accurate) {
        Quote at = q;
        at.spot = S;
        return detail::holdingExcess(at, volatility, accurate);
    };
    const bool put = q.right == Right::Put;
    const double level = kExcessLevel * q.strike;
    const auto holds = [&](double S) { return excess(S, false) > level; };
    try {
        // Where holding is first worth a little more, bisected on the fast
        // scheme's prices: a price near the critical one, on the side where
        // holding pays.
        double near = 0;
        if (put) {
            // With the rate above 0 a worthless underlying is exercised at
            // once; an option out of the money never is.
            double lo = 0;
            double hi = q.strike;
            if (!holds(hi)) {
                return hi;
            }
            while (hi - lo > kBoundaryPrecision * q.strike) {
                const double mid = (lo + hi) / 2;
                (holds(mid) ? hi : lo) = mid;
            }
            near = hi;
        } else {
            double lo = q.strike;
            if (!holds(lo)) {
                return lo;
            }
            double hi = 2 * q.strike;
            while (holds(hi)) {
                lo = hi;
                hi *= 2;
                if (hi > 100 * q.strike) {
                    return std::nullopt;
                }
            }
            while (hi - lo > kBoundaryPrecision * q.strike) {
                const double mid = (lo + hi) / 2;
                (holds(mid) ? lo : hi) = mid;
            }
            near = lo;
        }
        // Holding and exercising meet at the critical price with the same
        // slope, so the excess grows as the square of the distance from it:
        // its square root is straight there. A line through two accurate
        // prices on the holding side finds about where it reaches 0; a
        // second through two prices as near as the excess stays well above
        // the engine's error (a millionth and four millionths of the
        // strike) finds it to far within a cent.
        const double away = put ? 1 : -1;
        const auto root = [&](double S) { return std::sqrt(std::max(excess(S, true), 0.0)); };
        const auto line = [&](double a, double b) {
            const double ga = root(a);
            const double gb = root(b);
            return std::pair(a - ga * (b - a) / (gb - ga), (gb - ga) / (b - a));
        };
        const auto [first, slope] = line(near, near + away * kSecondPoint * q.strike);
        if (!std::isfinite(first) || !(slope * away > 0)) {
            return near;
        }
        const double step = std::sqrt(kFinalExcess * q.strike) / std::abs(slope);
        const double critical = line(first + away * step, first + away * 2 * step).first;
        return std::isfinite(critical) ? critical : first;
    } catch (const std::exception&) {
        // QuantLib::Error among others: no boundary to tell.
    }
    return std::nullopt;
}

} // namespace

std::optional<double> earlyExerciseBoundary(const Quote& q, double volatility) {
    if (!detail::singleBoundary(q, volatility)) {
        return std::nullopt;
    }
    using Market = std::tuple<Right, double, double, double, double>;
    // Per thread: the engine is asked from whichever thread values.
    thread_local std::map<Market, std::optional<double>> shares;
    const Market market{q.right, q.years, q.rate, q.dividend, volatility};
    auto found = shares.find(market);
    if (found == shares.end()) {
        if (shares.size() >= kRememberedShares) {
            shares.clear();
        }
        Quote reference = q;
        reference.strike = kReferenceStrike;
        reference.spot = kReferenceStrike;
        std::optional<double> share = criticalPrice(reference, volatility);
        if (share) {
            *share /= kReferenceStrike;
        }
        found = shares.emplace(market, share).first;
    }
    if (!found->second) {
        return std::nullopt;
    }
    return *found->second * q.strike;
}

} // namespace workbench::pricing
