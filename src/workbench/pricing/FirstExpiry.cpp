#include "FirstExpiry.h"

#include "workbench/model/LegExpiry.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

namespace workbench::firstexpiry {

namespace {

using analysis::PriceSpan;
using beforeexpiry::Valuer;

constexpr double kDaysPerYear = 365;
// Samples on each piece between two strikes, where a sign change brackets a
// break-even and the greatest sample starts the search for an extreme.
constexpr int kPiecePoints = 64;
// Within this the extreme's value holds over a span, as it reads to the cent.
constexpr double kHalfCent = 0.005;

// A price next to 0, where the model still prices and the value is what it
// tends to at 0.
constexpr double kNearZero = 1e-12;

// How the value runs as the price rises without end: every call's delta
// tends to its dividend's discount over the days it lives on, every put's
// to 0, so the value tends to slope S + level.
struct Asymptote {
    double slope = 0;
    double level = 0;
};

Asymptote asymptote(const PositionState& p, const beforeexpiry::Inputs& in, double cost) {
    Asymptote a{p.underlyingQty, -cost};
    for (int r = 1; r <= p.rowCount(); ++r) {
        if (!p.takesPart[std::size_t(r)] || p.callQty[r] == 0) {
            continue;
        }
        const double years =
            std::max(legexpiry::callDays(p, r, in.daysToday) - in.daysToday, 0) / kDaysPerYear;
        a.slope += p.callQty[r] * std::exp(-in.dividendYield * years);
        a.level -= p.callQty[r] * p.strike[r] * std::exp(-in.rate * years);
    }
    return a;
}

// Where the value is greatest (sign 1) or least (sign -1) between a and b,
// by golden section: the samples have put the extreme between them.
std::pair<double, double> extremeBetween(const Valuer& v, double a, double b, int sign) {
    const double g = (std::sqrt(5.0) - 1) / 2;
    double x1 = b - g * (b - a);
    double x2 = a + g * (b - a);
    double f1 = sign * v.valueAt(x1);
    double f2 = sign * v.valueAt(x2);
    // Near its extreme the value moves with the square of the step: a
    // ten-millionth of the price leaves it exact far beyond the cent.
    while (b - a > 1e-7 * std::max(1.0, b)) {
        if (f1 > f2) {
            b = x2;
            x2 = x1;
            f2 = f1;
            x1 = b - g * (b - a);
            f1 = sign * v.valueAt(x1);
        } else {
            a = x1;
            x1 = x2;
            f1 = f2;
            x2 = a + g * (b - a);
            f2 = sign * v.valueAt(x2);
        }
    }
    const double x = (a + b) / 2;
    return {x, v.valueAt(x)};
}

struct Sample {
    double S;
    double value;
};

// The value sampled over [0, top]: each piece between the strikes from its
// start to its end, the strikes themselves included once.
std::vector<Sample> samples(const Valuer& v, const std::vector<double>& strikes, double top) {
    std::vector<double> ends{0};
    ends.insert(ends.end(), strikes.begin(), strikes.end());
    ends.push_back(top);
    std::vector<Sample> out;
    for (std::size_t i = 0; i + 1 < ends.size(); ++i) {
        const std::vector<double> values = v.curve(ends[i], ends[i + 1], kPiecePoints);
        for (int j = i == 0 ? 0 : 1; j <= kPiecePoints; ++j) {
            out.push_back(
                {ends[i] + (ends[i + 1] - ends[i]) * j / kPiecePoints, values[std::size_t(j)]});
        }
    }
    // The model prices nothing at a price of 0 itself; the value there is
    // where it tends.
    if (!std::isfinite(out.front().value)) {
        out.front().value = v.valueAt(kNearZero);
    }
    return out;
}

// The extreme of one sign over the samples, refined between its neighbours,
// and where it holds to the cent: towards 0, without end, or at points.
analysis::Extreme extremeOf(const Valuer& v, const std::vector<Sample>& s, const Asymptote& tail,
                            int sign, double tolerance) {
    analysis::Extreme e;
    if (sign * tail.slope > 1e-9) {
        e.unlimited = true;
        return e;
    }
    // Only a sample that could lie under the extreme is refined: between its
    // neighbours the value climbs no further than they step.
    double bestSample = -std::numeric_limits<double>::infinity();
    for (const Sample& x : s) {
        bestSample = std::max(bestSample, sign * x.value);
    }
    std::vector<std::pair<double, double>> found;
    for (std::size_t i = 0; i < s.size(); ++i) {
        const double here = sign * s[i].value;
        const bool left = i == 0 || here >= sign * s[i - 1].value;
        const bool right = i + 1 == s.size() || here >= sign * s[i + 1].value;
        if (!left || !right) {
            continue;
        }
        const double reach = (i == 0 ? 0 : std::abs(s[i].value - s[i - 1].value)) +
                             (i + 1 == s.size() ? 0 : std::abs(s[i].value - s[i + 1].value));
        if (here + reach + tolerance < bestSample) {
            continue;
        }
        if (i == 0 || i + 1 == s.size()) {
            found.push_back({s[i].S, s[i].value});
        } else {
            found.push_back(extremeBetween(v, s[i - 1].S, s[i + 1].S, sign));
            // A strike itself may be the extreme (a kink): the samples hold it.
            if (sign * s[i].value > sign * found.back().second) {
                found.back() = {s[i].S, s[i].value};
            }
        }
    }
    // Where the value tends without end, if it rises (or falls) towards it.
    const bool towardsTail = std::abs(tail.slope) <= 1e-9;
    double best = towardsTail ? tail.level : -sign * std::numeric_limits<double>::infinity();
    for (const auto& [S, value] : found) {
        best = sign * value > sign * best ? value : best;
    }
    e.value = best;
    const auto holds = [&](double value) { return std::abs(value - best) <= kHalfCent; };
    // From 0 and towards the tail, the spans where the value reads as the
    // extreme; elsewhere the points that reach it.
    std::size_t low = 0;
    while (low < s.size() && holds(s[low].value)) {
        ++low;
    }
    if (low > 0) {
        e.where.push_back({0, s[low - 1].S});
    }
    std::size_t high = s.size();
    while (towardsTail && high > low && holds(s[high - 1].value) &&
           std::abs(best - tail.level) <= tolerance) {
        --high;
    }
    for (const auto& [S, value] : found) {
        const bool inSpan = (low > 0 && S <= s[low - 1].S) || (high < s.size() && S >= s[high].S);
        if (!inSpan && std::abs(value - best) <= tolerance) {
            e.where.push_back({S, S});
        }
    }
    if (high < s.size()) {
        e.where.push_back({s[high].S, analysis::unbounded});
    }
    std::sort(e.where.begin(), e.where.end(),
              [](const PriceSpan& a, const PriceSpan& b) { return a.from < b.from; });
    return e;
}

} // namespace

analysis::Analysis analyse(const PositionState& p, const beforeexpiry::Inputs& in,
                           const beforeexpiry::Valuer& atExpiry, payoff::DiagramKind kind) {
    // The premiums, the underlying and the costs read as ever; what the
    // value does between the strikes is found here.
    analysis::Analysis a = analysis::analyse(p, kind);
    a.firstExpiry = in.daysToday;
    a.breakEvens.clear();
    a.kinks.clear();
    a.highest = {};
    a.lowest = {};
    for (const float k : legexpiry::expiringStrikes(p, in.daysToday)) {
        a.kinks.push_back(k);
    }
    a.valueToday = atExpiry.valueAt(p.underlyingPrice);
    a.tolerance = std::max(a.tolerance, 1e-9);
    const double cost = double(kind) * (a.netPremium + a.underlyingCost + a.tradingCosts);
    const Asymptote tail = asymptote(p, in, cost);
    // Far enough that every option living on is worth its intrinsic value
    // there to well within a cent, or the value is plainly unbounded.
    double top = std::max({a.kinks.empty() ? 0.0 : a.kinks.back(), double(p.underlyingPrice), 1.0});
    top *= 2;
    while (top < 1e12 && std::abs(tail.slope) <= 1e-9 &&
           std::abs(atExpiry.valueAt(top) - (tail.slope * top + tail.level)) > kHalfCent / 10) {
        top *= 2;
    }
    const std::vector<Sample> s = samples(atExpiry, a.kinks, top);
    if (std::any_of(s.begin(), s.end(), [](const Sample& x) { return !std::isfinite(x.value); })) {
        return a;
    }
    for (std::size_t i = 0; i + 1 < s.size(); ++i) {
        if (s[i].value == 0) {
            a.breakEvens.push_back({s[i].S, s[i].S});
        } else if ((s[i].value > 0) != (s[i + 1].value > 0) && s[i + 1].value != 0) {
            const double x =
                beforeexpiry::crossing(atExpiry, s[i].S, s[i + 1].S, s[i].value, s[i + 1].value);
            a.breakEvens.push_back({x, x});
        }
    }
    a.highest = extremeOf(atExpiry, s, tail, 1, a.tolerance);
    a.lowest = extremeOf(atExpiry, s, tail, -1, a.tolerance);
    return a;
}

probability::Figures figures(const analysis::Analysis& a, const beforeexpiry::Valuer& atExpiry,
                             const probability::Lognormal& law) {
    probability::Figures f;
    // Above 0 between the break-evens where the value is.
    std::vector<double> ends{0};
    for (const PriceSpan& b : a.breakEvens) {
        ends.push_back(b.from);
    }
    ends.push_back(analysis::unbounded);
    for (std::size_t i = 0; i + 1 < ends.size(); ++i) {
        const double mid = std::isinf(ends[i + 1]) ? ends[i] * 2 + 1 : (ends[i] + ends[i + 1]) / 2;
        if (atExpiry.valueAt(mid) > 0) {
            f.profit += law.chance(ends[i], ends[i + 1]);
        }
    }
    // The expected value: in z = (ln S - mean) / spread the law is the
    // normal one; the value bends at the strikes, so each stretch between
    // them is integrated apart, over ten spreads either side.
    static constexpr std::array<double, 10> nodes = {
        0.0765265211334973, 0.2277858511416451, 0.3737060887154195, 0.5108670019508271,
        0.6360536807265150, 0.7463319064601508, 0.8391169718222188, 0.9122344282513259,
        0.9639719272779138, 0.9931285991850949};
    static constexpr std::array<double, 10> weights = {
        0.1527533871307258, 0.1491729864726037, 0.1420961093183820, 0.1316886384491766,
        0.1181945319615184, 0.1019301198172404, 0.0832767415767048, 0.0626720483341091,
        0.0406014298003869, 0.0176140071391521};
    std::vector<double> zs{-10};
    for (const double k : a.kinks) {
        const double z = (std::log(k) - law.mean()) / law.spread();
        if (z > -10 && z < 10) {
            zs.push_back(z);
        }
    }
    zs.push_back(10);
    // Each stretch in steps of two spreads at most.
    for (std::size_t i = 0; i + 1 < zs.size(); ++i) {
        const int steps = std::max(1, int(std::ceil((zs[i + 1] - zs[i]) / 2)));
        for (int j = 0; j < steps; ++j) {
            const double from = zs[i] + (zs[i + 1] - zs[i]) * j / steps;
            const double half = (zs[i + 1] - zs[i]) / steps / 2;
            for (std::size_t n = 0; n < nodes.size(); ++n) {
                for (const double side : {-1.0, 1.0}) {
                    const double z = from + half + side * half * nodes[n];
                    const double S = std::exp(law.mean() + law.spread() * z);
                    f.expected += half * weights[n] * atExpiry.valueAt(S) * std::exp(-z * z / 2) /
                                  std::sqrt(2 * M_PI);
                }
            }
        }
    }
    const auto reached = [&](const analysis::Extreme& e) {
        if (e.unlimited) {
            return std::numeric_limits<double>::quiet_NaN();
        }
        double sum = 0;
        for (const PriceSpan& span : e.where) {
            sum += law.chance(span.from, span.to);
        }
        return sum;
    };
    f.highest = reached(a.highest);
    f.lowest = reached(a.lowest);
    return f;
}

analysis::Analysis atExpiry(const PositionState& p, const beforeexpiry::Inputs& in,
                            payoff::DiagramKind kind, const beforeexpiry::Valuer& valuer) {
    return legexpiry::staggered(p, in.daysToday) && valuer.notValued().empty()
               ? analyse(p, in, valuer.atDaysLeft(0), kind)
               : analysis::analyse(p, kind);
}

probability::Figures figuresAtExpiry(const PositionState& p, const analysis::Analysis& a,
                                     const beforeexpiry::Valuer& valuer,
                                     const probability::Lognormal& law) {
    return a.firstExpiry > 0 ? figures(a, valuer.atDaysLeft(0), law)
                             : probability::figures(p, a, law);
}

std::optional<LaterQuotes> laterQuotes(const PositionState& p, const beforeexpiry::Inputs& in,
                                       int r, int days) {
    const beforeexpiry::Volatilities implied(p, in);
    LaterQuotes out;
    for (const pricing::Right right : {pricing::Right::Call, pricing::Right::Put}) {
        const std::optional<double> v = in.implied ? implied.implied(right, r) : std::nullopt;
        const std::optional<double> price =
            pricing::price({right, p.underlyingPrice, p.strike[r], days / kDaysPerYear, in.rate,
                            in.dividendYield, in.american},
                           v ? *v : in.volatility);
        if (!price) {
            return std::nullopt;
        }
        (right == pricing::Right::Call ? out.call : out.put) = *price;
    }
    return out;
}

} // namespace workbench::firstexpiry
