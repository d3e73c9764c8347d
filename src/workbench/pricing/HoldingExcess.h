#pragma once

#include "OptionPricing.h"

#include <optional>

// What the search for the critical price asks of the engine, kept out of
// the public header: nothing outside pricing needs the engine's schemes.
namespace workbench::pricing::detail {

// The volatilities an American implied volatility is looked for between.
inline constexpr double leastVolatility = 0.001;
inline constexpr double mostVolatility = 10;

// Whether exercise pays early below one price (a put) or above one (a
// call): an American quote with days left, in the model's domain, whose
// boundary is not a band between two prices.
bool singleBoundary(const Quote& q, double volatility);

// What holding the American option is worth over exercising it at the
// quote's spot. The fast scheme prices curves to a tenth of a cent; the
// accurate one is for the boundary, where a millionth of the strike
// matters. Throws what the pricing library throws.
double holdingExcess(const Quote& q, double volatility, bool accurate);

// The American volatility of the premium by secant steps on the engine's
// price from `start` (the European volatility of the same premium, which
// lies close: early exercise adds little), the first along the European
// vega; nothing where the steps stray from the volatilities the engine takes
// or do not settle in eight prices.
std::optional<double> secantImplied(const Quote& q, double premium, double start);

} // namespace workbench::pricing::detail
