#pragma once

#include "Packs.h"

#include <QByteArray>
#include <QString>

#include <functional>
#include <optional>
#include <vector>

// A pack's questions for a course platform's own quizzes, in the two forms
// Moodle imports (and other platforms read): Moodle XML and GIFT. Each
// question goes out as `variants` numerical questions, variant k with the
// numbers drawn for the name "variant k", so that the platform can hand
// each student one at random. A variant's text is the question's own words,
// its numbers, what to find and the link that sets it up on the workbench;
// its answer is the judge's, to the decimals the tolerance asks for, with
// the question's tolerance. Percentages are asked and answered in percent.
namespace workbench::packcourse {

// A variant whose answer the program cannot find (no such break-even for
// those numbers, an unlimited extreme) is left out; `leftOut`, when given,
// counts them. `variants` is taken from 1 to packs::limits::mostVariants.
// The answers are valued variant by variant: call off the window's thread.
// One numerical question of the export, in words the formats only wrap.
struct Variant {
    QString name = {}; // "Q1 (q3) variant 2"
    QString text = {};
    QString answer = {};    // "0.53", as the judge writes it
    QString tolerance = {}; // "0.01"
    QString hint = {};
    QString right = {}; // what a right answer is told
};
// Told how many variants of the total are valued so far, before each; it
// answers false to stop, and none are given then.
using Progress = std::function<bool(int done, int total)>;
std::optional<std::vector<Variant>> variantsOf(const packs::Pack& pack, int variants,
                                               int* leftOut = nullptr,
                                               const Progress& progress = {});
// The variants valued once, in either form.
QByteArray moodleXml(const packs::Pack& pack, const std::vector<Variant>& all, int variants);
QString gift(const packs::Pack& pack, const std::vector<Variant>& all, int variants);

QByteArray moodleXml(const packs::Pack& pack, int variants, int* leftOut = nullptr);
QString gift(const packs::Pack& pack, int variants, int* leftOut = nullptr);

} // namespace workbench::packcourse
