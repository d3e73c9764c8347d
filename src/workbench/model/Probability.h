#pragma once

#include "PayoffEvaluation.h"
#include "PositionAnalysis.h"
#include "PositionState.h"

#include <vector>

// How likely the position's outcomes at expiry are under the risk-neutral
// lognormal law of the price: ln S_T is normal with mean
// ln S + (r - q - sigma^2 / 2) T and standard deviation sigma sqrt(T). The
// value at expiry is piecewise linear in S_T, bending only at the strikes
// held, so every figure is a sum over its pieces of closed forms (the normal
// distribution function at the pieces' ends), with no sampling.
namespace workbench::probability {

// The law of the price at expiry.
struct Lognormal {
    double spot = 0;       // today's price, above 0
    double years = 0;      // to expiry, above 0
    double rate = 0;       // continuous
    double dividend = 0;   // continuous yield
    double volatility = 0; // above 0

    double mean() const;   // of ln S_T
    double spread() const; // standard deviation of ln S_T
    // The probability that S_T lies in [from, to] (to may be unbounded).
    double chance(double from, double to) const;
    // E[S_T ; from <= S_T <= to].
    double partialMean(double from, double to) const;
    // The density of S_T at S.
    double density(double S) const;
    // The price k standard deviations of ln S_T from its mean.
    double quantile(double k) const;
};

struct Figures {
    double profit = 0;   // the probability that the value ends above 0
    double expected = 0; // the expected value at expiry
    // The probability that the highest (lowest) value is where the price
    // ends; not a number while that extreme is unlimited.
    double highest = 0;
    double lowest = 0;
};

// The figures for the chosen diagram's value (profit or payoff) of the
// position `analysis` describes.
Figures figures(const PositionState& position, const analysis::Analysis& analysis,
                const Lognormal& law);

// The probability that a curve ends above 0 under the law: a curve known at
// increasing `prices` (its `values` there, not a number where unknown),
// straight between them and keeping the sign of its ends beyond them. For a
// value before expiry, found from the dashed curve's points, so that it
// costs a sweep of them, not a pricing.
double chanceAboveZero(const Lognormal& law, const std::vector<double>& prices,
                       const std::vector<double>& values);

} // namespace workbench::probability
