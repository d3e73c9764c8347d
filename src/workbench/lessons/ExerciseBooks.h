#pragma once

#include "Exercises.h"

#include <QString>

// The tutorial's two books of exercises, the strategy pages' and the
// lessons', as the window judges them: an id names an exercise of one or the
// other, and the window need not know which.
namespace workbench::exerciseBooks {

// Whether either book has an exercise of that id.
bool known(const QString& id);

// Judges the typed answer to a known exercise; a wrong answer's message never
// names the true value.
workbench::exercises::Verdict check(const QString& id, const QString& typed);
// What to look at on the workbench after a wrong answer.
QString hint(const QString& id);
// The "Try it" link that sets up the exercise's situation on the workbench.
QString tryIt(const QString& id);
// The true answer, as the page would write it; empty where there is none.
QString trueAnswer(const QString& id);

} // namespace workbench::exerciseBooks
