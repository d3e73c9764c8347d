#pragma once

#include "workbench/model/WorkbenchLink.h"

#include <QString>
#include <QStringView>

#include <vector>

// The questions at the end of the tutorial's strategy pages. Each asks for a
// number or a yes or no that the exact analysis of the strategy settles, with
// the starting quotes and in the profit diagram, whatever the student has
// since typed into the grids. The page sends the typed answer to the program,
// which judges it here: a number within 0.01 of the true one is right.
namespace workbench::exercises {

enum class Asks {
    BreakEven,      // the only break-even
    LowerBreakEven, // the lowest of several
    UpperBreakEven, // the highest of several
    GreatestProfit,
    GreatestLoss,  // as an amount lost: 14 and -14 are both right for -14.00
    ProfitAt,      // the profit with the underlying at `price` at expiry
    ProfitLimited, // yes or no
    LossLimited,   // yes or no
};

struct Exercise {
    const char16_t* id; // as the page's form names it: "straddle-1"
    const char16_t* strategy;
    Asks asks;
    double price; // for ProfitAt only
    // The answer as the page's author worked it out ("36.00", "no"); the
    // program judges by the analysis, and a test holds the two together.
    const char16_t* answer;
};

// As long as the link that carries an answer takes.
inline constexpr qsizetype longestAnswer = links::longestAnswer;

const std::vector<Exercise>& all();
// The exercise of that id, or nullptr.
const Exercise* find(QStringView id);

// What the exercise asks about, as a phrase: "the lower break-even".
QString topic(const Exercise& exercise);
// The true answer, from the exact analysis, as a page would write it: two
// decimals ("36.00", a loss as the amount lost), "yes" or "no", or "no limit".
QString trueAnswer(const Exercise& exercise);
// What to look at on the workbench after a wrong answer: which curve, which
// line of the analysis.
QString hint(const Exercise& exercise);
// The page's "Try it" link that loads the exercise's strategy as it is
// judged: "wqz-workbench:load?strategy=Straddle&diagram=profit".
QString tryIt(const Exercise& exercise);

enum class Outcome { Right, Wrong, Unreadable };
struct Verdict {
    Outcome outcome;
    // A sentence for the page: "Right: the lower break-even is 36.00.",
    // "Not right: the lower break-even is not 35." or what to type. A wrong
    // answer's sentence never names the true value: a student who guessed
    // wrong gets a hint to work from first, and the value only on asking.
    QString message;
};
// Judges the answer as the student typed it; anything neither a number nor
// yes or no, as the exercise asks, is unreadable rather than wrong.
Verdict check(const Exercise& exercise, const QString& typed);

} // namespace workbench::exercises
