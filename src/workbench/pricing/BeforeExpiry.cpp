#include "BeforeExpiry.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace workbench::beforeexpiry {

namespace {

constexpr double kDaysPerYear = 365;

std::optional<double> implied(const PositionState& p, const Inputs& inputs, pricing::Right right,
                              int r) {
    const double premium = right == pricing::Right::Call ? p.callPrice[r] : p.putPrice[r];
    const pricing::Quote q{right, p.underlyingPrice, p.strike[r],
                           std::max(inputs.daysToday, 0) / kDaysPerYear, inputs.rate};
    return pricing::impliedVolatility(q, premium);
}

// The volatility an option of row r is priced with: the one its premium
// implies, or else the one volatility.
double volatilityOf(const PositionState& p, const Inputs& inputs, pricing::Right right, int r) {
    const std::optional<double> v = inputs.implied ? implied(p, inputs, right, r) : std::nullopt;
    return v ? *v : inputs.volatility;
}

bool held(const PositionState& p, int r) {
    return p.takesPart[std::size_t(r)] && (p.callQty[r] != 0 || p.putQty[r] != 0);
}

// Why the model cannot value row r's options, if it cannot: each is priced at
// the underlying's price today with the time there is to expiry.
std::optional<NotValued> whyNotValued(const PositionState& p, const Inputs& inputs, int r) {
    if (!(p.strike[r] > 0)) {
        return NotValued::StrikeNotAboveZero;
    }
    for (const pricing::Right right : {pricing::Right::Call, pricing::Right::Put}) {
        if ((right == pricing::Right::Call ? p.callQty[r] : p.putQty[r]) == 0) {
            continue;
        }
        const double volatility = volatilityOf(p, inputs, right, r);
        if (!(volatility >= 0)) {
            return NotValued::NoVolatility;
        }
        const pricing::Quote today{right, p.underlyingPrice, p.strike[r],
                                   std::max(inputs.daysToday, 0) / kDaysPerYear, inputs.rate};
        if (!pricing::value(today, volatility)) {
            return NotValued::BeyondTheModel;
        }
    }
    return std::nullopt;
}

} // namespace

std::vector<RowNotValued> rowsNotValued(const PositionState& p, const Inputs& inputs) {
    std::vector<RowNotValued> out;
    for (int r = 1; r <= p.rowCount(); ++r) {
        if (held(p, r)) {
            if (const std::optional<NotValued> why = whyNotValued(p, inputs, r)) {
                out.push_back({r, p.strike[r], *why});
            }
        }
    }
    return out;
}

std::vector<RowVolatility> impliedVolatilities(const PositionState& p, const Inputs& inputs) {
    std::vector<RowVolatility> out;
    for (int r = 1; r <= p.rowCount(); ++r) {
        if (p.takesPart[std::size_t(r)]) {
            out.push_back({r, p.strike[r], implied(p, inputs, pricing::Right::Call, r),
                           implied(p, inputs, pricing::Right::Put, r)});
        }
    }
    return out;
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

Valuer::Valuer(const PositionState& p, const Inputs& inputs, payoff::DiagramKind kind)
    : underlyingQty_(p.underlyingQty),
      years_(std::max(0, std::min(inputs.daysLeft, inputs.daysToday)) / kDaysPerYear),
      rate_(inputs.rate) {
    const double f = kind;
    cost_ = f * double(p.underlyingQty) * p.underlyingPrice;
    for (int r = 1; r <= p.rowCount(); ++r) {
        if (!held(p, r)) {
            continue;
        }
        if (const std::optional<NotValued> why = whyNotValued(p, inputs, r)) {
            notValued_.push_back({r, p.strike[r], *why});
            continue;
        }
        if (p.callQty[r] != 0) {
            legs_.push_back({pricing::Right::Call, p.strike[r], p.callQty[r],
                             volatilityOf(p, inputs, pricing::Right::Call, r)});
            cost_ += f * double(p.callQty[r]) * p.callPrice[r];
        }
        if (p.putQty[r] != 0) {
            legs_.push_back({pricing::Right::Put, p.strike[r], p.putQty[r],
                             volatilityOf(p, inputs, pricing::Right::Put, r)});
            cost_ += f * double(p.putQty[r]) * p.putPrice[r];
        }
    }
}

pricing::Quote Valuer::quote(const Leg& leg, double S) const {
    return {leg.right, S, leg.strike, years_, rate_};
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

} // namespace workbench::beforeexpiry
