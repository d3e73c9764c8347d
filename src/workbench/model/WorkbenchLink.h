#pragma once

#include "ExpiryInputs.h"
#include "PayoffEvaluation.h"
#include "PositionDocument.h"
#include "PositionState.h"

#include <QString>
#include <QUrl>

#include <optional>
#include <vector>

// The links of the program's own address form, by which a tutorial page
// loads a position into the workbench:
//   wqz-workbench:load?strategy=Straddle&diagram=profit
//   wqz-workbench:load?position=c3:1,p3:1&diagram=payoff
// A position names the underlying as "u:<qty>" and the call or put of grid row
// r as "c<r>:<qty>" or "p<r>:<qty>". Either may also set the market it is
// shown in, each at most once, any or none of:
//   price=63.2        today's price of the underlying, above 0 and up to
//                     1000000, at most four decimals
//   dividend=1.5      the dividend yield in percent, within
//                     beforeexpiry::limits
//   exercise=american or exercise=european
//   days=30           whole days to expiry, within beforeexpiry::limits
//   daysLeft=10       whole days left at which to show the value: 0 to days,
//                     or without days 0 to the longest days to expiry (the
//                     workbench holds it to the days in force)
//   rate=5            the interest rate in percent, within
//                     beforeexpiry::limits
//   volatility=30     one volatility in percent, within beforeexpiry::limits,
//                     for every option; or volatility=implied; or
//                     volatility=implied,30: implied, and 30 where none can be
//   dates=30,20,10    the more dates at which to show the value as well:
//                     at most beforeexpiry::limits::maxMoreDates days left,
//                     each 1 to days (or without days to the longest days to
//                     expiry); dates=none shows none
//   volShift=10       a what-if on volatility: whole points, within
//                     beforeexpiry::limits, added to every option's
//   eventDays=5       an event so many whole days from today, 0 to days (or
//                     without days to the longest days to expiry); 0 for none
//   volAfter=30       every option's volatility from the event on, in
//                     percent, within the limits of one volatility
//                     A link that names none of these three loads with no
//                     shift and no event, whatever the workbench held: a
//                     page's "Try it" shows what it says and no what-if left
//                     over from before.
//   costOption=0.65   what trading costs, for each option and for each unit
//   costUnit=0.01     of the underlying, 0 to market::mostCost, at most four
//                     decimals
// A position may also bring its own rows, in place of the grid's, and a
// position or a strategy the range it is drawn in:
//   rows=40:16:0.5;45:13:1.5;50:12.1:5.3:60:
//                     the grid's rows, top to bottom, each
//                     strike:call premium:put premium; an empty strike
//                     (":16:0.5") is a row that takes no part. 1 to
//                     columns::mostRows rows; the legs then name these rows.
//                     A row whose call or put has days to expiry of its
//                     own adds them, whole days within the panel's limits,
//                     empty for the panel's: strike:call:put:call days:put
//                     days.
//   range=1:100:-5:54 the prices from and to and the values from (the
//                     bottom) and to (the top) the diagram is drawn in, as
//                     its boxes hold them; without it the prices are 1 to
//                     100 and the values chosen to fit
// These numbers have at most seven digits before the full stop and four
// after it, and a minus sign at most.
// Percentages take at most two decimals. Numbers are plain digits with a full
// stop: "1e5", "nan", "+inf" or "0x10" is refused, as is an empty value.
// A link can do no more than that: load a listed strategy or a position on the
// grid's rows or its own, in one diagram or the other, in the market it names.
// The program writes such a link for the position it shows (Edit > Copy Link
// to Position): always with its rows, its range and every input before
// expiry, so that it loads the same position whatever the receiving
// workbench held before. The curve's colour is not part of it.
// A page's exercise sends the student's answer the same way, to be judged,
// or asks for the true answer to be shown (the student's own request, after a
// wrong answer); the contents page's "Start over" asks for the progress kept
// between runs to be cleared, which the program confirms with the student:
//   wqz-workbench:check?exercise=straddle-1&answer=36
//   wqz-workbench:check?exercise=straddle-1&reveal=1
//   wqz-workbench:progress?clear=1
// An exercise's id is lower-case letters, digits and single hyphens, at most
// 40 characters; which ids the tutorial has is the program's to say, for
// the lessons' exercises are judged above this layer. An answer is at most
// links::longestAnswer characters.
namespace workbench::links {

inline const QString scheme = QStringLiteral("wqz-workbench");

struct Leg {
    enum class Kind { Underlying, Call, Put } kind;
    int row = 0; // 1 to the grid's rows; 0 for the underlying
    float quantity = 0;
    bool operator==(const Leg&) const = default;
};

// A row of the grid a link brings: its strike (none for a row that takes no
// part) and its call and put premiums.
struct Row {
    std::optional<float> strike;
    float call = 0;
    float put = 0;
    // The call's and the put's own days to expiry; 0 for the panel's.
    int callDays = 0;
    int putDays = 0;
    bool operator==(const Row&) const = default;
};

// The range boxes: the prices from and to, the values from and to.
struct Range {
    float from = 0;
    float to = 0;
    float bottom = 0;
    float top = 0;
    bool operator==(const Range&) const = default;
};

// The market a link sets up. Today's price and the costs it does not name
// are the starting ones (startingPrice, no costs); the inputs before expiry
// it does not name stay as the student left them.
struct Market {
    std::optional<float> price;          // today's price of the underlying, above 0
    std::optional<double> dividendYield; // 0.02 for 2 %
    std::optional<bool> american;
    std::optional<int> daysToday;     // days to expiry
    std::optional<int> daysLeft;      // at most daysToday, or the days to expiry in force
    std::optional<double> rate;       // 0.05 for 5 %
    std::optional<bool> implied;      // volatility=implied or implied,<percent>: true;
                                      // volatility=<percent>: false
    std::optional<double> volatility; // the percent given, as a fraction
    // The more dates shown, days left apart and longest first, as the panel
    // keeps them.
    std::optional<std::vector<int>> moreDaysLeft;
    std::optional<float> costPerOption;
    std::optional<float> costPerUnit;
    // The what-ifs on volatility; none named is none at all. Given their
    // nothing here, so that a market written out before them still reads.
    std::optional<double> volatilityShift = std::nullopt; // 0.10 for 10 points
    std::optional<int> eventDays = std::nullopt;          // at most daysToday, or the days in force
    std::optional<double> volatilityAfter = std::nullopt; // 0.3 for 30 %
    bool operator==(const Market&) const = default;
};

struct Load {
    QString strategy;      // a listed strategy, or empty for the legs
    std::vector<Leg> legs; // when no strategy is named
    payoff::DiagramKind diagram = payoff::payoffDiagram;
    Market market;
    // The rows the legs are on, in place of the grid's; none: the grid's.
    std::optional<std::vector<Row>> rows;
    // The range to draw in as it is; none: prices 1 to 100, values to fit.
    std::optional<Range> range;
    bool operator==(const Load&) const = default;
};

struct Check {
    QString exercise; // an exercise's id, of the form above
    QString answer;   // as typed, at most a few dozen characters; empty to reveal
    bool reveal = false;
};

// Ids longer than any exercise's are not read.
inline constexpr qsizetype longestExerciseId = 40;
// Longer than any number or word an answer needs; the rest is not read. The
// judges above this layer read no more of an answer typed on a page.
inline constexpr qsizetype longestAnswer = 40;

// The longest link read, typed, pasted or written: one limit for every way
// a link travels. A later start hands its links to the running window in a
// message of 64 KB, and the system passes no single argument of a command
// over 128 KB; this leaves room in both. A position too large for it (some
// thousand rows and more) goes by file.
inline constexpr qsizetype longestLink = 60 * 1024;

// The load, the check or the start over a link asks for (one of them), or
// why it is refused, in words.
struct Reading {
    std::optional<Load> load;
    QString problem;
    std::optional<Check> check;
    bool startOver = false;
};
Reading read(const QUrl& link, int gridRows);
// The same for a link as text (typed, pasted, given to the program): a text
// too long for a link is refused before it is parsed at all.
Reading readText(const QString& link, int gridRows);
// Whether the text is meant as one of these links, right or wrong.
bool isLink(const QString& text);

// What following a load does to the market, as the workbench and the
// lessons' judge both take it, so that neither can value a link apart from
// the other: today's price and the trading costs the link names, or the
// starting ones, go into `position`; the inputs before expiry are `inputs` with what the link
// names, the days left and the more dates held to the days to expiry then in force.
void applyPrice(const Market& market, PositionState& position);
// Lays each leg's quantity onto `position` (a row beyond its rows takes none),
// and gives the first option laid, or none.
const Leg* holdLegs(const std::vector<Leg>& legs, PositionState& position);
beforeexpiry::Inputs inputsAfter(const Market& market, beforeexpiry::Inputs inputs);

// The load that shows `shown` again exactly (its rows, quantities, range,
// diagram, today's price, costs and inputs before expiry), each cell and box
// read as the workbench reads it; or why a link cannot carry it, in words.
struct Sharing {
    std::optional<Load> load;
    QString problem;
};
Sharing shareOf(const document::Document& shown);

// The link for a load shareOf gives, or why there is none: a link is only
// written when reading it gives back that very load.
struct Writing {
    QString link;
    QString problem;
    bool tooLong = false; // the problem is the link's length: a file can carry it
};
Writing write(const Load& load);

} // namespace workbench::links
