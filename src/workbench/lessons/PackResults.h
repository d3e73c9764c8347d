#pragma once

#include "Exercises.h"
#include "Packs.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>
#include <utility>
#include <vector>

// A student's results of a pack as a CSV file the student hands in, and the
// files of a class gathered into one table for the instructor. The file
// opens in any spreadsheet: a first line naming the pack, its revision, the
// student and how many questions follow, a header, and one line a question:
//   "Results of ""Week 3: spreads"" (pack 0123...cdef, revision 3) for Ann Lee: 2 questions"
//   question,id,numbers,answer given,right,tries,answer shown
//   1,q1,"today's price 51.35, volatility 27.5 %",0.53,yes,2,no
// Fields are quoted as RFC 4180 has it, and a text a spreadsheet would take
// for a formula starts with a "'" that the reader takes off again; a number
// such as -0.53 stays a number.
namespace workbench::packresults {

namespace limits {
// The typed answer as the judge takes one, the numbers as a question's words
// write them (five of them at their longest), and a question's id as a pack
// keeps it.
inline constexpr qsizetype longestAnswer = exercises::longestAnswer;
inline constexpr qsizetype longestNumbers = 400;
inline constexpr qsizetype longestId = 40;
inline constexpr int mostTries = 1000000;
} // namespace limits

// Every row at its longest, each character quoted twice over, fits with
// room to spare: a file the program writes is never too large to read.
inline constexpr qint64 largestResults = 256 * 1024;
static_assert(packs::limits::mostQuestions *
                      (4 * (limits::longestAnswer + limits::longestNumbers + limits::longestId) +
                       64) +
                  8 * (packs::limits::longestTitle + packs::limits::longestStudent) + 1024 <
              largestResults);

struct Row {
    int number = 0;     // the question's place in the pack, from 1
    QString questionId; // "q3"
    QString numbers;    // the student's numbers in words, as packs::numbersText
    QString answer;     // the last answer typed, or empty
    bool right = false;
    int tries = 0;
    bool shown = false; // the student asked for the true answer
    bool operator==(const Row&) const = default;
};

// The file's bytes (UTF-8). Rows past the most questions a pack holds, texts
// past their limits and tries past the most counted are cut to them, so
// that the reader takes back whatever is written; the student's name is one
// packs::studentProblem accepts.
QByteArray csv(const packs::Pack& pack, const QString& student, const std::vector<Row>& rows);

struct Results {
    QString packId;
    int revision = 0;
    QString title;
    QString student;
    std::vector<Row> rows;
};
struct ResultsReading {
    std::optional<Results> results;
    // Why the file is refused: "Line 4 has 6 fields, not 7."
    QString problem;
};
// Reads what csv writes and nothing else.
ResultsReading read(const QByteArray& bytes);

struct Gathered {
    QByteArray csv;      // empty when no file was read
    int files = 0;       // how many files the table holds
    QStringList refused; // "name.csv: why"
};
// The results of one pack, the pack of the first file read, as one table:
// a line naming the pack, then a line a student (by name, whatever the
// case) with a column a question (in the order of the newest revision's
// rows) reading "right", "shown", "wrong (2 tries)" or nothing for not
// tried, and how many are right. Of two files of one student the later
// revision is kept; of two of one revision the first.
Gathered gather(const std::vector<std::pair<QString, QByteArray>>& files);

} // namespace workbench::packresults
