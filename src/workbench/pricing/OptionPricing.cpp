#include "OptionPricing.h"

#include <ql/pricingengines/blackcalculator.hpp>
#include <ql/pricingengines/blackformula.hpp>

#include <cmath>
#include <exception>

namespace workbench::pricing {

namespace {

namespace ql = QuantLib;

constexpr double kDaysPerYear = 365;

ql::Option::Type type(Right r) {
    return r == Right::Call ? ql::Option::Call : ql::Option::Put;
}

// The pricing library works on the forward and the discount factor.
struct Forward {
    explicit Forward(const Quote& q)
        : discount(std::exp(-q.rate * q.years)), forward(q.spot / discount) {}
    double discount;
    double forward;
};

double stdDev(const Quote& q, double volatility) {
    return volatility * std::sqrt(std::max(q.years, 0.0));
}

// With the underlying worth nothing it stays worthless: a call is worth
// nothing, a put its strike paid at expiry. The pricing library wants a
// forward above 0.
Valuation worthlessUnderlying(const Quote& q) {
    Valuation v;
    if (q.right == Right::Put) {
        const double discount = std::exp(-q.rate * q.years);
        v.value = q.strike * discount;
        v.delta = -1;
        v.thetaPerDay = q.rate * v.value / kDaysPerYear;
    }
    return v;
}

bool finite(const Valuation& v) {
    return std::isfinite(v.value) && std::isfinite(v.delta) && std::isfinite(v.gamma) &&
           std::isfinite(v.thetaPerDay) && std::isfinite(v.vegaPerPoint);
}

// What the library is asked at all: the rest it refuses by throwing.
bool inDomain(const Quote& q, double volatility) {
    return std::isfinite(q.spot) && std::isfinite(q.strike) && q.strike > 0 &&
           std::isfinite(volatility) && volatility >= 0 && std::isfinite(q.years) &&
           std::isfinite(q.rate);
}

} // namespace

std::optional<double> price(const Quote& q, double volatility) {
    if (!inDomain(q, volatility)) {
        return std::nullopt;
    }
    if (q.spot <= 0) {
        return worthlessUnderlying(q).value;
    }
    try {
        const Forward f(q);
        const double p =
            ql::blackFormula(type(q.right), q.strike, f.forward, stdDev(q, volatility), f.discount);
        if (std::isfinite(p)) {
            return p;
        }
    } catch (const std::exception&) {
        // QuantLib::Error among others: the option cannot be valued.
    }
    return std::nullopt;
}

std::optional<Valuation> value(const Quote& q, double volatility) {
    if (!inDomain(q, volatility)) {
        return std::nullopt;
    }
    if (q.spot <= 0) {
        return worthlessUnderlying(q);
    }
    try {
        const Forward f(q);
        const ql::BlackCalculator black(type(q.right), q.strike, f.forward, stdDev(q, volatility),
                                        f.discount);
        Valuation v;
        v.value = black.value();
        v.delta = black.delta(q.spot);
        v.gamma = black.gamma(q.spot);
        // At expiry nothing is left to decay or to be uncertain about; the
        // library's formulas divide by the time left there.
        if (q.years > 0 && volatility > 0) {
            v.thetaPerDay = black.theta(q.spot, q.years) / kDaysPerYear;
            v.vegaPerPoint = black.vega(q.years) / 100;
        }
        if (finite(v)) {
            return v;
        }
    } catch (const std::exception&) {
        // QuantLib::Error among others: the option cannot be valued.
    }
    return std::nullopt;
}

std::optional<double> impliedVolatility(const Quote& q, double premium) {
    if (q.years <= 0 || q.strike <= 0 || q.spot <= 0) {
        return std::nullopt;
    }
    const Forward f(q);
    // Below these no volatility helps: at the least value the option is
    // worth with no uncertainty at all, at the most what a call can be worth.
    const std::optional<double> least = price(q, 0);
    const double most = q.right == Right::Call ? q.spot : q.strike * f.discount;
    if (!least || !(premium > *least + 1e-9 && premium < most)) {
        return std::nullopt;
    }
    try {
        const double sd =
            ql::blackFormulaImpliedStdDev(type(q.right), q.strike, f.forward, premium, f.discount,
                                          0.0, ql::Null<ql::Real>(), 1e-10, 200);
        const double volatility = sd / std::sqrt(q.years);
        if (std::isfinite(volatility) && volatility > 0) {
            return volatility;
        }
    } catch (const std::exception&) {
        // The solver found no volatility (QuantLib::Error); the caller says so.
    }
    return std::nullopt;
}

} // namespace workbench::pricing
