#pragma once

#include "OptionPricing.h"

#include <vector>

namespace workbench::pricing {

// The prices of one option at points + 1 prices of the underlying evenly
// spaced from `from` to `to` (the i-th at from + (to - from) * i / points),
// each within `tolerance` of what price() gives there, not a number where it
// gives none. A European option's price is smooth in the underlying's, so
// it is asked only as finely as the curve bends, by Black's formula written
// out for the whole curve. An American option's price costs the engine far more, so the engine is
// asked only where the price is neither its exercise value nor its European price to within the
// tolerance (both found by bisection on the engine's prices, as what holding adds over exercising,
// and what early exercise adds over the European price, only move one way along the curve), and
// there only as finely as the curve bends.
std::vector<double> priceCurve(const Quote& q, double volatility, double from, double to,
                               int points, double tolerance);

} // namespace workbench::pricing
