#include "PositionAnalysis.h"

#include "platform/Numbers.h"

#include <algorithm>
#include <cmath>

namespace workbench::analysis {

namespace {

// A millionth: see the header. It scales the size of each number below.
constexpr double relativeMargin = 1e-6;

// The row's holdings as the evaluation sees them, in double.
struct Leg {
    double strike;
    double callQty;
    double putQty;
};

// The value at 0 and at each kink, with the slope beyond the last: the whole
// curve over S >= 0. Each corner carries its own margin, a millionth of the
// sum of the sizes of the terms that make up its value, for that is how far
// 32-bit inputs can leave it from the value the student meant.
struct Corners {
    std::vector<double> price; // 0, then the kinks
    std::vector<double> value;
    std::vector<double> margin;
    double lastSlope = 0;
    double flat = 0; // a last slope within this counts as 0
};

// A piecewise linear sum swept from 0 upward: its value at the price reached
// and its slope just above it. A call adds to the slope once the price is past
// its strike, a put until the price reaches it.
struct Sweep {
    double value;
    double slope;

    void start(double strike, double callQty, double putQty) {
        if (strike <= 0) {
            value -= callQty * strike;
            slope += callQty;
        } else {
            value += putQty * strike;
            slope -= putQty;
        }
    }
    void move(double distance) { value += slope * distance; }
};

// The corners of the value, swept alongside the sizes of its terms (the same
// sweep with every quantity and constant taken as its absolute size).
Corners corners(std::vector<Leg>& legs, Sweep value, Sweep size, double priceLevel) {
    std::sort(legs.begin(), legs.end(),
              [](const Leg& a, const Leg& b) { return a.strike < b.strike; });
    for (const Leg& leg : legs) {
        value.start(leg.strike, leg.callQty, leg.putQty);
        size.start(leg.strike, std::abs(leg.callQty), std::abs(leg.putQty));
    }
    Corners c;
    // Whatever the position, a millionth of one unit at the price level is
    // nothing a student holds: the margin never falls below that.
    const auto keep = [&](double price) {
        c.price.push_back(price);
        c.value.push_back(value.value);
        c.margin.push_back(relativeMargin * std::max(size.value, priceLevel));
    };
    keep(0);
    for (std::size_t i = 0; i < legs.size();) {
        const double K = legs[i].strike;
        double bend = 0;
        double bendSize = 0;
        for (; i < legs.size() && legs[i].strike == K; ++i) {
            bend += legs[i].callQty + legs[i].putQty;
            bendSize += std::abs(legs[i].callQty) + std::abs(legs[i].putQty);
        }
        if (K <= 0) {
            continue; // in the slope from the start
        }
        value.move(K - c.price.back());
        size.move(K - c.price.back());
        keep(K);
        value.slope += bend;
        size.slope += bendSize;
    }
    c.lastSlope = value.slope;
    c.flat = relativeMargin * std::max(size.slope, 1.0);
    return c;
}

// Where the curve reaches `target`, as spans: the corners within their margin
// of it (or of the target's own, for an extreme), where two neighbours that
// both reach it hold the straight piece between them at it too and so join
// into one span; and the last corner's span runs on when the last slope is
// flat.
std::vector<PriceSpan> placesOf(const Corners& c, double target, double targetMargin) {
    std::vector<PriceSpan> spans;
    bool previous = false;
    for (std::size_t i = 0; i < c.price.size(); ++i) {
        const bool here = std::abs(c.value[i] - target) <= std::max(c.margin[i], targetMargin);
        if (here && previous) {
            spans.back().to = c.price[i];
        } else if (here) {
            spans.push_back({c.price[i], c.price[i]});
        }
        previous = here;
    }
    if (previous && std::abs(c.lastSlope) <= c.flat) {
        spans.back().to = unbounded;
    }
    return spans;
}

// The highest (sign 1) or lowest (sign -1) value: at a corner, unless the
// value runs off beyond the last.
Extreme extreme(const Corners& c, double sign) {
    Extreme e;
    if (sign * c.lastSlope > c.flat) {
        e.unlimited = true;
        return e;
    }
    std::size_t best = 0;
    for (std::size_t i = 1; i < c.value.size(); ++i) {
        if (sign * c.value[i] > sign * c.value[best]) {
            best = i;
        }
    }
    e.value = std::abs(c.value[best]) <= c.margin[best] ? 0.0 : c.value[best];
    e.where = placesOf(c, c.value[best], c.margin[best]);
    return e;
}

// Prices where the value is 0: the places of 0 among the corners, and the
// crossings of 0 between corners or beyond the last one.
std::vector<PriceSpan> breakEvens(const Corners& c) {
    std::vector<PriceSpan> zeros = placesOf(c, 0, 0);
    const auto side = [&c](std::size_t i) {
        return c.value[i] > c.margin[i] ? 1 : c.value[i] < -c.margin[i] ? -1 : 0;
    };
    const std::size_t last = c.price.size() - 1;
    for (std::size_t i = 0; i < last; ++i) {
        if (side(i) * side(i + 1) < 0) {
            // The share of the piece before the crossing lies in [0, 1]
            // whatever the rounding, so the crossing stays inside the piece.
            const double a = c.value[i];
            const double x =
                c.price[i] + (c.price[i + 1] - c.price[i]) * (a / (a - c.value[i + 1]));
            zeros.push_back({x, x});
        }
    }
    if (std::abs(c.lastSlope) > c.flat && side(last) * c.lastSlope < 0) {
        const double x = c.price[last] - c.value[last] / c.lastSlope;
        zeros.push_back({x, x});
    }
    std::sort(zeros.begin(), zeros.end(),
              [](const PriceSpan& a, const PriceSpan& b) { return a.from < b.from; });
    return zeros;
}

// The value at S of the swept legs on top of `base`, what the premiums and
// the underlying's price take off: valueAt on the decimal state.
double valueOfLegs(const std::vector<Leg>& legs, double base, double underlyingQty, double S) {
    double v = base + underlyingQty * S;
    for (const Leg& leg : legs) {
        v += leg.callQty * std::max(S - leg.strike, 0.0) +
             leg.putQty * std::max(leg.strike - S, 0.0);
    }
    return v;
}

} // namespace

double valueAt(const PositionState& p, double S, payoff::DiagramKind kind) {
    const double f = kind;
    double v = (S - f * p.underlyingPrice) * p.underlyingQty;
    for (int r = 1; r <= p.rowCount(); ++r) {
        if (!p.takesPart[std::size_t(r)]) {
            continue;
        }
        const double K = p.strike[r];
        v += p.callQty[r] * (std::max(S - K, 0.0) - f * p.callPrice[r]);
        v += p.putQty[r] * (std::max(K - S, 0.0) - f * p.putPrice[r]);
    }
    return v - f * tradingCosts(p);
}

double tradingCosts(const PositionState& p) {
    using platform::numbers::decimalValue;
    double options = 0;
    for (int r = 1; r <= p.rowCount(); ++r) {
        if (p.takesPart[std::size_t(r)]) {
            options += std::abs(decimalValue(p.callQty[r])) + std::abs(decimalValue(p.putQty[r]));
        }
    }
    return decimalValue(p.costPerOption) * options +
           decimalValue(p.costPerUnit) * std::abs(decimalValue(p.underlyingQty));
}

Analysis analyse(const PositionState& p, payoff::DiagramKind kind) {
    using platform::numbers::decimalValue;
    const double f = kind;
    const double uq = decimalValue(p.underlyingQty);
    Analysis a;
    a.kind = kind;
    a.underlyingQty = uq;
    a.todayPrice = decimalValue(p.underlyingPrice);
    a.underlyingCost = uq * a.todayPrice;

    // What the diagram subtracts, and the same in absolute sizes.
    double premiumSizes = 0;
    double priceLevel = std::abs(a.todayPrice);
    std::vector<Leg> legs;
    legs.reserve(std::size_t(p.rowCount()));
    for (int r = 1; r <= p.rowCount(); ++r) {
        if (!p.takesPart[std::size_t(r)]) {
            continue;
        }
        const Leg leg{decimalValue(p.strike[r]), decimalValue(p.callQty[r]),
                      decimalValue(p.putQty[r])};
        const double calls = leg.callQty * decimalValue(p.callPrice[r]);
        const double puts = leg.putQty * decimalValue(p.putPrice[r]);
        a.netPremium += calls + puts;
        premiumSizes += std::abs(calls) + std::abs(puts);
        if (leg.callQty != 0 || leg.putQty != 0) {
            legs.push_back(leg);
            priceLevel = std::max(priceLevel, std::abs(leg.strike));
        }
    }
    a.tradingCosts = tradingCosts(p);
    const double base = -f * (a.netPremium + a.underlyingCost + a.tradingCosts);
    const Sweep value{base, uq};
    const Sweep size{f * (premiumSizes + std::abs(a.underlyingCost) + a.tradingCosts),
                     std::abs(uq)};
    const Corners c = corners(legs, value, size, priceLevel);

    a.kinks.assign(c.price.begin() + 1, c.price.end());
    a.breakEvens = breakEvens(c);
    a.highest = extreme(c, 1);
    a.lowest = extreme(c, -1);
    a.valueToday = valueOfLegs(legs, base, uq, a.todayPrice);
    a.tolerance = *std::max_element(c.margin.begin(), c.margin.end());
    return a;
}

} // namespace workbench::analysis
