#pragma once

#include "ExpiryInputs.h"
#include "PayoffEvaluation.h"
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
//                     for every option; or volatility=implied
//   dates=30,20,10    the more dates at which to show the value as well:
//                     at most beforeexpiry::limits::maxMoreDates days left,
//                     each 1 to days (or without days to the longest days to
//                     expiry)
//   costOption=0.65   what trading costs, for each option and for each unit
//   costUnit=0.01     of the underlying, 0 to market::mostCost, at most four
//                     decimals
// Percentages take at most two decimals. Numbers are plain digits with a full
// stop: "1e5", "nan", "+inf" or "0x10" is refused, as is an empty value.
// A link can do no more than that: load a listed strategy or a position on the
// grid's rows, in one diagram or the other, in the market it names.
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
// exercises::longestAnswer characters.
namespace workbench::links {

inline const QString scheme = QStringLiteral("wqz-workbench");

struct Leg {
    enum class Kind { Underlying, Call, Put } kind;
    int row = 0; // 1 to the grid's rows; 0 for the underlying
    float quantity = 0;
};

// The market a link sets up; what it does not name stays as the student left
// it.
struct Market {
    std::optional<float> price;          // today's price of the underlying, above 0
    std::optional<double> dividendYield; // 0.02 for 2 %
    std::optional<bool> american;
    std::optional<int> daysToday;     // days to expiry
    std::optional<int> daysLeft;      // at most daysToday, or the days to expiry in force
    std::optional<double> rate;       // 0.05 for 5 %
    std::optional<bool> implied;      // volatility=implied
    std::optional<double> volatility; // volatility=<percent>, which also sets implied false
    // The more dates shown, days left apart and longest first, as the panel
    // keeps them.
    std::optional<std::vector<int>> moreDaysLeft;
    std::optional<float> costPerOption;
    std::optional<float> costPerUnit;
    bool operator==(const Market&) const = default;
};

struct Load {
    QString strategy;      // a listed strategy, or empty for the legs
    std::vector<Leg> legs; // when no strategy is named
    payoff::DiagramKind diagram = payoff::payoffDiagram;
    Market market;
};

struct Check {
    QString exercise; // an exercise's id, of the form above
    QString answer;   // as typed, at most a few dozen characters; empty to reveal
    bool reveal = false;
};

// Ids longer than any exercise's are not read.
inline constexpr qsizetype longestExerciseId = 40;

// The load, the check or the start over a link asks for (one of them), or
// why it is refused, in words.
struct Reading {
    std::optional<Load> load;
    QString problem;
    std::optional<Check> check;
    bool startOver = false;
};
Reading read(const QUrl& link, int gridRows);

// What following a load does to the market, as the workbench and the
// lessons' judge both take it, so that neither can value a link apart from
// the other: today's price and the trading costs the link names go into
// `position`; the inputs before expiry are `inputs` with what the link names,
// the days left and the more dates held to the days to expiry then in force.
void applyPrice(const Market& market, PositionState& position);
beforeexpiry::Inputs inputsAfter(const Market& market, beforeexpiry::Inputs inputs);

} // namespace workbench::links
