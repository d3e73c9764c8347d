#pragma once

#include "OptionPricing.h"
#include "workbench/model/ExpiryInputs.h"
#include "workbench/model/PayoffEvaluation.h"
#include "workbench/model/PositionState.h"
#include "workbench/model/Probability.h"

#include <functional>
#include <optional>
#include <vector>

// The position's value before expiry: each option priced by Black, Scholes
// and Merton, or as an American option, with the days left, the underlying
// at its price and its dividend yield, in double precision.
namespace workbench::beforeexpiry {

// The implied volatilities of a row taking part: nothing where no volatility
// explains the premium.
struct RowVolatility {
    int row = 0;
    double strike = 0;
    std::optional<double> call;
    std::optional<double> put;
};

// A call and a put of one strike whose premiums imply volatilities further
// apart than this break put-call parity by more than quotes a spread apart
// do: no one volatility prices both, so positions that are equal at expiry
// (a call, or a put with the underlying) are valued apart before it.
inline constexpr double parityGap = 0.10;

// Why a row held in some quantity takes no part in the value before expiry:
// the model cannot value its options.
enum class NotValued {
    StrikeNotAboveZero, // a strike of 0 or below
    NoVolatility,       // no volatility to price with (none given, or one below 0)
    BeyondTheModel,     // numbers the model cannot carry, such as a strike next to 0
};

struct RowNotValued {
    int row = 0;
    double strike = 0;
    NotValued why = NotValued::BeyondTheModel;
};

// Where exercising one option held early pays, with the days left: a put's
// at or below the boundary, a call's at or above it.
struct EarlyExercise {
    int row = 0;
    pricing::Right right = pricing::Right::Put;
    double strike = 0;
    double boundary = 0;  // the critical price of the underlying
    bool written = false; // the position is short the option: its holder decides
};

// One of the position's sensitivities, drawn across the prices; None draws
// none.
enum class Greek { None, Delta, Gamma, Theta, Vega };

// The whole position's sensitivities at one price.
struct Greeks {
    double value = 0; // as the diagram shows it: less the cost today in the profit diagram
    double delta = 0; // the underlying counts its quantity
    double gamma = 0;
    double thetaPerDay = 0;
    double vegaPerPoint = 0;
    // The one greek, in the units above; not a number for None.
    double of(Greek greek) const;
};

// A volatility moved by the inputs' shift, never below the least volatility;
// without a shift exactly the one given, however small.
double shifted(double volatility, const Inputs& inputs);

// The implied volatilities of one position's premiums under one set of
// inputs, each found on first ask and kept, so that the dashed curves, the
// Scenarios table, the law and the panel's table share one search an option
// (under American exercise a search costs dozens of the engine's prices).
// It keeps its own copy of what it was made from, and answers for that
// alone; one thread at a time.
class Volatilities {
public:
    Volatilities(const PositionState& position, const Inputs& inputs);
    // What the premium of row r's call or put implies; nothing where no
    // volatility explains it.
    std::optional<double> implied(pricing::Right right, int r) const;

private:
    PositionState position_;
    Inputs inputs_;
    // Indexed 2 r for the call and 2 r + 1 for the put; empty until found.
    mutable std::vector<std::optional<std::optional<double>>> found_;
};

// Every row taking part, in grid order, with the implied volatilities of its
// premiums at the underlying's price today and the days to expiry; those
// `known` holds are taken from it (it must be of the same position and
// inputs).
std::vector<RowVolatility> impliedVolatilities(const PositionState& position, const Inputs& inputs,
                                               const Volatilities* known = nullptr);

// The rows among `rows` (impliedVolatilities of the position) whose call and
// put imply volatilities more than parityGap apart: those the position holds,
// or when it holds none of them the one furthest apart. Empty when every
// strike's quotes agree.
// The volatility the law of the price at expiry is drawn with: the one
// volatility, or with implied volatilities those of the strike nearest
// today's price (the mean of its call's and its put's where both imply one);
// `strike` says which, and is empty when the one volatility stands. The
// inputs' volatility shift moves it as it moves every option's.
struct LawVolatility {
    double volatility = 0;
    std::optional<double> strike;
};
LawVolatility lawVolatility(const PositionState& position, const Inputs& inputs,
                            const Volatilities* known = nullptr);

// The law of the price `days` days from today, drawn with `volatility`
// (lawVolatility's) up to the event; with the event among those days, the
// variances before it and after it (at the volatility after it) add up.
probability::Lognormal lawOver(const PositionState& position, const Inputs& inputs,
                               double volatility, int days);

std::vector<RowVolatility> quotesAtOdds(const PositionState& position,
                                        const std::vector<RowVolatility>& rows);

// The rows taking part and held in some quantity that the model cannot value
// under these inputs, in grid order. They take no part in the value before
// expiry; the value at expiry is theirs as ever.
std::vector<RowNotValued> rowsNotValued(const PositionState& position, const Inputs& inputs,
                                        const Volatilities* known = nullptr);

// Prices one position under one set of inputs; the volatilities of the
// options it holds are found once, when it is built, and the rows the model
// cannot value (rowsNotValued) are left out.
class Valuer {
public:
    Valuer(const PositionState& position, const Inputs& inputs, payoff::DiagramKind kind,
           const Volatilities* known = nullptr);

