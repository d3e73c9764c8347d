#include "HoldingExcess.h"

#include <cmath>

namespace workbench::pricing::detail {

std::optional<double> secantImplied(const Quote& q, double premium, double start) {
    const auto excess = [&](double v) {
        const std::optional<double> p = price(q, v);
        return p ? *p - premium : std::nan("");
    };
    constexpr double h = 1e-4;
    Quote european = q;
    european.american = false;
    const std::optional<double> above = price(european, start + h);
    const std::optional<double> below = price(european, start - h);
    if (!above || !below) {
        return std::nullopt;
    }
    double v0 = start;
    double f0 = excess(v0);
    double v1 = v0 - f0 * 2 * h / (*above - *below);
    for (int step = 0; step < 8; ++step) {
        if (!std::isfinite(v1) || v1 <= leastVolatility || v1 >= mostVolatility) {
            return std::nullopt;
        }
        if (std::abs(v1 - v0) < 1e-9) {
            return v1;
        }
        const double f1 = excess(v1);
        if (!std::isfinite(f1) || f1 == f0) {
            return std::nullopt;
        }
        const double v2 = v1 - f1 * (v1 - v0) / (f1 - f0);
        v0 = v1;
        f0 = f1;
        v1 = v2;
    }
    return std::nullopt;
}

} // namespace workbench::pricing::detail
