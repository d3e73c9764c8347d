#include "Strategies.h"

#include "LegExpiry.h"

#include <algorithm>
#include <cmath>
#include <map>

namespace workbench {

const std::array<Strategy, 21>& standardStrategies() {
    static const std::array<Strategy, 21> table = {{
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
        // The near option written, the same strike bought to expire later.
        {u"Call Calendar Spread", 0, {{3, -1}, {3, 1, true}}, {}, 38},
        {u"Put Calendar Spread", 0, {}, {{3, -1}, {3, 1, true}}, 38},
        // The near call written a strike higher than the later one bought.
        {u"Diagonal Call Spread", 0, {{4, -1}, {3, 1, true}}, {}, 38},
    }};
    return table;
}

bool expiresApart(const Strategy& strategy) {
    const auto later = [](const StrategyLeg& leg) { return leg.later; };
    return std::any_of(strategy.calls.begin(), strategy.calls.end(), later) ||
           std::any_of(strategy.puts.begin(), strategy.puts.end(), later);
}

void hold(PositionState& position, const Strategy& strategy, int laterRow, int laterDays) {
    position.underlyingQty = strategy.underlying;
    for (const StrategyLeg& leg : strategy.calls) {
        const std::size_t r = std::size_t(leg.later ? laterRow : leg.row);
        position.callQty[r] = leg.qty;
        position.callDays[r] = leg.later ? laterDays : 0;
    }
    for (const StrategyLeg& leg : strategy.puts) {
        const std::size_t r = std::size_t(leg.later ? laterRow : leg.row);
        position.putQty[r] = leg.qty;
        position.putDays[r] = leg.later ? laterDays : 0;
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

// What a position holds at each strike, lowest strike first: the legs that
// expire first, and those that expire later.
struct Holding {
    double calls = 0;
    double puts = 0;
    double laterCalls = 0;
    double laterPuts = 0;
    bool any() const { return calls != 0 || puts != 0 || laterCalls != 0 || laterPuts != 0; }
    bool operator==(const Holding&) const = default;
};

using Book = std::vector<std::pair<double, Holding>>;

Book bookOf(const PositionState& p, int panelDays) {
    const int first = legexpiry::firstExpiry(p, panelDays);
    std::map<double, Holding> byStrike;
    for (int r = 1; r <= p.rowCount(); ++r) {
        if (!p.takesPart[std::size_t(r)] || (p.callQty[r] == 0 && p.putQty[r] == 0)) {
            continue;
        }
        Holding& h = byStrike[p.strike[r]];
        (legexpiry::callDays(p, r, panelDays) > first ? h.laterCalls : h.calls) += p.callQty[r];
        (legexpiry::putDays(p, r, panelDays) > first ? h.laterPuts : h.puts) += p.putQty[r];
    }
    Book book;
    for (const auto& [strike, h] : byStrike) {
        // Rows of one strike that cancel out hold nothing there.
        if (h.any()) {
            book.emplace_back(strike, h);
        }
    }
    return book;
}

Book bookOf(const Strategy& s) {
    std::map<double, Holding> byRow;
    for (const StrategyLeg& leg : s.calls) {
        (leg.later ? byRow[leg.row].laterCalls : byRow[leg.row].calls) += leg.qty;
    }
    for (const StrategyLeg& leg : s.puts) {
        (leg.later ? byRow[leg.row].laterPuts : byRow[leg.row].puts) += leg.qty;
    }
    return Book(byRow.begin(), byRow.end());
}

bool sameShape(const Book& held, const Book& listed) {
    if (held.size() != listed.size()) {
        return false;
    }
    for (std::size_t i = 0; i < held.size(); ++i) {
        if (!(held[i].second == listed[i].second)) {
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

const Strategy* recognise(const PositionState& position, int panelDays) {
    const Book held = bookOf(position, panelDays);
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
