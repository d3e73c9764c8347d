#pragma once

#include "Packs.h"

#include <QByteArray>
#include <QString>

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
QByteArray moodleXml(const packs::Pack& pack, int variants, int* leftOut = nullptr);
QString gift(const packs::Pack& pack, int variants, int* leftOut = nullptr);

} // namespace workbench::packcourse
