#include "PayoffEvaluation.h"

#include <algorithm>
#include <cmath>

namespace workbench::payoff {

using platform::numbers::single;

PriceRange priceRange(float xmin, float xmax) {
    if (xmin >= xmax) {
        xmax = single(double(xmin) + 1.0);
    }
    return {xmin, xmax, single((double(xmax) - double(xmin)) / 100.0)};
}

float positionValue(const workbench::PositionState& p, float S, DiagramKind f) {
    const double s = S;
    const double fd = f;
    float V = single((s - fd * double(p.underlyingPrice)) * double(p.underlyingQty));
    double optionsTraded = 0;
    for (int r = 1; r <= p.rowCount(); ++r) {
        // A row held in no quantity leaves every step below at V exactly.
        if (!p.takesPart[std::size_t(r)] || (p.callQty[r] == 0 && p.putQty[r] == 0)) {
            continue;
        }
        const double K = p.strike[r];
        const double cq = p.callQty[r];
        const double pq = p.putQty[r];
        optionsTraded += std::abs(cq) + std::abs(pq);
        // Strict comparisons: at the strike neither option is worth anything.
        if (s > K) {
            V = single((s - K) * cq + double(V));
        }
        V = single(double(V) - fd * cq * double(p.callPrice[r]));
        if (s < K) {
            V = single((K - s) * pq + double(V));
        }
        V = single(double(V) - fd * pq * double(p.putPrice[r]));
    }
    // Trading costs come off once, last; without them V stays as it is.
    const double costs = double(p.costPerOption) * optionsTraded +
                         double(p.costPerUnit) * std::abs(double(p.underlyingQty));
    if (fd != 0 && costs != 0) {
        V = single(double(V) - costs);
    }
    return V;
}

std::vector<float> valuesAtStrikes(const workbench::PositionState& p,
                                   const std::vector<float>& strikes, DiagramKind f) {
    const double fd = f;
    struct Held {
        double strike, call, put;
    };
    std::vector<Held> rows;
    double premiums = 0;
    double optionsTraded = 0;
    for (int r = 1; r <= p.rowCount(); ++r) {
        if (!p.takesPart[std::size_t(r)] || (p.callQty[r] == 0 && p.putQty[r] == 0)) {
            continue;
        }
        const double cq = p.callQty[r];
        const double pq = p.putQty[r];
        rows.push_back({double(p.strike[r]), cq, pq});
        premiums += cq * double(p.callPrice[r]) + pq * double(p.putPrice[r]);
        optionsTraded += std::abs(cq) + std::abs(pq);
    }
    std::sort(rows.begin(), rows.end(),
              [](const Held& a, const Held& b) { return a.strike < b.strike; });
    const double costs = double(p.costPerOption) * optionsTraded +
                         double(p.costPerUnit) * std::abs(double(p.underlyingQty));
    const double fixed = fd * (premiums + costs);
    // Strict comparisons, as positionValue's: at its strike an option is
    // worth nothing. Calls pay on the rows below the price, puts on those
    // above it: their quantities, and quantities by strike, either side.
    double putQty = 0;
    double putByStrike = 0;
    for (const Held& h : rows) {
        putQty += h.put;
        putByStrike += h.put * h.strike;
    }
    double callQty = 0;
    double callByStrike = 0;
    std::size_t below = 0;
    std::size_t atOrBelow = 0;
    std::vector<float> out;
    out.reserve(strikes.size());
    for (const float strike : strikes) {
        const double s = strike;
        for (; below < rows.size() && rows[below].strike < s; ++below) {
            callQty += rows[below].call;
            callByStrike += rows[below].call * rows[below].strike;
        }
        for (; atOrBelow < rows.size() && rows[atOrBelow].strike <= s; ++atOrBelow) {
            putQty -= rows[atOrBelow].put;
            putByStrike -= rows[atOrBelow].put * rows[atOrBelow].strike;
        }
        const double underlying = (s - fd * double(p.underlyingPrice)) * double(p.underlyingQty);
        out.push_back(
            single(underlying + (callQty * s - callByStrike) + (putByStrike - putQty * s) - fixed));
    }
    return out;
}

} // namespace workbench::payoff
