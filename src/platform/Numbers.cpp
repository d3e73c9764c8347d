#include "Numbers.h"

#include "RunTimeError.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace platform::numbers {

namespace {

using platform::RunTimeError;

bool isBlank(QChar c) {
    return c == u' ' || c == u'\t' || c == u'\n';
}

[[noreturn]] void overflow() {
    throw RunTimeError(platform::errc::Overflow);
}

// Walks a text, hiding the blanks that the leading-number rule skips.
class Reader {
public:
    explicit Reader(QStringView text) : text_(text) {}

    bool atEnd() {
        skipBlanks();
        return pos_ >= text_.size();
    }
    QChar peek() {
        skipBlanks();
        return pos_ < text_.size() ? text_[pos_] : QChar();
    }
    void take() { ++pos_; }
    // Where reading stands, blanks passed over.
    qsizetype position() {
        skipBlanks();
        return pos_;
    }

private:
    void skipBlanks() {
        while (pos_ < text_.size() && isBlank(text_[pos_])) {
            ++pos_;
        }
    }
    QStringView text_;
    qsizetype pos_ = 0;
};

int digitValue(QChar c) {
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9') {
        return u - u'0';
    }
    if (u >= u'a' && u <= u'f') {
        return u - u'a' + 10;
    }
    if (u >= u'A' && u <= u'F') {
        return u - u'A' + 10;
    }
    return 99;
}

double readRadix(Reader& in, int radix) {
    // Beyond 32 bits the run-time gives up with an overflow rather than
    // silently losing digits.
    double value = 0;
    for (int d = digitValue(in.peek()); d < radix; d = digitValue(in.peek())) {
        in.take();
        value = value * radix + d;
        if (value > 4294967295.0) {
            overflow();
        }
    }
    return value;
}

bool isDigit(QChar c) {
    return c.unicode() >= u'0' && c.unicode() <= u'9';
}

double readDecimal(Reader& in) {
    std::string text;
    if (in.peek() == u'+' || in.peek() == u'-') {
        text += char(in.peek().unicode());
        in.take();
    }
    int significantIntegerDigits = 0;
    // For a number below 1, the zeros between the full stop and its first
    // significant digit. Out of range, they tell the huge from the tiny:
    // 0.001E+400 is too large for a double, a 1 four hundred places behind
    // the full stop times 1E+50 too small.
    long long leadingFractionZeros = 0;
    bool significant = false;
    bool seenPoint = false;
    bool anyDigit = false;
    for (;;) {
        const QChar c = in.peek();
        if (isDigit(c)) {
            anyDigit = true;
            significant = significant || c != u'0';
            if (!seenPoint && significant) {
                ++significantIntegerDigits;
            } else if (seenPoint && !significant) {
                ++leadingFractionZeros;
            }
            text += char(c.unicode());
            in.take();
        } else if (c == u'.' && !seenPoint) {
            seenPoint = true;
            text += '.';
            in.take();
        } else {
            break;
        }
    }
    if (!anyDigit) {
        return 0;
    }
    long long exponent = 0;
    const QChar e = in.peek();
    if (e == u'e' || e == u'E' || e == u'd' || e == u'D') {
        in.take();
        bool negative = false;
        if (in.peek() == u'+' || in.peek() == u'-') {
            negative = in.peek() == u'-';
            in.take();
        }
        while (isDigit(in.peek())) {
            // Saturate: anything this large overflows or underflows anyway.
            if (exponent < 100000) {
                exponent = exponent * 10 + (in.peek().unicode() - u'0');
            }
            in.take();
        }
        exponent = negative ? -exponent : exponent;
        text += 'e';
        text += std::to_string(exponent);
    }
    double value = 0;
    const char* begin = text.data();
    if (*begin == '+') {
        ++begin;
    }
    const auto [ptr, ec] = std::from_chars(begin, text.data() + text.size(), value);
    (void)ptr;
    if (ec == std::errc::result_out_of_range) {
        // Too large or too small: tell which from the order of magnitude, the
        // place of the first significant digit moved by the exponent.
        const long long order =
            significantIntegerDigits > 0 ? significantIntegerDigits : -leadingFractionZeros;
        if (significant && order + exponent > 0) {
            overflow();
        }
        return 0;
    }
    return value;
}

// Reads the leading number's characters without converting them; says
// whether it found any digits.
bool scanNumber(Reader& in) {
    if (in.peek() == u'&') {
        in.take();
        const QChar kind = in.peek();
        const int radix = (kind == u'h' || kind == u'H')   ? 16
                          : (kind == u'o' || kind == u'O') ? 8
                                                           : 0;
        if (radix == 0) {
            return false;
        }
        in.take();
        bool any = false;
        while (digitValue(in.peek()) < radix) {
            in.take();
            any = true;
        }
        return any;
    }
    if (in.peek() == u'+' || in.peek() == u'-') {
        in.take();
    }
    bool any = false;
    bool point = false;
    for (;;) {
        const QChar c = in.peek();
        if (isDigit(c)) {
            any = true;
        } else if (c == u'.' && !point) {
            point = true;
        } else {
            break;
        }
        in.take();
    }
    if (!any) {
        return false;
    }
    const QChar e = in.peek();
    if (e == u'e' || e == u'E' || e == u'd' || e == u'D') {
        in.take();
        if (in.peek() == u'+' || in.peek() == u'-') {
            in.take();
        }
        while (isDigit(in.peek())) {
            in.take();
        }
    }
    return true;
}

} // namespace

bool hasLeadingNumber(QStringView text) {
    Reader in(text);
    return scanNumber(in);
}

bool isNumeric(QStringView text) {
    Reader in(text);
    return scanNumber(in) && in.atEnd();
}

QString unreadRest(QStringView text) {
    Reader in(text);
    if (!scanNumber(in)) {
        return text.trimmed().toString();
    }
    return text.mid(in.position()).trimmed().toString();
}

double leadingNumber(QStringView text) {
    Reader in(text);
    if (in.peek() == u'&') {
        in.take();
        const QChar kind = in.peek();
        if (kind == u'h' || kind == u'H') {
            in.take();
            return readRadix(in, 16);
        }
        if (kind == u'o' || kind == u'O') {
            in.take();
            return readRadix(in, 8);
        }
        return 0;
    }
    return readDecimal(in);
}

void raiseOverflow() {
    throw RunTimeError(platform::errc::Overflow);
}

double roundHalfEven(double value) {
    // nearbyint rounds in the current mode, which is round-to-nearest-even.
    return std::nearbyint(value);
}

std::int16_t toInteger(double value) {
    const double r = roundHalfEven(value);
    if (!(r >= -32768.0 && r <= 32767.0)) {
        overflow();
    }
    return static_cast<std::int16_t>(r);
}

std::int32_t toLong(double value) {
    const double r = roundHalfEven(value);
    if (!(r >= -2147483648.0 && r <= 2147483647.0)) {
        overflow();
    }
    return static_cast<std::int32_t>(r);
}

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
        overflow();
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
