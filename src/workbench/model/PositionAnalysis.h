#pragma once

#include "PayoffEvaluation.h"
#include "PositionState.h"

#include <QString>

#include <limits>
#include <vector>

// The exact reading of a position that the diagram only samples: its
// break-even prices, its extremes and where they lie, the premiums it pays or
// earns. The value is piecewise linear in the price S >= 0, bending only at
// the strikes of the rows that take part, so evaluating it at 0 and at those
// strikes, with the slope beyond the last one, settles every question exactly.
// Everything is computed in double from the decimals the 32-bit state shows
// (3.29, not the float's 3.2899999618), and nothing here is rounded to a
// float: the read-out never inherits the curve's rounding, and an amount that
// lies half-way between two cents is that half, not a hair below or above it.
//
// "Value" is the value of the chosen diagram, as payoff::positionValue defines
// it: the payoff at expiry, or the profit (payoff less the premiums and the
// underlying's price today). A break-even is a price where that value is 0: in
// the profit diagram where the position neither gains nor loses, in the payoff
// diagram where it is worth nothing at expiry.
//
// Two values count as equal when they differ by less than a millionth of the
// sum of the sizes of the terms that make up the value there (each quantity
// times its distance in the money, each premium paid or received, the
// underlying), and never less than a millionth of one unit at the price level
// of the position; a last slope counts as flat below a millionth of the
// quantities that make it up, and never less than a millionth of one unit.
// That is far finer than the two decimals a student reads, and coarser than
// what 32-bit inputs leave behind: 0.1 + 0.2 - 0.3 as floats is 7e-9, not 0,
// and a quantity stepped up and down by 0.1 can keep a residue of that order.
// Without it, such a position would show an "unlimited" loss, or lose a
// break-even interval that the diagram plainly has.
namespace workbench::analysis {

inline constexpr double unbounded = std::numeric_limits<double>::infinity();

// A set of prices: one price (from == to), a closed interval, or every price
// from `from` upward (to == unbounded). Prices are never below 0.
struct PriceSpan {
    double from = 0;
    double to = 0;

    bool isPoint() const { return from == to; }
    bool isUnboundedAbove() const { return to == unbounded; }
    friend bool operator==(const PriceSpan&, const PriceSpan&) = default;
};

// The highest or lowest value over S >= 0. When it is reached in several
// separate places (the two wings of a butterfly), `where` lists each of them,
// ascending and apart from each other; an interval where the value stays at the
// extreme is one span. Unlimited means the value keeps growing (or falling) as
// the price rises; the price stops at 0, so nothing is unlimited the other way.
struct Extreme {
    bool unlimited = false;
    double value = 0;             // meaningful only when limited
    std::vector<PriceSpan> where; // empty when unlimited
};

struct Analysis {
    payoff::DiagramKind kind = payoff::profitDiagram;
    // Sum of quantity x premium over the rows that take part: above 0 the
    // position pays premium (a debit), below 0 it receives it (a credit).
    double netPremium = 0;
    // Above 0 the underlying is bought, below 0 sold short.
    double underlyingQty = 0;
    // underlyingQty x underlyingPrice: above 0 paid for, below 0 received from
    // a short sale.
    double underlyingCost = 0;
    // What trading the position costs (at 0 or above); only the profit
    // diagram takes it off.
    double tradingCosts = 0;
    double todayPrice = 0; // the underlying's price now
    double valueToday = 0; // the value if the price is still todayPrice at expiry
    // Break-evens, ascending and apart; a span where the value stays 0 is one
    // entry, and [0, unbounded) when the value is 0 everywhere.
    std::vector<PriceSpan> breakEvens;
    Extreme highest;
    Extreme lowest;
    // The strikes (> 0) where the slope may change, ascending, each once: the
    // prices a drawn curve must pass through to keep its corners sharp.
    std::vector<double> kinks;
    // For a position whose legs expire on different days, the days to the
    // first expiry, the date this value is at; its break-evens and extremes
    // are then found numerically, to the cent. 0 for every other position.
    int firstExpiry = 0;
    // The widest margin the analysis used: no two values it took for equal
    // (or for 0) differ by more.
    double tolerance = 0;
};

// The exact value at price S of the chosen diagram, in double: what a hover
// read-out shows. The drawn curve uses payoff::positionValue, the same formula
// with every step rounded to a float; at a strike, that is the point the
// samples pass through.
double valueAt(const PositionState& position, double S, payoff::DiagramKind kind);

// What opening the position costs to trade: the cost per option for each
// option bought or written, the cost per unit for each unit of the
// underlying, from the decimals the state shows.
double tradingCosts(const PositionState& position);

// Takes time in proportion to the rows that take part (a sort of their
// strikes aside).
Analysis analyse(const PositionState& position, payoff::DiagramKind kind);

// The analysis as a student reads it, one fact to a line, two decimals:
//   Net premium: 3.50 paid
//   Underlying bought at 50.00: 50.00 paid
//   Break-even: 46.50 and 53.50
//   Maximum profit: 8.50 at 50.00
//   Maximum loss: 1.50 at or below 40.00 and at or above 60.00
//   At expiry, if the price stays at 50.00: 8.50
// The profit diagram adds the trading costs when there are any, each
// break-even's distance from today's price, the reward to risk when both
// extremes are limited and the capital at risk:
//   Trading costs: 1.30 paid
//   Break-even from 50.00: -7.00 % and +7.00 %
//   Reward to risk: 5.67 to 1
//   Capital at risk: 1.50, 42.86 % of the 3.50 the position costs today
// The underlying's line is there only when the position holds it ("sold" and
// "received" when short). A loss is an amount, as the tutorial's pages write
// it; a position that gains at every price says "Maximum loss: none (the
// smallest profit is 2.00 at 50.00)", and one that loses at every price
// "Maximum profit: none (the smallest loss is 3.00 at every price)". The
// payoff diagram says "Zero payoff", "Maximum payoff" and "Minimum payoff"
// instead, each value with its sign.
QString describe(const Analysis& analysis);

// An amount or a price as the read-out writes it: two decimals, "8.50",
// halves away from zero on the decimal value (1.725 is 1.73).
QString money(double value);

} // namespace workbench::analysis
