#pragma once

#include "Lessons.h"

#include <vector>

// The lessons' exercises, a table per group of pages, which all() puts
// together in the pages' order.
namespace workbench::lessons {

// Time value, volatility and its changes, and the greeks of a position.
const std::vector<Exercise>& timeExercises();
// Probability, today's price, dividends and early exercise.
const std::vector<Exercise>& chanceExercises();
// The positions met early that are not in the strategy list.
const std::vector<Exercise>& positionExercises();
// Calendars and diagonals, whose options expire on different days.
const std::vector<Exercise>& calendarExercises();

} // namespace workbench::lessons
