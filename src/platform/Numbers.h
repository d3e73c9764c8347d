#pragma once

#include <QString>
#include <QStringView>

#include <cstdint>

// Reading numbers from text, writing them in fixed formats, and the checked
// conversions between the number types the behaviour keeps.
namespace platform::numbers {

// The leading number of a text: blanks (space, tab, line feed) are skipped
// wherever they stand; then an optional sign, digits with at most one full
// stop, and an optional exponent (E or D, optional sign, digits). Reading stops
// at the first character that does not fit. "&H" and "&O" read hexadecimal and
// octal digits. No number reads as 0. A number beyond the range of a double
// raises RunTimeError 6 (Overflow); one too small to represent reads as 0.
double leadingNumber(QStringView text);

// Raises RunTimeError 6.
[[noreturn]] void raiseOverflow();

// Whether the text starts with a number by the rule above (blanks skipped):
// "40", " -3.5x" and "&H1F" do; "", "abc" and "-" do not.
bool hasLeadingNumber(QStringView text);

// Whether the whole text is one number, blanks around it allowed.
bool isNumeric(QStringView text);

// What the leading-number rule leaves unread: the text from the first
// character that is not part of the number ("1,5" leaves ",5", "4S" leaves
// "S", "abc" all of it), without blanks at its ends; empty for a text that is
// wholly one number, or blank.
QString unreadRest(QStringView text);

// Checked conversions: a value that does not fit raises RunTimeError 6.
// Inline: every stored value of an evaluation passes through it.
inline float toSingle(double value) {
    const float result = static_cast<float>(value);
    if (!(result - result == 0.0f)) { // infinite or NaN
        raiseOverflow();
    }
    return result;
}
// Halves round to the even neighbour before the range check.
std::int16_t toInteger(double value);
std::int32_t toLong(double value);

// Round to the nearest whole number, halves to the even neighbour.
double roundHalfEven(double value);

// A value as the state keeps it: computed in double, stored as a 32-bit float
// once. Shorthand for toSingle, to keep formulas readable.
inline float single(double value) {
    return toSingle(value);
}

// Writes a number in a format of the kind "####0.00": as many decimals as there
// are 0s after the full stop (halves rounded away from zero), at least as many
// integer digits as there are 0s before it, no grouping, a leading minus sign
// for negative numbers and a full stop as decimal mark. The decimal rounding
// works on the shortest text that reads back as the value, so a float 2.675
// shows as 2.68 although its binary value lies a hair below. A value that
// rounds to zero is shown without a sign.
QString format(float value, QStringView pattern);
QString format(double value, QStringView pattern);

// The decimal a float shows as, in double: 3.29f is 3.2899999618 in binary
// and 3.29 here. Sums and products of such values are their decimal results
// up to the noise of double arithmetic, which formatDecimal reads through.
double decimalValue(float value);

// format for a value computed in double from decimal values: it is first
// taken to 12 significant digits (more for a large value, so that one digit
// stays behind the last one shown), so that noise far below that cannot move
// a half. 0.15 x 11.5 is 1.7249999999999999 in double and shows as 1.73, as
// the 1.725 it stands for does.
QString formatDecimal(double value, QStringView pattern);

// The shortest plain text of a float without blanks: 40, 12.5, 1E+20.
QString numberText(float value);

} // namespace platform::numbers
