#include "Scenarios.h"

#include "FirstExpiry.h"
#include "workbench/model/LegExpiry.h"

#include "platform/Numbers.h"
#include "workbench/model/PositionAnalysis.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>

namespace workbench::scenarios {

namespace {

constexpr double kNone = std::numeric_limits<double>::quiet_NaN();

// How far a ratio of doubles may stray from what it stands for: 0.05 / 0.01
// is 5.000000000000001, and a step of 5 must stay 5.
constexpr double kSlack = 1e-9;

// The rows nearest a break-even at `price` among prices highest first,
// `step` apart; none when it lies more than half a step beyond them.
std::vector<int> rowsNearest(const std::vector<double>& prices, double step, double price) {
    const double lowest = prices.back();
    const double at = (price - lowest) / step; // in steps up from the lowest row
    const double last = double(prices.size() - 1);
    if (!(at >= -0.5 - kSlack && at <= last + 0.5 + kSlack)) {
        return {};
    }
    const double below = std::clamp(std::floor(at), 0.0, last);
    const double above = std::clamp(std::ceil(at), 0.0, last);
    const auto row = [&](double up) { return int(last - up); };
    const double gapBelow = std::abs(at - below);
    const double gapAbove = std::abs(above - at);
    if (std::abs(gapBelow - gapAbove) <= kSlack && below != above) {
        return {row(above), row(below)};
    }
    return {row(gapBelow < gapAbove ? below : above)};
}

// The break-evens of the position at expiry, each where its value turns: a
// single price, or each finite end of a stretch where the value stays 0,
// except the price 0 where every stretch that reaches it starts.
std::vector<BreakEven> breakEvenRows(const analysis::Analysis& atExpiry,
                                     const std::vector<double>& prices, double step) {
    std::vector<double> turns;
    for (const analysis::PriceSpan& span : atExpiry.breakEvens) {
        if (span.isPoint()) {
            turns.push_back(span.from);
            continue;
        }
        if (span.from > 0) {
            turns.push_back(span.from);
        }
        if (!span.isUnboundedAbove()) {
            turns.push_back(span.to);
        }
    }
    std::vector<BreakEven> out;
    for (const double price : turns) {
        for (const int row : rowsNearest(prices, step, price)) {
            if (std::none_of(out.cbegin(), out.cend(),
                             [row](const BreakEven& b) { return b.row == row; })) {
                out.push_back({row, price});
            }
        }
    }
    std::sort(out.begin(), out.end(),
              [](const BreakEven& a, const BreakEven& b) { return a.row < b.row; });
    return out;
}

} // namespace

bool Table::isBreakEven(int row) const {
    return std::any_of(breakEvens.cbegin(), breakEvens.cend(),
                       [row](const BreakEven& b) { return b.row == row; });
}

double roundStep(double raw) {
    if (!(raw > 0) || !std::isfinite(raw)) {
        return 0;
    }
    const double magnitude = std::pow(10.0, std::floor(std::log10(raw)));
    const double n = raw / magnitude * (1 - kSlack);
    const double step = (n <= 1 ? 1 : n <= 2 ? 2 : n <= 2.5 ? 2.5 : n <= 5 ? 5 : 10) * magnitude;
    return std::isfinite(step) && step > 0 ? step : 0;
}

double rowStep(double from, double to, int rows) {
    return rows < 2 ? 0 : roundStep(std::abs(to - from) / (rows - 1));
}

std::vector<double> rowPrices(double from, double to, double today, int rows) {
    const double step = rowStep(from, to, rows);
    if (step == 0) {
        return {};
    }
    // The rows are whole steps from today's price, so that its row is
    // exact; an underlying's price is never below 0.
    const double anchor = std::isfinite(today) && today >= 0 ? today : 0;
    const double centre = std::min(from, to) + std::abs(to - from) / 2;
    const double lowest = std::max(std::round((centre - anchor) / step - (rows - 1) / 2.0),
                                   std::ceil(-anchor / step - kSlack));
    std::vector<double> prices;
    prices.reserve(std::size_t(rows));
    for (int i = rows - 1; i >= 0; --i) {
        const double price = anchor + (lowest + i) * step;
        prices.push_back(std::abs(price) < step * kSlack ? 0.0 : price);
    }
    if (!std::isfinite(prices.front()) || !std::isfinite(prices.back())) {
        return {};
    }
    return prices;
}

std::vector<int> columnDays(int daysToday, int columns) {
    const int today = std::max(daysToday, 0);
    std::vector<int> days;
    const int spaces = std::max(columns - 1, 1);
    for (int i = 0; i <= spaces; ++i) {
        const int d = int(std::lround(double(today) * (spaces - i) / spaces));
        if (days.empty() || days.back() != d) {
            days.push_back(d);
        }
    }
    return days;
}

namespace {

// The rows of a table with its columns named: the prices, today's row, the
// break-evens, every value none as yet. False when there are no rows.
bool laidOut(Table& t, const PositionState& position, const analysis::Analysis& atExpiry,
             const payoff::PriceRange& range, int rows) {
    const double today = platform::numbers::decimalValue(position.underlyingPrice);
    t.prices = rowPrices(range.xmin, range.xmax, today, rows);
    if (t.prices.empty()) {
        return false;
    }
    const int n = int(t.prices.size());
    t.step = rowStep(range.xmin, range.xmax, rows);
    for (int r = 0; r < n; ++r) {
        // Whole steps from today's price: its own row is it but for noise.
        if (std::abs(t.prices[std::size_t(r)] - today) <= t.step * 1e-6) {
            t.todayRow = r;
        }
    }
    t.breakEvens = breakEvenRows(atExpiry, t.prices, t.step);
    t.values.assign(std::size_t(n), std::vector<double>(t.daysLeft.size(), kNone));
    return true;
}

// Column c as the dashed curve is valued: lowest price first, evenly
// spaced, American options asked of the engine only where the curve needs
// it. False once `stopped` says so.
bool fill(Table& t, std::size_t c, const beforeexpiry::Valuer& valuer,
          const std::function<bool()>& stopped) {
    const int n = int(t.prices.size());
    const std::vector<double> curve =
        valuer.curve(t.prices.back(), t.prices.front(), n - 1, stopped);
    if (curve.size() != std::size_t(n)) {
        return false;
    }
    for (int r = 0; r < n; ++r) {
        t.values[std::size_t(r)][c] = curve[std::size_t(n - 1 - r)];
    }
    return true;
}

// Whether the legs expire on different days: the column at expiry is then at
// the first of them, valued as the dashed curves are.
bool staggered(const PositionState& position, const beforeexpiry::Inputs& inputs) {
    return legexpiry::staggered(position, inputs.daysToday);
}

} // namespace

Table build(const PositionState& position, const beforeexpiry::Inputs& inputs,
            payoff::DiagramKind kind, const payoff::PriceRange& range, int rows, int columns,
            const beforeexpiry::Volatilities* known, const std::function<bool()>& stopped) {
    Table t;
    t.daysLeft = columnDays(inputs.daysToday, columns);
    // The dates the dashed curves are drawn at are columns too, so that the
    // table and the diagram can be read side by side.
    t.daysLeft.push_back(std::min(inputs.daysLeft, inputs.daysToday));
    for (const int d : inputs.moreDaysLeft) {
        if (d >= 0 && d <= inputs.daysToday) {
            t.daysLeft.push_back(d);
        }
    }
    std::sort(t.daysLeft.begin(), t.daysLeft.end(), std::greater<>());
    t.daysLeft.erase(std::unique(t.daysLeft.begin(), t.daysLeft.end()), t.daysLeft.end());
    // One valuer finds the volatilities; each column only prices with them.
    const beforeexpiry::Valuer valuer(position, inputs, kind, known);
    if (!laidOut(t, position, firstexpiry::atExpiry(position, inputs, kind, valuer), range, rows)) {
        return t;
    }
    t.notValued = valuer.notValued();
    t.firstExpiry = staggered(position, inputs) ? inputs.daysToday : 0;
    for (std::size_t c = 0; c < t.daysLeft.size(); ++c) {
        const int days = t.daysLeft[c];
        if (days == 0 && !staggered(position, inputs)) {
            // The solid curve's value, every row included.
            for (std::size_t r = 0; r < t.prices.size(); ++r) {
                t.values[r][c] = analysis::valueAt(position, t.prices[r], kind);
            }
            continue;
        }
        if (t.notValued.empty() && !fill(t, c, valuer.atDaysLeft(days), stopped)) {
            return t; // stopped
        }
    }
    return t;
}

Table buildAcrossVolatility(const PositionState& position, const beforeexpiry::Inputs& inputs,
                            payoff::DiagramKind kind, const payoff::PriceRange& range, int rows,
                            const beforeexpiry::Volatilities* known,
                            const std::function<bool()>& stopped) {
    Table t;
    t.shiftPoints.assign(std::begin(volatilityColumns), std::end(volatilityColumns));
    t.shiftPoints.push_back(beforeexpiry::shiftPoints(inputs.volatilityShift));
    std::sort(t.shiftPoints.begin(), t.shiftPoints.end());
    t.shiftPoints.erase(std::unique(t.shiftPoints.begin(), t.shiftPoints.end()),
                        t.shiftPoints.end());
    const int days =
        inputs.daysLeft > 0 ? std::min(inputs.daysLeft, inputs.daysToday) : inputs.daysToday;
    t.daysLeft.assign(t.shiftPoints.size(), days);
    t.firstExpiry = staggered(position, inputs) ? inputs.daysToday : 0;
    // Only legs that expire apart need a valuer for the break-evens: an
    // American one prices every option once to be built.
    const analysis::Analysis atFirst =
        staggered(position, inputs)
            ? firstexpiry::atExpiry(position, inputs, kind, {position, inputs, kind, known})
            : analysis::analyse(position, kind);
    if (!laidOut(t, position, atFirst, range, rows)) {
        return t;
    }
    for (std::size_t c = 0; c < t.shiftPoints.size(); ++c) {
        beforeexpiry::Inputs shifted = inputs;
        shifted.volatilityShift = t.shiftPoints[c] / 100.0;
        const beforeexpiry::Valuer valuer(position, shifted, kind, known);
        t.notValued = valuer.notValued();
        if (!t.notValued.empty()) {
            return t;
        }
        if (!fill(t, c, valuer.atDaysLeft(days), stopped)) {
            return t; // stopped
        }
    }
    return t;
}

} // namespace workbench::scenarios
