#pragma once

#include "PositionState.h"

#include <QString>

#include <array>
#include <vector>

namespace workbench {

// One quantity of a strategy: a grid row and how many (negative = written).
// A leg that expires later than the rest (a calendar's, a diagonal's) is on a
// row of its own at the strike of the row it names, with twice the days to
// expiry of the others.
struct StrategyLeg {
    int row;
    float qty;
    bool later = false;
};

struct Strategy {
    const char16_t* name;
    float underlying;
    std::vector<StrategyLeg> calls;
    std::vector<StrategyLeg> puts;
    // The bundled module's page that teaches it (pageN.htm).
    int tutorialPage;
};

// The textbook strategies in the order of the list: eighteen whose options
// expire together, then the calendars and the diagonal. They are defined by
// rows: with the default strikes, rows 1, 3 and 5 are 40, 50 and 60.
const std::array<Strategy, 21>& standardStrategies();

// Whether some leg of the strategy expires later than the others.
bool expiresApart(const Strategy& strategy);

// Puts the strategy's quantities into a position whose quantities are 0:
// its later legs on row `laterRow` with `laterDays` days to expiry.
void hold(PositionState& position, const Strategy& strategy, int laterRow = 0, int laterDays = 0);

// The strategy whose name equals the text exactly, or nullptr.
const Strategy* findStrategy(const QString& name);

// The listed strategy the position is, whatever rows and strikes it uses, or
// nullptr: the same quantities of calls, puts and the underlying, on as many
// distinct strikes as the strategy's rows, in the same order of strikes. A
// butterfly's wings lie as far from its body on either side. Rows that take
// no part, or hold nothing, do not count; two rows of one strike count as one.
// Legs that expire after the first expiry (`panelDays` for those without
// days of their own) count apart, as a strategy's later legs.
const Strategy* recognise(const PositionState& position, int panelDays = 0);

} // namespace workbench
