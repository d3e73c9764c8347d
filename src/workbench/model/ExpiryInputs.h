#pragma once

// What the student chooses to value the position before expiry with: the
// inputs beside the diagram, as the panel, the position file and undo keep
// them. Valuing with them is pricing's part.
#include <cmath>
#include <vector>

namespace workbench::beforeexpiry {

// What the inputs may be, wherever they come from: the panel's boxes and the
// position file take these and refuse the rest.
namespace limits {
inline constexpr int minDaysToExpiry = 1;
inline constexpr int maxDaysToExpiry = 3650;
inline constexpr double minRatePercent = -10;
inline constexpr double maxRatePercent = 50;
inline constexpr double minVolatilityPercent = 1;
inline constexpr double maxVolatilityPercent = 500;
// A what-if on volatility, in points added to every option's.
inline constexpr double minVolatilityShiftPoints = -50;
inline constexpr double maxVolatilityShiftPoints = 50;
// An event's day, counted from today: 0 for none, and never beyond the days
// to expiry today.
inline constexpr int minEventDays = 0;
inline constexpr double minDividendPercent = 0;
inline constexpr double maxDividendPercent = 50;
// Dates drawn besides the one the days left show: with it, five curves
// before expiry at most, which a diagram still reads.
inline constexpr int maxMoreDates = 4;
} // namespace limits

// A shift of volatility in whole points, as every box, file and link holds
// it: 0.10 is 10.
inline int shiftPoints(double shift) {
    return int(std::lround(shift * 100));
}

// Whether the date with `daysLeft` of `daysToday` is on or after an event
// `eventDays` from today; never with no event (0).
inline bool onOrAfterEvent(int eventDays, int daysToday, int daysLeft) {
    return eventDays > 0 && daysToday - daysLeft >= eventDays;
}

// What the student chooses beside the diagram.
struct Inputs {
    int daysToday = 30;       // days to expiry today; the premiums are prices now
    int daysLeft = 0;         // the days left at which to show the value; 0 shows nothing
    double rate = 0.05;       // continuous, per year
    bool implied = true;      // each option's volatility from its premium
    double volatility = 0.3;  // for every option, or where no implied one exists
    double dividendYield = 0; // continuous, per year, 0.02 for 2 %
    bool american = false;    // exercise at any time up to expiry
    // Other days left at which to show the value as well, each 1 to the days
    // to expiry today; the days left above is the one the slider moves.
    std::vector<int> moreDaysLeft;
    // Added to every option's volatility, the one or each implied one, as a
    // what-if (0.10 for 10 points more), never taking it below the least
    // volatility. The volatilities the premiums imply stay as they are.
    double volatilityShift = 0;
    // An event (an earnings announcement, say) this many days from today, 0
    // for none: a date on or after it values every option with the
    // volatility after it, moved by the shift as every volatility is.
    int eventDays = 0;
    double volatilityAfter = 0.3;
    // Whether a date with these days left is on or after the event.
    bool afterEvent(int daysLeft) const { return onOrAfterEvent(eventDays, daysToday, daysLeft); }
    bool operator==(const Inputs&) const = default;
};

} // namespace workbench::beforeexpiry
