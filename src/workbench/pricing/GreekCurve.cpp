// The position's greeks across the prices: by formula where the options are
// priced by formula, from whole curves of prices where the engine prices them.
#include "BeforeExpiry.h"

#include "HermiteFill.h"
#include "PriceCurve.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

namespace workbench::beforeexpiry {

namespace {

constexpr double kNone = std::numeric_limits<double>::quiet_NaN();

// How far each curve of prices an American greek is the difference of may
// stray from the engine's prices, as a share of the option's strike: an
// option's price, and so its greeks' scale, grows with its strike, and a
// share of it keeps each option's greek equally close at any strike. A
// difference divides the error by its step: delta's by 2 % of the price,
// which leaves it within 0.002 at the strike; gamma's twice by 1 % of the
// price and vega's by a point, which want ten times finer to keep within
// about 1 % of their size at the strike, and theta's by half a day, twice
// finer again.
double strikeShare(Greek greek) {
    return greek == Greek::Delta ? 2e-5 : greek == Greek::Theta ? 1e-6 : 2e-6;
}

pricing::Sensitivity sensitivity(Greek greek) {
    switch (greek) {
    case Greek::Gamma:
        return pricing::Sensitivity::Gamma;
    case Greek::Theta:
        return pricing::Sensitivity::ThetaPerDay;
    case Greek::Vega:
        return pricing::Sensitivity::VegaPerPoint;
    default:
        return pricing::Sensitivity::Delta;
    }
}

// Evenly spaced prices, as Valuer::curve takes them.
struct Prices {
    double from;
    double to;
    int points;
    double at(int i) const { return from + (to - from) * i / points; }
};

// One option's greek as pricing::value gives it, price by price: by formula,
// or, for a price of 0 or below, as a worthless underlying leaves it.
double byFormula(pricing::Quote q, double volatility, Greek greek, double S) {
    q.spot = S;
    const std::optional<double> g = pricing::sensitivity(q, volatility, sensitivity(greek));
    return g ? *g : kNone;
}

// One American option's greek taken as pricing::value takes it, from the
// differences of whole curves of its prices: the prices at S (1 + priceStep)
// and S (1 - priceStep) are themselves evenly spaced, so each is one curve.
std::vector<double> byDifferences(const pricing::Quote& q, double volatility, Greek greek,
                                  const Prices& s, double tolerance) {
    const auto prices = [&](const pricing::Quote& quote, double v, double scale) {
        return pricing::priceCurve(quote, v, s.from * scale, s.to * scale, s.points, tolerance);
    };
    const std::size_t n = std::size_t(s.points) + 1;
    std::vector<double> out(n, kNone);
    const double step = pricing::priceStep;
    if (greek == Greek::Delta || greek == Greek::Gamma) {
        const std::vector<double> up = prices(q, volatility, 1 + step);
        const std::vector<double> down = prices(q, volatility, 1 - step);
        const std::vector<double> at =
            greek == Greek::Gamma ? prices(q, volatility, 1) : std::vector<double>();
        for (std::size_t i = 0; i < n; ++i) {
            const double h = step * s.at(int(i));
            out[i] = greek == Greek::Delta ? (up[i] - down[i]) / (2 * h)
                                           : (up[i] - 2 * at[i] + down[i]) / (h * h);
        }
    } else if (greek == Greek::Theta) {
        const double h = pricing::thetaStep;
        const pricing::Later before = pricing::daysLater(q, volatility, -h);
        const pricing::Later after = pricing::daysLater(q, volatility, h);
        const std::vector<double> earlier = prices(before.quote, before.volatility, 1);
        const std::vector<double> later = prices(after.quote, after.volatility, 1);
        for (std::size_t i = 0; i < n; ++i) {
            out[i] = (later[i] - earlier[i]) / (2 * h);
        }
    } else if (greek == Greek::Vega) {
        const double step = pricing::volatilityStep;
        const double lower = volatility > step ? volatility - step : volatility;
        const double upper = volatility + step;
        const std::vector<double> below = prices(q, lower, 1);
        const std::vector<double> above = prices(q, upper, 1);
        for (std::size_t i = 0; i < n; ++i) {
            out[i] = (above[i] - below[i]) / ((upper - lower) * 100);
        }
    }
    // No price at or below 0 asks the engine: the underlying is worthless.
    for (std::size_t i = 0; i < n; ++i) {
        if (!(s.at(int(i)) > 0)) {
            out[i] = byFormula(q, volatility, greek, s.at(int(i)));
        }
    }
    return out;
}

// One European option's greek along the curve by the formulas written out,
// each with its own slope in the price, so that the curve is asked only
// where it bends (HermiteFill) and held within a ten-thousandth of the
// greek's largest size, where the price is at the forward. Empty where the
// formulas have no room (no time or no volatility left, prices not above 0).
std::vector<double> byFormulaAlong(const pricing::Quote& q, double volatility, Greek greek,
                                   const Prices& s) {
    const double T = q.years;
    const double root = std::sqrt(std::max(T, 0.0));
    const double v = volatility * root;
    const double carry = std::exp(-q.dividend * T);
    const double discount = std::exp(-q.rate * T);
    const double growth = std::exp((q.rate - q.dividend) * T);
    const double sign = q.right == pricing::Right::Call ? 1 : -1;
    const double K = q.strike;
    if (!(v > 0) || !std::isfinite(v) || !std::isfinite(carry * discount * growth) || !(K > 0) ||
        !std::isfinite(K) || !(s.from > 0) || !(s.to > s.from) || !std::isfinite(s.to)) {
        return {};
    }
    constexpr double kDays = 365;
    const double density0 = 1 / std::sqrt(2 * std::numbers::pi);
    const auto density = [&](double x) { return density0 * std::exp(-x * x / 2); };
    const auto normal = [](double x) { return 0.5 * std::erfc(-x * std::numbers::sqrt2 / 2); };
    // The greek's size where it is largest, near the forward at the strike.
    double largest = 1;
    switch (greek) {
    case Greek::Gamma:
        largest = carry * density0 / (K * v);
        break;
    case Greek::Theta:
        largest = (K * carry * density0 * volatility / (2 * root) + std::abs(q.rate) * K +
                   std::abs(q.dividend) * K) /
                  kDays;
        break;
    case Greek::Vega:
        largest = K * carry * density0 * root / 100;
        break;
    default:
        break;
    }
    const double perPoint = (s.to - s.from) / s.points;
    const auto ask = [&](int i, double& value, double& slope) {
        const double S = s.at(i);
        const double d1 = std::log(S * growth / K) / v + v / 2;
        const double d2 = d1 - v;
        const double n1 = density(d1);
        const double gamma = carry * n1 / (S * v);
        switch (greek) {
        case Greek::Gamma:
            value = gamma;
            slope = -gamma * (1 + d1 / v) / S;
            break;
        case Greek::Theta:
            value = (-S * carry * n1 * volatility / (2 * root) -
                     sign * q.rate * K * discount * normal(sign * d2) +
                     sign * q.dividend * S * carry * normal(sign * d1)) /
                    kDays;
            slope = (-carry * volatility / (2 * root) * n1 * (1 - d1 / v) -
                     q.rate * K * discount * density(d2) / (S * v) +
                     sign * q.dividend * carry * normal(sign * d1) + q.dividend * carry * n1 / v) /
                    kDays;
            break;
        case Greek::Vega:
            value = S * carry * n1 * root / 100;
            slope = carry * root * n1 * (1 - d1 / v) / 100;
            break;
        default:
            value = sign * carry * normal(sign * d1);
            slope = gamma;
            break;
        }
        slope *= perPoint;
    };
    const int widest = std::clamp(int(volatility * root * K / (perPoint)), 1, 16);
    std::vector<double> out = pricing::HermiteFill(s.points, 1e-4 * largest, ask).fill(widest);
    if (!std::all_of(out.cbegin(), out.cend(), [](double g) { return std::isfinite(g); })) {
        return {};
    }
    return out;
}

} // namespace

bool Valuer::asksTheEngine() const {
    return std::any_of(legs_.cbegin(), legs_.cend(), [this](const Leg& leg) {
        return pricing::earlyExerciseMayPay(quote(leg, 0));
    });
}

std::vector<double> Valuer::greekCurve(Greek greek, double from, double to, int points,
                                       const std::function<bool()>& stopped) const {
    if (greek == Greek::None || points <= 0) {
        return {};
    }
    const Prices s{from, to, points};
    const std::size_t n = std::size_t(points) + 1;
    std::vector<double> out(n, greek == Greek::Delta ? underlyingQty_ : 0.0);
    for (const Leg& leg : legs_) {
        if (stopped && stopped()) {
            return {};
        }
        const pricing::Quote q = quote(leg, 0);
        if (pricing::earlyExerciseMayPay(q)) {
            const std::vector<double> g =
                byDifferences(q, leg.volatility, greek, s, strikeShare(greek) * leg.strike);
            for (std::size_t i = 0; i < n; ++i) {
                out[i] += leg.quantity * g[i];
            }
        } else if (const std::vector<double> g = byFormulaAlong(q, leg.volatility, greek, s);
                   !g.empty()) {
            for (std::size_t i = 0; i < n; ++i) {
                out[i] += leg.quantity * g[i];
            }
        } else {
            for (std::size_t i = 0; i < n; ++i) {
                out[i] += leg.quantity * byFormula(q, leg.volatility, greek, s.at(int(i)));
            }
        }
    }
    return out;
}

} // namespace workbench::beforeexpiry
