#include "Strategies.h"

namespace workbench {

const std::array<Strategy, 18>& standardStrategies() {
    static const std::array<Strategy, 18> table = {{
        {u"Naked Put", 0, {}, {{3, 1}}},
        {u"Naked Call", 0, {{3, 1}}, {}},
        {u"Covered Put", -1, {}, {{3, -1}}},
        {u"Covered Call", 1, {{3, -1}}, {}},
        {u"Put Ratio Hedge", -1, {}, {{3, -2}}},
        {u"Call Ratio Hedge", 1, {{3, -2}}, {}},
        {u"Bullish Put Spread", 0, {}, {{1, 1}, {5, -1}}},
        {u"Bullish Call Spread", 0, {{1, 1}, {5, -1}}, {}},
        {u"Bearish Put Spread", 0, {}, {{1, -1}, {5, 1}}},
        {u"Bearish Call Spread", 0, {{1, -1}, {5, 1}}, {}},
        {u"Put Ratio Spread", 0, {}, {{1, 2}, {5, -1}}},
        {u"Call Ratio Spread", 0, {{1, -1}, {5, 2}}, {}},
        {u"Put Butterfly Spread", 0, {}, {{1, 1}, {3, -2}, {5, 1}}},
        {u"Call Butterfly Spread", 0, {{1, 1}, {3, -2}, {5, 1}}, {}},
        {u"Straddle", 0, {{3, 1}}, {{3, 1}}},
        {u"Strangle", 0, {{5, 1}}, {{1, 1}}},
        {u"Strip", 0, {{3, 1}}, {{3, 2}}},
        {u"Strap", 0, {{3, 2}}, {{3, 1}}},
    }};
    return table;
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
