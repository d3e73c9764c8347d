#include "BeforeExpiry.h"

#include <algorithm>

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

} // namespace

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

Valuer::Valuer(const PositionState& p, const Inputs& inputs, payoff::DiagramKind kind)
    : underlyingQty_(p.underlyingQty),
      years_(std::max(0, std::min(inputs.daysLeft, inputs.daysToday)) / kDaysPerYear),
      rate_(inputs.rate) {
    const double f = kind;
    cost_ = f * double(p.underlyingQty) * p.underlyingPrice;
    // Where no volatility explains a premium, the one volatility stands in.
    const auto volatility = [&](pricing::Right right, int r) {
        const std::optional<double> v =
            inputs.implied ? implied(p, inputs, right, r) : std::nullopt;
        return v ? *v : inputs.volatility;
    };
    for (int r = 1; r <= p.rowCount(); ++r) {
        if (!p.takesPart[std::size_t(r)]) {
            continue;
        }
        if (p.callQty[r] != 0) {
            legs_.push_back({pricing::Right::Call, p.strike[r], p.callQty[r],
                             volatility(pricing::Right::Call, r)});
            cost_ += f * double(p.callQty[r]) * p.callPrice[r];
        }
        if (p.putQty[r] != 0) {
            legs_.push_back({pricing::Right::Put, p.strike[r], p.putQty[r],
                             volatility(pricing::Right::Put, r)});
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
        v += leg.quantity * pricing::price(quote(leg, S), leg.volatility);
    }
    return v;
}

Greeks Valuer::greeksAt(double S) const {
    Greeks g;
    g.value = underlyingQty_ * S - cost_;
    g.delta = underlyingQty_;
    for (const Leg& leg : legs_) {
        const pricing::Valuation v = pricing::value(quote(leg, S), leg.volatility);
        g.value += leg.quantity * v.value;
        g.delta += leg.quantity * v.delta;
        g.gamma += leg.quantity * v.gamma;
        g.thetaPerDay += leg.quantity * v.thetaPerDay;
        g.vegaPerPoint += leg.quantity * v.vegaPerPoint;
    }
    return g;
}

} // namespace workbench::beforeexpiry
