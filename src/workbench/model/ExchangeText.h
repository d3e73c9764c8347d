#pragma once

#include <QString>
#include <QStringList>

#include <array>

#include <cstdint>

// The text routines of option data exchange: splitting a quote table copied
// from a spreadsheet and cleaning text before it goes into a grid.
namespace workbench::exchangetext {

// Removes the first field from the line and returns it. The separator is the
// first tab; without one, the first carriage return + line feed; without
// that, the first carriage return. One tab, line feed or carriage return
// left at the start of a remaining line of two or more characters is dropped
// (the line feed of a CR LF separator; it also swallows one empty field).
QString takeField(QString& line);

// Cuts a quote table at every carriage return + line feed. The last piece is
// what follows the last line end; an empty text gives no piece at all.
QStringList splitQuoteLines(const QString& text);

// The lines of a quote table. Where the text holds a carriage return + line
// feed pair anywhere, only that pair ends a line; otherwise every lone
// carriage return or line feed does, so that the grid's own copy (rows ended
// by carriage returns) and text from this desktop (line feeds) read too. A
// last line without a line end counts; nothing after a final line end does.
QStringList quoteLines(const QString& text);

// One line of a quote table as the five cells of a position grid row, in the
// grid's order (call quantity, call premium, strike, put quantity, put
// premium). A line of five or more tab-separated fields is such a row as it
// stands, quantities included; a shorter one is call premium, strike and put
// premium as takeField splits them, with both quantities "0". A sixth field,
// when not blank, is the days to expiry of the row's options, written after
// each quantity as the grid keeps a leg's own days ("0 @60").
std::array<QString, 5> quoteRow(QString line);

// Every line feed becomes a blank, one for one.
void replaceLineFeeds(QString& text);

// Drops every comma (1,250.50 becomes 1250.50). The scan counts with a 16-bit
// counter: a text over 32767 characters that holds a comma raises
// RunTimeError 6.
void removeCommas(QString& text);

// The empty text and a text that is not a number give 0; otherwise the number
// as a 16-bit integer (RunTimeError 6 when it does not fit).
std::int16_t textToInteger(const QString& text);

void clearText(QString& text);

// The numbers of a pasted quote table in the program's own writing, where
// the table says unambiguously how it writes them: a table whose numbers
// group thousands with commas ("1,250.50", "12,000") loses the commas; one
// whose numbers take a comma as their decimal mark ("12,75", "1.250,50")
// has full stops for them and loses its grouping dots. A table that shows
// both habits, or neither ("1,250" alone), is left as it is, for each cell
// is then read by the leading-number rule and marked where that leaves a
// rest. Only cells that are wholly such a number are touched.
void readNumbers(QList<std::array<QString, 5>>& rows);

} // namespace workbench::exchangetext
