#include "BeforeExpiry.h"

#include "workbench/model/LegExpiry.h"
#include "workbench/model/PositionAnalysis.h"

#include "PriceCurve.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace workbench::beforeexpiry {

namespace {

constexpr double kDaysPerYear = 365;

// How far the curve may stray from the position's value, in money: a fifth
// of the half cent its two decimals show. The engine itself answers no
// closer than about a ten-thousandth of the strike's money, so no option is
// asked for more than that.
constexpr double kCurveTolerance = 0.001;
constexpr double kEngineAccuracy = 1e-4;

// The days to expiry today of row r's call or put: its own, or the panel's.
int daysOf(const PositionState& p, const Inputs& inputs, pricing::Right right, int r) {
    return right == pricing::Right::Call ? legexpiry::callDays(p, r, inputs.daysToday)
                                         : legexpiry::putDays(p, r, inputs.daysToday);
}

double yearsToday(const PositionState& p, const Inputs& inputs, pricing::Right right, int r) {
    return std::max(daysOf(p, inputs, right, r), 0) / kDaysPerYear;
}

// Every option is priced under the exercise and the yield the student chose.
pricing::Quote quoteOf(const Inputs& inputs, pricing::Right right, double spot, double strike,
                       double years) {
    return {right, spot, strike, years, inputs.rate, inputs.dividendYield, inputs.american};
}

std::optional<double> search(const PositionState& p, const Inputs& inputs, pricing::Right right,
                             int r) {
    const double premium = right == pricing::Right::Call ? p.callPrice[r] : p.putPrice[r];
    return pricing::impliedVolatility(
        quoteOf(inputs, right, p.underlyingPrice, p.strike[r], yearsToday(p, inputs, right, r)),
        premium);
}

std::optional<double> implied(const PositionState& p, const Inputs& inputs, pricing::Right right,
                              int r, const Volatilities* known) {
    return known ? known->implied(right, r) : search(p, inputs, right, r);
}

// The volatility an option of row r is priced with: the one its premium
// implies, or else the one volatility, moved by the shift.
double volatilityOf(const PositionState& p, const Inputs& inputs, pricing::Right right, int r,
                    const Volatilities* known) {
    const std::optional<double> v =
        inputs.implied ? implied(p, inputs, right, r, known) : std::nullopt;
    return shifted(v ? *v : inputs.volatility, inputs);
}

bool held(const PositionState& p, int r) {
    return p.takesPart[std::size_t(r)] && (p.callQty[r] != 0 || p.putQty[r] != 0);
}

double quantity(const PositionState& p, pricing::Right right, int r) {
    return right == pricing::Right::Call ? p.callQty[r] : p.putQty[r];
}

// The volatilities row r's options held are priced with, or why the model
// cannot value them: each is priced at the underlying's price today with the
// time there is to expiry. An American option's implied volatility costs a
// search on the engine, so it is found once here.
struct RowPricing {
    std::optional<NotValued> why;
    double call = 0;
    double put = 0;
};

RowPricing pricingOf(const PositionState& p, const Inputs& inputs, int r,
                     const Volatilities* known) {
    RowPricing out;
    if (!(p.strike[r] > 0)) {
        out.why = NotValued::StrikeNotAboveZero;
        return out;
    }
    for (const pricing::Right right : {pricing::Right::Call, pricing::Right::Put}) {
        if (quantity(p, right, r) == 0) {
            continue;
        }
        const double volatility = volatilityOf(p, inputs, right, r, known);
        (right == pricing::Right::Call ? out.call : out.put) = volatility;
        if (!(volatility >= 0)) {
            out.why = NotValued::NoVolatility;
            return out;
        }
        const pricing::Quote today =
            quoteOf(inputs, right, p.underlyingPrice, p.strike[r], yearsToday(p, inputs, right, r));
        // A European option's sensitivities come with its price; an
        // American one's cost six prices more, so its price alone decides,
        // and sensitivities it cannot give read "n/a".
        if (today.american ? !pricing::price(today, volatility)
                           : !pricing::value(today, volatility)) {
            out.why = NotValued::BeyondTheModel;
            return out;
        }
    }
    return out;
}

} // namespace

double shifted(double volatility, const Inputs& inputs) {
    if (inputs.volatilityShift == 0) {
        return volatility;
    }
    return std::max(limits::minVolatilityPercent / 100, volatility + inputs.volatilityShift);
}

Volatilities::Volatilities(const PositionState& position, const Inputs& inputs)
    : position_(position), inputs_(inputs), found_(2 * std::size_t(position.rowCount() + 1)) {}

