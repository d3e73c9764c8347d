#pragma once

#include "PositionState.h"

#include <QString>

#include <array>
#include <vector>

namespace workbench {

// One quantity of a strategy: a grid row and how many (negative = written).
struct StrategyLeg {
    int row;
    float qty;
};

struct Strategy {
    const char16_t* name;
    float underlying;
    std::vector<StrategyLeg> calls;
    std::vector<StrategyLeg> puts;
    // The bundled module's page that teaches it (pageN.htm).
    int tutorialPage;
};

// The eighteen textbook strategies in the order of the list. They are defined
// by rows: with the default strikes, rows 1, 3 and 5 are 40, 50 and 60.
const std::array<Strategy, 18>& standardStrategies();

// Puts the strategy's quantities into a position whose quantities are 0.
void hold(PositionState& position, const Strategy& strategy);

// The strategy whose name equals the text exactly, or nullptr.
const Strategy* findStrategy(const QString& name);

// The listed strategy the position is, whatever rows and strikes it uses, or
// nullptr: the same quantities of calls, puts and the underlying, on as many
// distinct strikes as the strategy's rows, in the same order of strikes. A
// butterfly's wings lie as far from its body on either side. Rows that take
// no part, or hold nothing, do not count; two rows of one strike count as one.
const Strategy* recognise(const PositionState& position);

} // namespace workbench
