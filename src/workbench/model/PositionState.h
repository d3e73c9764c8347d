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
    float underlyingQty = 0;
    // The underlying's price today; fixed for the whole run.
    float underlyingPrice = 50;
};

// The five rows the workbench starts with: strikes 40 to 60 in steps of 5 and
// their call and put premiums, no quantities.
PositionState startingQuotes();

} // namespace workbench
