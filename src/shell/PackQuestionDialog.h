#pragma once

#include "workbench/lessons/Packs.h"

#include <QtGlobal>

#include <optional>

class QPlainTextEdit;
class QWidget;

namespace shell {

// Asks for the question's kind, tolerance, variation and hint; `start` holds its situation
// (and, for an edit, everything else). The answer the program computes for the situation as it
// stands is shown and follows every change. None when the instructor cancels.
std::optional<workbench::packs::Question>
askQuestion(QWidget* parent, const workbench::packs::Question& start, bool editing);

// Keeps the box's text to `longest` characters as it is typed or pasted: what
// goes beyond is cut from what was just put in, so that a paste in the middle
// does not eat the end of the text already there.
void holdToLength(QPlainTextEdit* box, qsizetype longest);

} // namespace shell
