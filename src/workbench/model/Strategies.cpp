#include "Strategies.h"

namespace workbench {

const std::array<Strategy, 18>& standardStrategies() {
    static const std::array<Strategy, 18> table = {{
        {u"Naked Put", 0, {}, {{3, 1}}, 7},
        {u"Naked Call", 0, {{3, 1}}, {}, 8},
        {u"Covered Put", -1, {}, {{3, -1}}, 9},
        {u"Covered Call", 1, {{3, -1}}, {}, 10},
        {u"Put Ratio Hedge", -1, {}, {{3, -2}}, 11},
        {u"Call Ratio Hedge", 1, {{3, -2}}, {}, 12},
        {u"Bullish Put Spread", 0, {}, {{1, 1}, {5, -1}}, 13},
        {u"Bullish Call Spread", 0, {{1, 1}, {5, -1}}, {}, 14},
        {u"Bearish Put Spread", 0, {}, {{1, -1}, {5, 1}}, 15},
        {u"Bearish Call Spread", 0, {{1, -1}, {5, 1}}, {}, 16},
        {u"Put Ratio Spread", 0, {}, {{1, 2}, {5, -1}}, 17},
        {u"Call Ratio Spread", 0, {{1, -1}, {5, 2}}, {}, 18},
        {u"Put Butterfly Spread", 0, {}, {{1, 1}, {3, -2}, {5, 1}}, 19},
        {u"Call Butterfly Spread", 0, {{1, 1}, {3, -2}, {5, 1}}, {}, 20},
        {u"Straddle", 0, {{3, 1}}, {{3, 1}}, 21},
        {u"Strangle", 0, {{5, 1}}, {{1, 1}}, 22},
        {u"Strip", 0, {{3, 1}}, {{3, 2}}, 23},
        {u"Strap", 0, {{3, 2}}, {{3, 1}}, 24},
    }};
    return table;
}

void hold(PositionState& position, const Strategy& strategy) {
    position.underlyingQty = strategy.underlying;
    for (const StrategyLeg& leg : strategy.calls) {
        position.callQty[leg.row] = leg.qty;
    }
    for (const StrategyLeg& leg : strategy.puts) {
        position.putQty[leg.row] = leg.qty;
    }
}

const Strategy* findStrategy(const QString& name) {
    for (const Strategy& s : standardStrategies()) {
        // Exact and case-sensitive, first match wins.
        if (name == QStringView(s.name)) {
            return &s;
        }
    }
    return nullptr;
}

} // namespace workbench
