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
}

} // namespace workbench