std::optional<double> Volatilities::implied(pricing::Right right, int r) const {
    std::optional<std::optional<double>>& slot =
        found_.at(2 * std::size_t(r) + (right == pricing::Right::Put ? 1 : 0));
    if (!slot) {
        slot = search(position_, inputs_, right, r);
    }
    return *slot;
}

std::vector<RowNotValued> rowsNotValued(const PositionState& p, const Inputs& inputs,
                                        const Volatilities* known) {
    std::vector<RowNotValued> out;
    for (int r = 1; r <= p.rowCount(); ++r) {
        if (held(p, r)) {
            if (const std::optional<NotValued> why = pricingOf(p, inputs, r, known).why) {
                out.push_back({r, p.strike[r], *why});
            }
        }
    }
    return out;
}

std::vector<RowVolatility> impliedVolatilities(const PositionState& p, const Inputs& inputs,
                                               const Volatilities* known) {
    std::vector<RowVolatility> out;
    for (int r = 1; r <= p.rowCount(); ++r) {
        if (p.takesPart[std::size_t(r)]) {
            out.push_back({r, p.strike[r], implied(p, inputs, pricing::Right::Call, r, known),
                           implied(p, inputs, pricing::Right::Put, r, known)});
        }
    }
    return out;
}

LawVolatility lawVolatility(const PositionState& p, const Inputs& inputs,
                            const Volatilities* known) {
    if (!inputs.implied) {
        return {shifted(inputs.volatility, inputs), std::nullopt};
    }
    int nearest = 0;
    for (int r = 1; r <= p.rowCount(); ++r) {
        if (p.takesPart[std::size_t(r)] && p.strike[r] > 0 &&
            (nearest == 0 || std::abs(p.strike[r] - p.underlyingPrice) <
                                 std::abs(p.strike[nearest] - p.underlyingPrice))) {
            nearest = r;
        }
    }
    if (nearest == 0) {
        return {shifted(inputs.volatility, inputs), std::nullopt};
    }
    const std::optional<double> call = implied(p, inputs, pricing::Right::Call, nearest, known);
    const std::optional<double> put = implied(p, inputs, pricing::Right::Put, nearest, known);
    if (!call && !put) {
        return {shifted(inputs.volatility, inputs), std::nullopt};
    }
    const double v = call && put ? (*call + *put) / 2 : call ? *call : *put;
    return {shifted(v, inputs), double(p.strike[nearest])};
}

probability::Lognormal lawOver(const PositionState& p, const Inputs& inputs, double volatility,
                               int days) {
    probability::Lognormal law{p.underlyingPrice, days / kDaysPerYear, inputs.rate,
                               inputs.dividendYield, volatility};
    if (inputs.eventDays > 0 && days > inputs.eventDays) {
        // The variances of the days before the event and of those after it
        // add up.
        const double after = shifted(inputs.volatilityAfter, inputs);
        const double before = double(inputs.eventDays);
        law.volatility =
            std::sqrt((volatility * volatility * before + after * after * (days - before)) / days);
    }
    return law;
}

std::vector<RowVolatility> quotesAtOdds(const PositionState& p,
                                        const std::vector<RowVolatility>& rows) {
    const auto gap = [](const RowVolatility& row) {
        return row.call && row.put ? std::abs(*row.call - *row.put) : 0.0;
    };
    std::vector<RowVolatility> heldApart;
    const RowVolatility* widest = nullptr;
    for (const RowVolatility& row : rows) {
        if (!(gap(row) > parityGap)) {
            continue;
        }
        if (held(p, row.row)) {
            heldApart.push_back(row);
        } else if (!widest || gap(row) > gap(*widest)) {
            widest = &row;
        }
    }
    if (heldApart.empty() && widest) {
        heldApart.push_back(*widest);
    }
    return heldApart;
}

Valuer::Valuer(const PositionState& p, const Inputs& inputs, payoff::DiagramKind kind,
               const Volatilities* known)
    : underlyingQty_(p.underlyingQty), rate_(inputs.rate), dividend_(inputs.dividendYield),
      american_(inputs.american), daysToday_(std::max(0, inputs.daysToday)),
      eventDays_(std::max(0, inputs.eventDays)),
      volatilityAfter_(shifted(inputs.volatilityAfter, inputs)) {
    const double f = kind;
    // Trading costs come off the profit as they do at expiry, whether or not
    // the model can value every option.
    cost_ = f * (double(p.underlyingQty) * p.underlyingPrice + analysis::tradingCosts(p));
    for (int r = 1; r <= p.rowCount(); ++r) {
        if (!held(p, r)) {
            continue;
        }
        const RowPricing row = pricingOf(p, inputs, r, known);
        if (row.why) {
            notValued_.push_back({r, p.strike[r], *row.why});
            continue;
        }
        // A leg that expires after the first expiry keeps its days beyond
        // it at every date.
        const auto later = [&](pricing::Right right) {
            return std::max(daysOf(p, inputs, right, r) - daysToday_, 0) / kDaysPerYear;
        };
        if (p.callQty[r] != 0) {
            legs_.push_back({r, pricing::Right::Call, p.strike[r], p.callQty[r], row.call, row.call,
                             later(pricing::Right::Call)});
            cost_ += f * double(p.callQty[r]) * p.callPrice[r];
        }
        if (p.putQty[r] != 0) {
            legs_.push_back({r, pricing::Right::Put, p.strike[r], p.putQty[r], row.put, row.put,
                             later(pricing::Right::Put)});
            cost_ += f * double(p.putQty[r]) * p.putPrice[r];
        }
    }
    priceAt(std::clamp(inputs.daysLeft, 0, daysToday_));
}

