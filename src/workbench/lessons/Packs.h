#pragma once

#include "Exercises.h"
#include "Lessons.h"

#include <QByteArray>
#include <QString>
#include <QStringView>

#include <array>
#include <optional>
#include <vector>

// Exercise packs: an instructor's own questions, each a situation the
// workbench can load and a figure the lessons' judge settles, with ranges
// from which each student's own numbers are drawn. A pack is a JSON file
// (".wqzpack"):
//   {"format": "wqz-exercise-pack", "formatVersion": 1,
//    "id": "<32 lower-case hex digits>", "revision": 3,
//    "title": "Week 3: spreads", "instructions": "...",
//    "questions": [
//      {"id": "q1", "text": "...", "situation": "wqz-workbench:load?...",
//       "asks": "Delta", "price": 50, "atTodaysPrice": false,
//       "tolerance": 0.01, "hint": "...",
//       "vary": {"price": [45, 55], "volatility": [20, 40], "days": [20, 60],
//                "rate": [1, 6], "strikeShift": [-5, 5]}}]}
// "text", "hint", "vary" and each of vary's ranges may be left out; "price"
// and "atTodaysPrice" matter only for the questions asked at a price.
// Percentages are in percent, as the panel shows them. Everything the reader
// takes is within `limits`, checked by one function the dialogs use as well,
// so that the program never writes a pack it would refuse.
namespace workbench::packs {

namespace limits {
inline constexpr int formatVersion = 1;
inline constexpr int mostQuestions = 60;
inline constexpr qsizetype longestTitle = 120;
inline constexpr qsizetype longestInstructions = 4000;
inline constexpr qsizetype longestText = 1000;
inline constexpr qsizetype longestHint = 500;
// A situation is a link of the workbench's own, with its rows: room for
// some dozens of rows, far below what a link may carry.
inline constexpr qsizetype longestSituation = 8 * 1024;
inline constexpr qsizetype longestStudent = 60;
inline constexpr int highestRevision = 1000000;
// Every question at its longest, and room for the JSON around them.
inline constexpr qint64 largestFile = 1024 * 1024;
// Strikes move by at most this much either way, and never to 0 or below.
inline constexpr double largestStrikeShift = 1000;
// How far apart the numbers drawn from a range lie: prices and shifts to
// the cent and the half, volatility to the half point, rates to the
// twentieth of a point, days whole. A range's ends lie on these steps.
inline constexpr double priceStep = 0.01;
inline constexpr double volatilityStep = 0.5;
inline constexpr double rateStep = 0.05;
inline constexpr double daysStep = 1;
inline constexpr double strikeShiftStep = 0.5;
// The tolerance of an answer either way: from a ten-thousandth up.
inline constexpr double leastTolerance = 0.0001;
inline constexpr double largestTolerance = 1000;
// Variants of each question a course export writes.
inline constexpr int mostVariants = 100;
} // namespace limits

// What a student's numbers may be drawn from.
enum class Varied { Price, Volatility, Days, Rate, StrikeShift };
inline constexpr std::array<Varied, 5> everyVaried{Varied::Price, Varied::Volatility, Varied::Days,
                                                   Varied::Rate, Varied::StrikeShift};
// The key in a pack's "vary" ("price", "strikeShift"), and the words for it
// ("today's price", "the strike shift").
QString key(Varied varied);
QString words(Varied varied);

struct Range {
    double from = 0;
    double to = 0;
    bool operator==(const Range&) const = default;
};

struct Question {
    QString id;        // "q1", unique in the pack, kept when questions move
    QString text;      // the instructor's own words above the question, or empty
    QString situation; // "wqz-workbench:load?..."
    lessons::Asks asks = lessons::Asks::ValueWithDaysLeft;
    double price = 0;           // for the questions at a price
    bool atTodaysPrice = false; // asked at the student's own price of today instead
    double tolerance = 0.01;
    QString hint;
    std::array<std::optional<Range>, 5> vary{}; // by Varied
    bool operator==(const Question&) const = default;
};

struct Pack {
    QString id; // 32 lower-case hex digits, made when the pack is first made
    int revision = 1;
    QString title;
    QString instructions;
    std::vector<Question> questions;
    bool operator==(const Pack&) const = default;
};

// A new empty pack with an id of its own.
Pack newPack(const QString& title);
// Whether a text is a question's id: "q" and a number from 1 to 9999.
bool isQuestionId(const QString& id);
// The id the next question added takes: "q" and a number no question has.
QString nextQuestionId(const Pack& pack);

// The name of an Asks in a pack ("ThetaPerDay"), and back.
QString asksName(lessons::Asks asks);
std::optional<lessons::Asks> asksNamed(QStringView name);
// Every kind, in the order the dialog offers them, with its words ("the
// position's delta at a price").
const std::vector<lessons::Asks>& everyAsks();
QString asksWords(lessons::Asks asks);
// Whether the kind is asked at a price.
bool atAPrice(lessons::Asks asks);

// Why the question cannot go into a pack, naming the field, or empty. The
// reader refuses a pack with any such question; the dialogs do not let one
// be added.
QString problemOf(const Question& question);
// Why a student's name or number cannot be used, or empty.
QString studentProblem(const QString& student);
// Whether a text holds control characters, line breaks and tabs aside
// where `lineBreaks`: a pack's texts and names hold none.
bool holdsControl(const QString& text, bool lineBreaks);
// The name as the numbers are drawn for it: blanks trimmed and single,
// letters in one case, so that "Ann  Lee" and "ann lee" are one student.
QString studentKey(const QString& student);

struct Reading {
    std::optional<Pack> pack;
    // Why the pack is refused, in words that name the question and field:
    // "Question 3 (q7): the volatility range 0 to 40 reaches below 1 %."
    QString problem;
};
Reading fromJson(const QByteArray& bytes);
// The file's bytes; every pack the program makes reads back equal.
QByteArray toJson(const Pack& pack);

// One student's numbers for a question: each varied input as drawn (none
// where the question does not vary it).
struct Numbers {
    std::array<std::optional<double>, 5> drawn{}; // by Varied
    bool operator==(const Numbers&) const = default;
};
// Drawn from the question's ranges with a seed made of the pack's id, the
// student's key and the question's id: the same student always gets the
// same numbers, whatever the order of the questions, and two students
// almost always different ones. `student` may also be a variant's name
// ("variant 3") for a course export.
Numbers draw(const Pack& pack, const Question& question, const QString& student);
// The numbers in words: "today's price 51.35, volatility 27.5 %"; empty
// when nothing varies.
QString numbersText(const Numbers& numbers);

// The question with those numbers, as the judge takes it: the situation's
// link with the numbers in place, and the price asked at.
lessons::Question posed(const Question& question, const Numbers& numbers);
// The question's sentence for the page: its own text left out, "Find the
// position's delta at 52.00 with 20 days left, to 0.01 either way."
QString asked(const Question& question, const Numbers& numbers);
// The same for the question already posed with those numbers.
QString asked(const Question& question, const lessons::Question& posed);

} // namespace workbench::packs
