#pragma once

#include <optional>

// Options on an underlying with a continuous dividend yield: European ones
// priced by Black, Scholes and Merton, American ones by the pricing library's
// fixed-point engine. The one place that knows the pricing library;
// everything else asks here.
namespace workbench::pricing {

enum class Right { Call, Put };

struct Quote {
    Right right = Right::Call;
    double spot = 0;
    double strike = 0;
    double years = 0;      // to expiry, in whole days of 365 to the year; 0 is expiry itself
    double rate = 0;       // continuous, 0.05 for 5 %
    double dividend = 0;   // continuous yield, 0.02 for 2 %
    bool american = false; // exercise at any time up to expiry
};

// The price and how it moves: delta and gamma in the underlying's price,
// theta per calendar day (the derivative in time as the days pass, so a long
// option's is below 0), vega per volatility point (0.01). An American
// option's are differences of its prices: 1 % of the underlying's price
// either way, thetaStep days either way, half a point either way.
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

// One figure of the valuation alone: an option priced by formula is asked
// for no more than that figure, at half the cost of the whole valuation; an
// American one (and one on a worthless underlying) is valued whole. Nothing
// where the model cannot give that figure.
enum class Sensitivity { Delta, Gamma, ThetaPerDay, VegaPerPoint };
std::optional<double> sensitivity(const Quote& q, double volatility, Sensitivity s);

// The differences an American option's valuation takes: the underlying's
// price this share of itself either way, the volatility this much either way
// (up only, from below it: the engine wants a volatility above 0), and the
// time left this many days either way.
inline constexpr double priceStep = 0.01;
inline constexpr double volatilityStep = 0.005;
inline constexpr double thetaStep = 0.25;
// The quote and its volatility as they stand `days` later (earlier for a
// negative count), to a fraction of a day. The engine counts whole days, so
// the days left are kept and the rates and the variance scaled instead: an
// option over T at rates r, q and volatility s is the same option over T k
// at r / k, q / k and s / sqrt(k).
struct Later {
    Quote quote;
    double volatility = 0;
};
Later daysLater(const Quote& q, double volatility, double days);

// The volatility whose price is `premium`, under the quote's exercise;
// nothing when no volatility above 0 gives it (a premium at or below the
// option's least value, for an American option at least what exercising now
// pays, or at or above the most it can be worth).
std::optional<double> impliedVolatility(const Quote& q, double premium);

// Whether exercising before expiry can ever be worth more than holding: an
// American option with time left, except a call whose underlying pays no
// more than the rate (q <= 0, r >= q) and a put whose rate is at most 0 and
// at most the yield (r <= 0, r <= q). Those are worth their European twins.
bool earlyExerciseMayPay(const Quote& q);

// Where exercising early pays: the critical price, at which holding the
// option and exercising it now are worth the same, to well within a cent;
// exercise pays at or below it for a put and at or above it for a call. The
// quote's own spot plays no part. Found from the engine's prices: holding
// is worth more than exercising by the square of the distance from the
// critical price near it, so two prices where the excess reaches two small
// levels give it by extrapolation. Nothing for a European quote, at
// expiry, where exercise never pays early (earlyExerciseMayPay), where
// exercise pays in a band between two prices rather than all the way to 0
// (a put with r < 0 and q < r, a call with q < 0 and r < q), for a call whose
// boundary lies beyond a hundred times its strike, or where the model fails.
std::optional<double> earlyExerciseBoundary(const Quote& q, double volatility);

} // namespace workbench::pricing
