#pragma once

#include <vector>

namespace workbench {

// The position the workbench evaluates: option rows 1 to rowCount() (index 0
// is never read, so that row r of the position grid is index r here) and the
// underlying. The number of rows follows the grid's strike rows.
struct PositionState {
    explicit PositionState(int rows = 5);

    int rowCount() const { return int(strike.size()) - 1; }
    // Keeps rows that stay, adds zeroed ones.
    void setRowCount(int rows);

    std::vector<float> callQty;
    std::vector<float> callPrice;
    std::vector<float> strike;
    std::vector<float> putQty;
    std::vector<float> putPrice;
    // Whether the row's strike cell holds a number; a row without a strike
    // takes no part in the evaluation.
    std::vector<bool> takesPart;
    // Each call's and put's own days to expiry, 0 for the panel's days
    // (legexpiry).
    std::vector<int> callDays;
    std::vector<int> putDays;
    float underlyingQty = 0;
    // The underlying's price today, as the student sets it: the price the
    // underlying is bought or sold at and the options are valued from.
    float underlyingPrice = 50;
    // What trading costs, in the money of the premiums: for each option
    // bought or written, and for each unit of the underlying bought or sold.
    // The profit diagram takes them off; the payoff diagram knows nothing of
    // them.
    float costPerOption = 0;
    float costPerUnit = 0;
};

// The price the workbench starts with, and what a position saved before the
// price could be set was valued at.
inline constexpr float startingPrice = 50;

// What today's price and the trading costs may be, wherever they come from:
// their boxes, the position file and the tutorial's links all take these and
// refuse the rest. Four decimals, as the boxes write them.
namespace market {
inline constexpr int decimals = 4;
inline constexpr double leastPrice = 0.0001;
inline constexpr double mostPrice = 1000000;
inline constexpr double mostCost = 10000;
} // namespace market

// The five rows the workbench starts with: strikes 40 to 60 in steps of 5 and
// their call and put premiums, no quantities.
PositionState startingQuotes();

} // namespace workbench
