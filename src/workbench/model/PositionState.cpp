#include "PositionState.h"

#include <algorithm>

namespace workbench {

PositionState::PositionState(int rows) {
    setRowCount(rows);
}

void PositionState::setRowCount(int rows) {
    const std::size_t n = std::size_t(std::max(rows, 0)) + 1;
    for (std::vector<float>* column : {&callQty, &callPrice, &strike, &putQty, &putPrice}) {
        column->resize(n, 0.0f);
    }
    takesPart.resize(n, true);
    callDays.resize(n, 0);
    putDays.resize(n, 0);
}

PositionState startingQuotes() {
    static constexpr float kCallPrice[] = {0, 16, 13, 10.5f, 8.25f, 6.5f};
    static constexpr float kPutPrice[] = {0, 0.5f, 1.5f, 3.5f, 6.5f, 10};
    PositionState p;
    for (int r = 1; r <= 5; ++r) {
        p.strike[r] = float(5 * r + 35);
        p.callPrice[r] = kCallPrice[r];
        p.putPrice[r] = kPutPrice[r];
    }
    return p;
}

} // namespace workbench
