#pragma once

#include <optional>

// European options on an underlying without dividends, priced by Black and
// Scholes with a continuous rate. The one place that knows the pricing
// library; everything else asks here.
namespace workbench::pricing {

enum class Right { Call, Put };

struct Quote {
    Right right = Right::Call;
    double spot = 0;
    double strike = 0;
    double years = 0; // to expiry; 0 is expiry itself
    double rate = 0;  // continuous, 0.05 for 5 %
};

// The price and how it moves: delta and gamma in the underlying's price,
// theta per calendar day (as the days pass, so a long option's is below 0),
// vega per volatility point (0.01).
struct Valuation {
    double value = 0;
    double delta = 0;
    double gamma = 0;
    double thetaPerDay = 0;
    double vegaPerPoint = 0;
};

// The price and the valuation, or nothing where the model cannot value the
// option: a strike or a volatility below 0, or numbers beyond what it can
// carry (a strike so close to 0 that its sensitivities are undefined). The
// library's own failures end here, in words the caller can give.
std::optional<double> price(const Quote& q, double volatility);
std::optional<Valuation> value(const Quote& q, double volatility);

// The volatility whose price is `premium`; nothing when no volatility above 0
// gives it (a premium at or below the option's least value, or a call at the
// underlying's price or more).
std::optional<double> impliedVolatility(const Quote& q, double premium);

} // namespace workbench::pricing