void Valuer::priceAt(int daysLeft) {
    years_ = daysLeft / kDaysPerYear;
    const bool after = onOrAfterEvent(eventDays_, daysToday_, daysLeft);
    for (Leg& leg : legs_) {
        leg.volatility = after ? volatilityAfter_ : leg.beforeEvent;
    }
}

Valuer Valuer::atDaysLeft(int daysLeft) const {
    Valuer other = *this;
    other.priceAt(std::clamp(daysLeft, 0, daysToday_));
    return other;
}

pricing::Quote Valuer::quote(const Leg& leg, double S) const {
    return {leg.right, S, leg.strike, years_ + leg.laterYears, rate_, dividend_, american_};
}

double Valuer::valueAt(double S) const {
    double v = underlyingQty_ * S - cost_;
    for (const Leg& leg : legs_) {
        const std::optional<double> price = pricing::price(quote(leg, S), leg.volatility);
        if (!price) {
            return std::numeric_limits<double>::quiet_NaN();
        }
        v += leg.quantity * *price;
    }
    return v;
}

double Greeks::of(Greek greek) const {
    switch (greek) {
    case Greek::Delta:
        return delta;
    case Greek::Gamma:
        return gamma;
    case Greek::Theta:
        return thetaPerDay;
    case Greek::Vega:
        return vegaPerPoint;
    case Greek::None:
        break;
    }
    return std::nan("");
}

Greeks Valuer::greeksAt(double S) const {
    Greeks g;
    g.value = underlyingQty_ * S - cost_;
    g.delta = underlyingQty_;
    for (const Leg& leg : legs_) {
        const std::optional<pricing::Valuation> v = pricing::value(quote(leg, S), leg.volatility);
        if (!v) {
            const double none = std::numeric_limits<double>::quiet_NaN();
            return {none, none, none, none, none};
        }
        g.value += leg.quantity * v->value;
        g.delta += leg.quantity * v->delta;
        g.gamma += leg.quantity * v->gamma;
        g.thetaPerDay += leg.quantity * v->thetaPerDay;
        g.vegaPerPoint += leg.quantity * v->vegaPerPoint;
    }
    return g;
}

std::vector<double> Valuer::curve(double from, double to, int points,
                                  const std::function<bool()>& stopped) const {
    if (points <= 0) {
        return {};
    }
    std::vector<double> values(std::size_t(points) + 1);
    for (int i = 0; i <= points; ++i) {
        values[std::size_t(i)] = underlyingQty_ * (from + (to - from) * i / points) - cost_;
    }
    // The tolerance is shared among the options by their quantities, so that
    // the errors of all of them together stay within the curve's.
    double held = 0;
    for (const Leg& leg : legs_) {
        held += std::abs(leg.quantity);
    }
    const double tolerance = kCurveTolerance / std::max(held, 1.0);
    for (const Leg& leg : legs_) {
        if (stopped && stopped()) {
            return {};
        }
        // The engine's own prices are no finer than its accuracy.
        const pricing::Quote q = quote(leg, 0);
        const double own =
            pricing::earlyExerciseMayPay(q) ? std::max(tolerance, kEngineAccuracy) : tolerance;
        const std::vector<double> prices =
            pricing::priceCurve(q, leg.volatility, from, to, points, own);
        for (std::size_t i = 0; i < values.size(); ++i) {
            values[i] += leg.quantity * prices[i];
        }
    }
    return values;
}

std::vector<EarlyExercise> Valuer::earlyExercise(const std::function<bool()>& stopped) const {
    std::vector<EarlyExercise> out;
    for (const Leg& leg : legs_) {
        if (stopped && stopped()) {
            return {};
        }
        if (const std::optional<double> boundary =
                pricing::earlyExerciseBoundary(quote(leg, 0), leg.volatility)) {
            out.push_back({leg.row, leg.right, leg.strike, *boundary, leg.quantity < 0});
        }
    }
    return out;
}

} // namespace workbench::beforeexpiry
