#pragma once

#include "Exercises.h"

#include <QString>
#include <QStringView>

#include <optional>
#include <vector>

// The exercises of the lessons on time, volatility and chance. Each sets up
// its whole situation with the very "Try it" link its page offers (a
// position on the grid's rows or a listed strategy, its diagram and its
// market), so that the page, the workbench and the judge can never disagree
// about what is asked; the answer is judged against the program's own models
// (the exact analysis, the value before expiry, the law of the price) within
// the tolerance the question states.
namespace workbench::lessons {

enum class Asks {
    ValueWithDaysLeft, // the diagram's value (payoff or profit) with the link's daysLeft at `price`
    Delta,             // of the whole position at `price` with the link's daysLeft
    Gamma,
    ThetaPerDay,
    VegaPerPoint,
    ProbabilityOfProfit, // at expiry, in percent, under the lognormal law the read-out names
    ExpectedProfit,      // at expiry, under the same law
    LowerBreakEven,      // at expiry, trading costs included
    UpperBreakEven,
    BreakEven,      // the only break-even at expiry
    GreatestProfit, // at expiry
    GreatestLoss,   // at expiry, as an amount lost
    ProfitAt,       // at expiry at `price`
    // In percent, of the link's first option, from its premium with the
    // link's days to expiry and today's price.
    ImpliedVolatility,
    // Today's price moved down or up by one standard deviation of the price
    // at expiry, as the diagram marks them under the same law.
    LowerOneSigma,
    UpperOneSigma,
};

struct Exercise {
    const char16_t* id;   // as the page's form names it: "time-value-1"
    const char16_t* link; // the page's "Try it" link: "wqz-workbench:load?..."
    Asks asks;
    double price;     // for the questions at a price
    double tolerance; // either way, as the question states it: 0.01 "to the cent"
    // The answer as the page's author worked it out; a test holds it to the
    // program's own.
    const char16_t* answer;
    // What to look at on the workbench after a first wrong answer: which
    // curve, which line of the read-out.
    const char16_t* hint;
};

// Whether the kind is asked and answered in percent.
bool inPercent(Asks asks);

// A question the judge settles, whoever asks it: a lesson's exercise or an
// instructor's pack, whose situations are their own links.
struct Question {
    QString link; // "wqz-workbench:load?..."
    Asks asks = Asks::ValueWithDaysLeft;
    double price = 0;
    double tolerance = 0.01;
};
Question questionOf(const Exercise& exercise);

// The true answer as a number, or none (no such break-even, an unlimited
// extreme, a link that sets up nothing the judge can value).
std::optional<double> trueNumber(const Question& question);
// As the page would write it, to the decimals the tolerance asks for.
QString trueAnswer(const Question& question);
// What the question asks, as a phrase: "the delta at 55.00 with 20 days left".
QString topic(const Question& question);
exercises::Verdict check(const Question& question, const QString& typed);
// Why the link sets up no situation to judge (it loads nothing, or its
// strategy's legs expire apart), in words; empty when it does.
QString situationProblem(const QString& link);

const std::vector<Exercise>& all();
const Exercise* find(QStringView id);

// The true answer, from the program's models, as the page would write it
// (to the decimals the tolerance asks for); empty where there is none.
QString trueAnswer(const Exercise& exercise);
// Judges a typed answer as exercises::check does; the message of a wrong
// answer names no true value (see exercises::Verdict).
exercises::Verdict check(const Exercise& exercise, const QString& typed);

} // namespace workbench::lessons
