#include "OptionPricing.h"

#include "HoldingExcess.h"

#include <ql/exercise.hpp>
#include <ql/instruments/vanillaoption.hpp>
#include <ql/math/solvers1d/brent.hpp>
#include <ql/methods/lattices/binomialtree.hpp>
#include <ql/pricingengines/blackcalculator.hpp>
#include <ql/pricingengines/blackformula.hpp>
#include <ql/pricingengines/vanilla/binomialengine.hpp>
#include <ql/pricingengines/vanilla/qdfpamericanengine.hpp>
#include <ql/processes/blackscholesprocess.hpp>
#include <ql/quotes/simplequote.hpp>
#include <ql/settings.hpp>
#include <ql/termstructures/volatility/equityfx/blackconstantvol.hpp>
#include <ql/termstructures/yield/flatforward.hpp>
#include <ql/time/calendars/nullcalendar.hpp>
#include <ql/time/daycounters/actual365fixed.hpp>

#include <cmath>
#include <exception>

namespace workbench::pricing {

namespace {

namespace ql = QuantLib;
namespace ext = QuantLib::ext;

constexpr double kDaysPerYear = 365;

// Leisen and Reimer's tree is within a few ten-thousandths of the exact
// price at this many steps.
constexpr ql::Size kTreeSteps = 801;

ql::Option::Type type(Right r) {
    return r == Right::Call ? ql::Option::Call : ql::Option::Put;
}

// The pricing library works on the forward and the discount factor.
struct Forward {
    explicit Forward(const Quote& q)
        : discount(std::exp(-q.rate * q.years)),
          forward(q.spot * std::exp((q.rate - q.dividend) * q.years)) {}
    double discount;
    double forward;
};

double stdDev(const Quote& q, double volatility) {
    return volatility * std::sqrt(std::max(q.years, 0.0));
}

long wholeDays(const Quote& q) {
    return std::lround(q.years * kDaysPerYear);
}

double exerciseValue(const Quote& q) {
    return std::max(q.right == Right::Call ? q.spot - q.strike : q.strike - q.spot, 0.0);
}

// Where early exercise pays between two prices rather than all the way to
// 0 (or to no end): the fixed-point engine refuses it.
bool doubleBoundary(const Quote& q) {
    return q.right == Right::Put ? q.rate < 0 && q.dividend < q.rate
                                 : q.dividend < 0 && q.rate < q.dividend;
}

// With the underlying worth nothing it stays worthless: a call is worth
// nothing, a European put its strike paid at expiry and an American put
// whose strike earns interest the strike now. The pricing library wants a
// forward above 0.
Valuation worthlessUnderlying(const Quote& q) {
    Valuation v;
    if (q.right == Right::Put) {
        if (earlyExerciseMayPay(q) && q.rate > 0) {
            v.value = q.strike;
            v.delta = -1;
            return v;
        }
        const double discount = std::exp(-q.rate * q.years);
        v.value = q.strike * discount;
        v.delta = -std::exp(-q.dividend * q.years);
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
           std::isfinite(q.rate) && std::isfinite(q.dividend);
}

double europeanPrice(const Quote& q, double volatility) {
    const Forward f(q);
    return ql::blackFormula(type(q.right), q.strike, f.forward, stdDev(q, volatility), f.discount);
}

// The library counts time in dates from its evaluation date, which is
// today's date unless set: a date that could pass midnight between two
// prices. One fixed date keeps every American price on the same footing. It
// is set once, whichever thread prices first, and only read after.
ql::Date referenceDate() {
    static const ql::Date date = [] {
        const ql::Date fixed(1, ql::January, 2001);
        ql::Settings::instance().evaluationDate() = fixed;
        return fixed;
    }();
    return date;
}

// The engine's scheme holds its quadrature nodes: built once, not per price.
// Its integrators keep counts of what they did, so each thread that prices
// has schemes of its own.
const ext::shared_ptr<ql::QdFpIterationScheme>& fastScheme() {
    thread_local const ext::shared_ptr<ql::QdFpIterationScheme> scheme =
        ql::QdFpAmericanEngine::fastScheme();
    return scheme;
}

double run(ql::VanillaOption::engine&& engine, const ext::shared_ptr<ql::StrikedTypePayoff>& payoff,
           const ext::shared_ptr<ql::Exercise>& exercise) {
    auto* arguments = dynamic_cast<ql::VanillaOption::arguments*>(engine.getArguments());
    QL_REQUIRE(arguments, "not a vanilla option's engine");
    arguments->payoff = payoff;
    arguments->exercise = exercise;
    arguments->validate();
    engine.reset();
    engine.calculate();
    const auto* results = dynamic_cast<const ql::VanillaOption::results*>(engine.getResults());
    QL_REQUIRE(results && results->value != ql::Null<ql::Real>(), "no price");
    return results->value;
}

// An American price from the engine; throws what the library throws. The
// fast scheme prices curves to a tenth of a cent; the accurate one finds
// the exercise boundary, where a millionth of the strike matters.
double americanPrice(const Quote& q, double volatility,
                     const ext::shared_ptr<ql::QdFpIterationScheme>& scheme) {
    const long days = wholeDays(q);
    if (days <= 0) {
        return exerciseValue(q);
    }
    const ql::Date today = referenceDate();
    const ql::DayCounter dayCounter = ql::Actual365Fixed();
    const auto curve = [&](double rate) {
        return ql::Handle<ql::YieldTermStructure>(
            ext::make_shared<ql::FlatForward>(today, rate, dayCounter));
    };
    const auto process = ext::make_shared<ql::BlackScholesMertonProcess>(
        ql::Handle<ql::Quote>(ext::make_shared<ql::SimpleQuote>(q.spot)), curve(q.dividend),
        curve(q.rate),
        ql::Handle<ql::BlackVolTermStructure>(ext::make_shared<ql::BlackConstantVol>(
            today, ql::NullCalendar(), volatility, dayCounter)));
    // The engine is asked directly: the instrument would bring in the
    // library's finite-difference solvers (and with them the OpenMP runtime)
    // for an implied volatility we find otherwise.
    const auto payoff = ext::make_shared<ql::PlainVanillaPayoff>(type(q.right), q.strike);
    const auto exercise = ext::make_shared<ql::AmericanExercise>(today, today + days);
    if (doubleBoundary(q)) {
        // Rare (a rate below 0 and a yield below it) and slower, but a price.
        return run(ql::BinomialVanillaEngine<ql::LeisenReimer>(process, kTreeSteps), payoff,
                   exercise);
    }
    return run(ql::QdFpAmericanEngine(process, scheme), payoff, exercise);
}

double americanPrice(const Quote& q, double volatility) {
    return americanPrice(q, volatility, fastScheme());
}

double anyPrice(const Quote& q, double volatility) {
    return earlyExerciseMayPay(q) ? americanPrice(q, volatility) : europeanPrice(q, volatility);
}

ql::BlackCalculator calculator(const Quote& q, double volatility) {
    const Forward f(q);
    return ql::BlackCalculator(type(q.right), q.strike, f.forward, stdDev(q, volatility),
                               f.discount);
}

// At expiry nothing is left to decay or to be uncertain about; the
// library's formulas divide by the time left there.
double europeanSensitivity(const ql::BlackCalculator& black, const Quote& q, double volatility,
                           Sensitivity s) {
    const bool timeLeft = q.years > 0 && volatility > 0;
    return s == Sensitivity::Delta         ? black.delta(q.spot)
           : s == Sensitivity::Gamma       ? black.gamma(q.spot)
           : !timeLeft                     ? 0
           : s == Sensitivity::ThetaPerDay ? black.theta(q.spot, q.years) / kDaysPerYear
                                           : black.vega(q.years) / 100;
}

// Each sensitivity's place in a valuation, in the order Sensitivity names them.
constexpr double Valuation::*kFigures[] = {&Valuation::delta, &Valuation::gamma,
                                           &Valuation::thetaPerDay, &Valuation::vegaPerPoint};

Valuation europeanValuation(const Quote& q, double volatility) {
    const ql::BlackCalculator black = calculator(q, volatility);
    Valuation v;
    v.value = black.value();
    for (const Sensitivity s : {Sensitivity::Delta, Sensitivity::Gamma, Sensitivity::ThetaPerDay,
                                Sensitivity::VegaPerPoint}) {
        v.*kFigures[int(s)] = europeanSensitivity(black, q, volatility, s);
    }
    return v;
}

// The engine gives prices only, so the greeks are its differences. A step
// of 1 % of the price keeps gamma's second difference far above the engine's
// rounding, which is smooth in the price.
Valuation americanValuation(const Quote& q, double volatility) {
    Valuation v;
    v.value = americanPrice(q, volatility);
    const double h = priceStep * q.spot;
    Quote up = q;
    up.spot += h;
    Quote down = q;
    down.spot -= h;
    const double above = americanPrice(up, volatility);
    const double below = americanPrice(down, volatility);
    v.delta = (above - below) / (2 * h);
    v.gamma = (above - 2 * v.value + below) / (h * h);
    const Later before = daysLater(q, volatility, -thetaStep);
    const Later after = daysLater(q, volatility, thetaStep);
    v.thetaPerDay = (americanPrice(after.quote, after.volatility) -
                     americanPrice(before.quote, before.volatility)) /
                    (2 * thetaStep);
    const double lower = volatility > volatilityStep ? volatility - volatilityStep : volatility;
    const double upper = volatility + volatilityStep;
    v.vegaPerPoint = (americanPrice(q, upper) - americanPrice(q, lower)) / ((upper - lower) * 100);
    return v;
}

std::optional<double> europeanImplied(const Quote& q, double premium) {
    const Forward f(q);
    // Below these no volatility helps: at the least value the option is
    // worth with no uncertainty at all, at the most what a call can be worth.
    const double least = europeanPrice(q, 0);
    const double most =
        q.right == Right::Call ? q.spot * std::exp(-q.dividend * q.years) : q.strike * f.discount;
    if (!(premium > least + 1e-9 && premium < most)) {
        return std::nullopt;
    }
    const double sd =
        ql::blackFormulaImpliedStdDev(type(q.right), q.strike, f.forward, premium, f.discount, 0.0,
                                      ql::Null<ql::Real>(), 1e-10, 200);
    return sd / std::sqrt(q.years);
}

// The engine has no inverse: secant steps from the European volatility of
// the same premium (detail::secantImplied), and where they stray Brent's
// method over the whole range, as sure as it is slow.
std::optional<double> americanImplied(const Quote& q, double premium) {
    const double least = std::max(exerciseValue(q), europeanPrice(q, 0));
    const double most = q.right == Right::Call ? q.spot : q.strike;
    if (!(premium > least + 1e-9 && premium < most)) {
        return std::nullopt;
    }
    std::optional<double> guess;
    try {
        guess = europeanImplied(q, premium);
    } catch (const std::exception&) {
        // No European volatility to start from; the middle of the range will do.
    }
    const double start =
        guess && *guess > detail::leastVolatility && *guess < detail::mostVolatility ? *guess : 0.3;
    if (guess && start == *guess) {
        if (const std::optional<double> found = detail::secantImplied(q, premium, start)) {
            return found;
        }
    }
    ql::Brent solver;
    solver.setMaxEvaluations(100);
    return solver.solve([&](double v) { return americanPrice(q, v) - premium; }, 1e-8, start,
                        detail::leastVolatility, detail::mostVolatility);
}

} // namespace

Later daysLater(const Quote& q, double volatility, double days) {
    const double left = double(wholeDays(q));
    const double scale = left > 0 ? (left - days) / left : 1;
    Later later{q, volatility * std::sqrt(scale)};
    later.quote.rate *= scale;
    later.quote.dividend *= scale;
    return later;
}

bool earlyExerciseMayPay(const Quote& q) {
    if (!q.american || !(q.years > 0)) {
        return false;
    }
    return q.right == Right::Call ? !(q.dividend <= 0 && q.rate >= q.dividend)
                                  : !(q.rate <= 0 && q.rate <= q.dividend);
}

std::optional<double> price(const Quote& q, double volatility) {
    if (!inDomain(q, volatility)) {
        return std::nullopt;
    }
    if (q.spot <= 0) {
        return worthlessUnderlying(q).value;
    }
    try {
        const double p = anyPrice(q, volatility);
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
        const Valuation v = earlyExerciseMayPay(q) ? americanValuation(q, volatility)
                                                   : europeanValuation(q, volatility);
        if (finite(v)) {
            return v;
        }
    } catch (const std::exception&) {
        // QuantLib::Error among others: the option cannot be valued.
    }
    return std::nullopt;
}

std::optional<double> sensitivity(const Quote& q, double volatility, Sensitivity s) {
    if (!inDomain(q, volatility)) {
        return std::nullopt;
    }
    if (q.spot <= 0 || earlyExerciseMayPay(q)) {
        const std::optional<Valuation> v = value(q, volatility);
        return v ? std::optional<double>((*v).*kFigures[int(s)]) : std::nullopt;
    }
    try {
        const double x = europeanSensitivity(calculator(q, volatility), q, volatility, s);
        if (std::isfinite(x)) {
            return x;
        }
    } catch (const std::exception&) {
        // QuantLib::Error among others: the option cannot be valued.
    }
    return std::nullopt;
}

std::optional<double> impliedVolatility(const Quote& q, double premium) {
    if (!(q.years > 0) || !inDomain(q, 0) || !(q.spot > 0) || !std::isfinite(premium)) {
        return std::nullopt;
    }
    try {
        const std::optional<double> volatility =
            earlyExerciseMayPay(q) ? americanImplied(q, premium) : europeanImplied(q, premium);
        if (volatility && std::isfinite(*volatility) && *volatility > 0) {
            return volatility;
        }
    } catch (const std::exception&) {
        // The solver found no volatility (QuantLib::Error); the caller says so.
    }
    return std::nullopt;
}

namespace detail {

bool singleBoundary(const Quote& q, double volatility) {
    return inDomain(q, volatility) && earlyExerciseMayPay(q) && !doubleBoundary(q) &&
           wholeDays(q) > 0;
}

double holdingExcess(const Quote& q, double volatility, bool accurate) {
    thread_local const ext::shared_ptr<ql::QdFpIterationScheme> accurateScheme =
        ql::QdFpAmericanEngine::accurateScheme();
    return americanPrice(q, volatility, accurate ? accurateScheme : fastScheme()) -
           exerciseValue(q);
}

} // namespace detail

} // namespace workbench::pricing
