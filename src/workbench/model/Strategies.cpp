#include "Strategies.h"

#include <algorithm>
#include <cmath>
#include <map>

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

namespace {

// What a position holds at each strike, lowest strike first.
struct Holding {
    double calls = 0;
    double puts = 0;
};

using Book = std::vector<std::pair<double, Holding>>;

Book bookOf(const PositionState& p) {
    std::map<double, Holding> byStrike;
    for (int r = 1; r <= p.rowCount(); ++r) {
        if (!p.takesPart[std::size_t(r)] || (p.callQty[r] == 0 && p.putQty[r] == 0)) {
            continue;
        }
        Holding& h = byStrike[p.strike[r]];
        h.calls += p.callQty[r];
        h.puts += p.putQty[r];
    }
    Book book;
    for (const auto& [strike, h] : byStrike) {
        // Rows of one strike that cancel out hold nothing there.
        if (h.calls != 0 || h.puts != 0) {
            book.emplace_back(strike, h);
        }
    }
    return book;
}

Book bookOf(const Strategy& s) {
    std::map<double, Holding> byRow;
    for (const StrategyLeg& leg : s.calls) {
        byRow[leg.row].calls += leg.qty;
    }
    for (const StrategyLeg& leg : s.puts) {
        byRow[leg.row].puts += leg.qty;
    }
    return Book(byRow.begin(), byRow.end());
}

bool sameShape(const Book& held, const Book& listed) {
    if (held.size() != listed.size()) {
        return false;
    }
    for (std::size_t i = 0; i < held.size(); ++i) {
        if (held[i].second.calls != listed[i].second.calls ||
            held[i].second.puts != listed[i].second.puts) {
            return false;
        }
    }
    // The rows of a three-strike strategy are evenly spaced; its strikes
    // must be too, or its wings pay differently.
    if (held.size() == 3) {
        const double low = held[1].first - held[0].first;
        const double high = held[2].first - held[1].first;
        return std::abs(low - high) <= 1e-6 * std::max(std::abs(low), std::abs(high));
    }
    return true;
}

} // namespace

const Strategy* recognise(const PositionState& position) {
    const Book held = bookOf(position);
    if (held.empty()) {
        return nullptr;
    }
    for (const Strategy& s : standardStrategies()) {
        if (position.underlyingQty == s.underlying && sameShape(held, bookOf(s))) {
            return &s;
        }
    }
    return nullptr;
}

} // namespace workbench
