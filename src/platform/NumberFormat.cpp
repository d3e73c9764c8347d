// The numbers as the program writes them: a pattern's digits, and the
// shortest text that reads back as the same number.
#include "Numbers.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace platform::numbers {

namespace {

struct Pattern {
    int minIntegerDigits = 0;
    int decimals = 0;
};

Pattern parsePattern(QStringView pattern) {
    Pattern p;
    const qsizetype point = pattern.indexOf(u'.');
    const QStringView integer = point < 0 ? pattern : pattern.left(point);
    p.minIntegerDigits = int(integer.count(u'0'));
    if (point >= 0) {
        p.decimals = int(pattern.mid(point + 1).count(u'0'));
    }
    return p;
}

// Formats the decimal digits of |value| given as a shortest scientific text
// ("d.ddddde[+-]xx").
QString formatScientific(const char* sci, bool negative, const Pattern& p) {
    std::string digits;
    const char* c = sci;
    for (; *c != 'e' && *c != '\0'; ++c) {
        if (*c >= '0' && *c <= '9') {
            digits += *c;
        }
    }
    int exponent = 0;
    if (*c == 'e') {
        std::from_chars(c[1] == '+' ? c + 2 : c + 1, sci + std::char_traits<char>::length(sci),
                        exponent);
    }
    // value = 0.digits x 10^(exponent + 1); the number of integer digits:
    int pointPos = exponent + 1;
    // Keep the digits up to the last decimal place, rounding half away from zero.
    const int keep = pointPos + p.decimals;
    if (keep < 0) {
        digits.clear();
    } else if (keep < int(digits.size())) {
        const bool roundUp = digits[std::size_t(keep)] >= '5';
        digits.resize(std::size_t(keep));
        if (roundUp) {
            int i = keep - 1;
            for (; i >= 0 && digits[std::size_t(i)] == '9'; --i) {
                digits[std::size_t(i)] = '0';
            }
            if (i >= 0) {
                ++digits[std::size_t(i)];
            } else {
                digits.insert(digits.begin(), '1');
                ++pointPos;
            }
        }
    }
    // Lay the digits out around the decimal point.
    std::string integer;
    std::string fraction;
    for (int i = 0; i < pointPos; ++i) {
        integer += i < int(digits.size()) ? digits[std::size_t(i)] : '0';
    }
    for (int i = 0; i < p.decimals; ++i) {
        const int at = pointPos + i;
        fraction += (at >= 0 && at < int(digits.size())) ? digits[std::size_t(at)] : '0';
    }
    const std::size_t firstNonZero = integer.find_first_not_of('0');
    integer = firstNonZero == std::string::npos ? std::string() : integer.substr(firstNonZero);
    while (int(integer.size()) < p.minIntegerDigits) {
        integer.insert(integer.begin(), '0');
    }
    const bool zero = integer.find_first_not_of('0') == std::string::npos &&
                      fraction.find_first_not_of('0') == std::string::npos;
    std::string out = (negative && !zero) ? "-" : "";
    out += integer;
    if (p.decimals > 0) {
        out += '.';
        out += fraction;
    }
    return QString::fromLatin1(out.data(), qsizetype(out.size()));
}

// From the shortest digits that read back as the value, or from `digits`
// significant ones.
template <typename T> QString formatAny(T value, QStringView pattern, int digits = 0) {
    const Pattern p = parsePattern(pattern);
    if (!std::isfinite(value)) {
        raiseOverflow();
    }
    char buf[64];
    constexpr auto scientific = std::chars_format::scientific;
    const T size = std::fabs(value);
    const auto res = digits > 0
                         ? std::to_chars(buf, buf + sizeof buf - 1, size, scientific, digits - 1)
                         : std::to_chars(buf, buf + sizeof buf - 1, size, scientific);
    *res.ptr = '\0';
    return formatScientific(buf, std::signbit(value), p);
}

} // namespace

QString format(float value, QStringView pattern) {
    return formatAny(value, pattern);
}

QString format(double value, QStringView pattern) {
    return formatAny(value, pattern);
}

double decimalValue(float value) {
    char buf[64];
    double decimal = value;
    std::from_chars(buf, std::to_chars(buf, buf + sizeof buf, value).ptr, decimal);
    return decimal;
}

QString formatDecimal(double value, QStringView pattern) {
    const double size = std::fabs(value);
    const int integerDigits = std::isfinite(size) && size >= 1 ? int(std::log10(size)) + 1 : 1;
    const int digits = std::clamp(integerDigits + parsePattern(pattern).decimals + 1, 12, 17);
    return formatAny(value, pattern, digits);
}

QString numberText(float value) {
    char buf[64];
    const auto res = std::to_chars(buf, buf + sizeof buf - 1, value);
    *res.ptr = '\0';
    QString text = QString::fromLatin1(buf).toUpper();
    // The plain form is what a reader expects: 1E+20, not 1e+20.
    return text;
}

} // namespace platform::numbers
