#pragma once

#include "workbench/model/PayoffEvaluation.h"
#include "workbench/pricing/Scenarios.h"

#include <QString>

// The scenarios table in words: its headers, its numbers as the read-out
// writes them, the line that explains it, and the whole of it as text for the
// clipboard and for a file.
namespace workbench::scenariotext {

// What the table says while no curve is drawn.
inline const QString kNoCurve = QStringLiteral("Plot a position to see its scenarios.");
// What marks a row beside its price, besides its bold face; the note line
// says what each means.
inline const QString kTodayMark = QStringLiteral("\u25B6");
inline const QString kBreakEvenMark = QStringLiteral("\u25C6");

// "Profit" or "Payoff", as a column or an axis names the value.
QString kindWord(payoff::DiagramKind kind);
// A number of days in words: "1 day", "30 days".
QString daysWords(int days);

// When the curve at expiry holds: "at expiry", or for legs that expire on
// different days "at the first expiry, day 30".
QString expiryWords(int firstExpiry);

// The what-ifs on volatility that hold at a date, to follow its days left:
// " after the event", ", volatility +10 points", both, or nothing.
QString whatIfWords(const beforeexpiry::Inputs& inputs, int daysLeft);
// A volatility shift in points with its sign: "+10 points", "-5 points".
QString shiftWords(double shift);

// Why a row takes no part in a value before expiry, in words that fit in a
// sentence: "row 2's strike, 0, is not above 0".
QString whyNotValued(const beforeexpiry::RowNotValued& row);

// A column as the table heads it: "30 days", "1 day", "Expiry", or across
// volatility "-10 points".
QString columnHeader(const scenarios::Table& table, int column);
// What a column holds, for text read away from the table, named as the
// exported numeric values name the dashed curve's column: "Profit with 30
// days left", "Payoff at expiry", "Profit with 10 days left, volatility +10
// points".
QString columnTitle(const scenarios::Table& table, payoff::DiagramKind kind, int column);
// A row's price, with as many decimals as the prices need, at least two.
QString priceText(const scenarios::Table& table, int row);
// An amount as the read-out writes it; empty where the model cannot value.
QString valueText(double value);
// Why the row is marked, in words: "Today's price", "Break-even 46.50", both
// joined by "; ", or nothing.
QString rowNote(const scenarios::Table& table, int row);
// A cell in words, for its tooltip and a screen reader: "Profit -1.25 at
// 45.00 with 24 days left".
QString cellText(const scenarios::Table& table, payoff::DiagramKind kind, int row, int column);

// The table as lines of fields, each line ending in CR LF: a header row
// ("Underlying", each column's title, "Note"), then a row a price, highest
// first, its note last. Tab-separated for a spreadsheet's paste; comma-separated
// in the common form (RFC 4180) for a file. Empty for a table without rows.
QString tabSeparated(const scenarios::Table& table, payoff::DiagramKind kind);
QString commaSeparated(const scenarios::Table& table, payoff::DiagramKind kind);

// The line above the table: what it shows, its marks, and what it leaves
// empty and why.
QString note(const scenarios::Table& table, payoff::DiagramKind kind);

} // namespace workbench::scenariotext
