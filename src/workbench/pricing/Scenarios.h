#pragma once

#include "BeforeExpiry.h"
#include "workbench/model/ExpiryInputs.h"
#include "workbench/model/PayoffEvaluation.h"
#include "workbench/model/PositionState.h"

#include <cstddef>
#include <functional>
#include <vector>

// The last curve as a table a student reads across and down: the value of the
// diagram at round prices (rows) with a few numbers of days left (columns),
// from today to expiry. Each column is what the dashed curve shows with those
// days left, the last one the solid curve at expiry.
namespace workbench::scenarios {

inline constexpr int defaultRows = 21;
inline constexpr int defaultColumns = 6;

// What the columns run across: the days left from today to expiry, or
// shifts of volatility at one date.
enum class Across { Days, Volatility };
// The shifts, in points, a table across volatility has besides the inputs'
// own.
inline constexpr int volatilityColumns[] = {-20, -10, 0, 10, 20};

// A row marked for a break-even: the row nearest it, or the two rows it lies
// half-way between.
struct BreakEven {
    int row = 0;
    double price = 0; // the exact break-even, as the analysis finds it
};

struct Table {
    // Highest first, as a price axis reads upward, `step` apart. Today's
    // price is one of them exactly, so that its row reads "if the price stays
    // where it is", and the others are moves of whole steps from it.
    std::vector<double> prices;
    double step = 0;
    // Across the days: today's days to expiry first, then evenly fewer, 0
    // (expiry) last. Across volatility: the one date, for every column.
    std::vector<int> daysLeft;
    // Across volatility, each column's shift in points, least first; empty
    // across the days.
    std::vector<int> shiftPoints;
    // With legs that expire apart, the days to the first expiry, which a
    // column with no days left is at; 0 for every other position.
    int firstExpiry = 0;
    // By row, then by column; not a number where the model cannot value the
    // position.
    std::vector<std::vector<double>> values;
    // The row at today's price; -1 when today's price lies outside the rows.
    int todayRow = -1;
    // By row, top first.
    std::vector<BreakEven> breakEvens;
    // The rows the model cannot value before expiry. With any of them the
    // columns before expiry are left empty: a value without them would be
    // the value of another position. At expiry every row is valued.
    std::vector<beforeexpiry::RowNotValued> notValued;

    double value(int row, int column) const {
        return values[std::size_t(row)][std::size_t(column)];
    }
    bool isBreakEven(int row) const;
};

// The least step of 1, 2, 2.5 or 5 times a power of ten not below `raw`, the
// steps a student would count a price axis in; 0 for a step that is no
// positive finite number.
double roundStep(double raw);

// The step between `rows` prices that cover the range from `from` to `to`.
double rowStep(double from, double to, int rows);

// `rows` prices of whole steps from today's price, the least round step that
// covers the diagram's range from `from` to `to`, centred on it and never
// below 0; highest first. Empty when the range is no range of finite prices.
std::vector<double> rowPrices(double from, double to, double today, int rows);

// `columns` whole numbers of days left evenly spaced from `daysToday` down to
// 0, each once: few days to expiry give fewer columns.
std::vector<int> columnDays(int daysToday, int columns);

// The table of the last curve: its position, the inputs it is valued with
// before expiry, its diagram and the price range it was drawn over. Its
// columns are `columns` days evenly spaced (columnDays) and the days left
// of the inputs and their more dates, most days first, each once. The
// volatilities are found once for every column. With `stopped`, asked
// between the options of each column, the table ends early, half valued,
// once it says so: for work whose result is dropped then.
Table build(const PositionState& position, const beforeexpiry::Inputs& inputs,
            payoff::DiagramKind kind, const payoff::PriceRange& range, int rows = defaultRows,
            int columns = defaultColumns, const beforeexpiry::Volatilities* known = nullptr,
            const std::function<bool()>& stopped = {});

// The same table across volatility: a column for each of volatilityColumns
// and the inputs' own shift, each once, at the inputs' days left (or with
// none shown, today), the rest of the inputs as they are.
Table buildAcrossVolatility(const PositionState& position, const beforeexpiry::Inputs& inputs,
                            payoff::DiagramKind kind, const payoff::PriceRange& range,
                            int rows = defaultRows,
                            const beforeexpiry::Volatilities* known = nullptr,
                            const std::function<bool()>& stopped = {});

} // namespace workbench::scenarios