    // The value at price S with the days left; not a number where the model
    // cannot value some option at that price.
    double valueAt(double S) const;
    // Every field not a number where the model cannot value some option there.
    Greeks greeksAt(double S) const;
    // The values at points + 1 prices evenly spaced from `from` to `to` (the
    // i-th at from + (to - from) * i / points), each as valueAt gives it to
    // within a tenth of a cent: American options are priced by the engine
    // only where the curve needs it (pricing::priceCurve).
    // With `stopped`, asked between options, it ends early (and is empty)
    // once it says so.
    std::vector<double> curve(double from, double to, int points,
                              const std::function<bool()>& stopped = {}) const;
    // The whole position's `greek` at the same prices, in the units of
    // greeksAt; empty for Greek::None, not a number where the model cannot
    // value some option there. Options priced by formula give their greeks
    // at every price. An American option's are the differences greeksAt
    // takes of its prices (at S (1 +- priceStep), a day less, the volatility
    // either side), taken of whole curves of them (pricing::priceCurve) so
    // that the engine is asked only where a curve needs it, each curve within
    // two millionths of the strike of the engine's prices.
    // With `stopped`, asked between options, the curve ends early (and is
    // empty) once it says so.
    std::vector<double> greekCurve(Greek greek, double from, double to, int points,
                                   const std::function<bool()>& stopped = {}) const;
    // Whether some option held is priced by the engine (American exercise
    // where exercising early may pay): its curves cost many engine prices.
    bool asksTheEngine() const;
    // For each option held under American exercise where exercising early
    // pays with the days left, where it does, in grid order; empty for
    // European exercise, at expiry, and where it never pays.
    // With `stopped`, asked between options, it ends early (and is empty)
    // once it says so.
    std::vector<EarlyExercise> earlyExercise(const std::function<bool()>& stopped = {}) const;
    // How many options are priced: what `stopped` is asked for at most, once
    // each, by one curve, greek curve or early exercise.
    std::size_t options() const { return legs_.size(); }
    const std::vector<RowNotValued>& notValued() const { return notValued_; }
    // The same position valued with another number of days left (0 to the
    // days to expiry today), its volatilities kept (or, on or after the
    // event, the one after it): a curve at each of several dates costs no
    // more than the pricing itself.
    Valuer atDaysLeft(int daysLeft) const;

private:
    struct Leg {
        int row;
        pricing::Right right;
        double strike;
        double quantity;
        double volatility;  // at the date valued
        double beforeEvent; // before any event, or with none
        // The time it lives on after the first expiry (legexpiry), 0 for
        // a leg that expires then.
        double laterYears;
    };
    // Values with these days left: the time and, on or after the event, the
    // volatility after it.
    void priceAt(int daysLeft);
    pricing::Quote quote(const Leg& leg, double S) const;

    std::vector<Leg> legs_;
    std::vector<RowNotValued> notValued_;
    double underlyingQty_ = 0;
    // What the diagram takes off every value: the cost today in the profit
    // diagram, nothing in the payoff diagram.
    double cost_ = 0;
    double years_ = 0;
    double rate_ = 0;
    double dividend_ = 0;
    bool american_ = false;
    int daysToday_ = 0;
    int eventDays_ = 0;
    double volatilityAfter_ = 0;
};

// Where the value `valuer` gives crosses 0 between prices a and b, where it
// is va and vb of opposite signs: to a hundred-millionth of the price, in a
// few valuations (regula falsi with the Illinois step keeps the bracket).
double crossing(const Valuer& valuer, double a, double b, double va, double vb);

// The probability that the value `valuer` gives ends above 0 when the price
// is drawn from `law` (the law at its date): where the value changes sign is
// found over the whole law, each change to a billionth of its price, so that
// the chance is the same whatever prices a diagram shows. Not a number where
// the model cannot value the position.
double chanceOfProfit(const Valuer& valuer, const probability::Lognormal& law);

} // namespace workbench::beforeexpiry
