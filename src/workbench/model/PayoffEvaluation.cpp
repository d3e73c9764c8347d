#include "PayoffEvaluation.h"

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

} // namespace workbench::payoff
