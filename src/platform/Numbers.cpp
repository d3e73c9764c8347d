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

} // namespace platform::numbers
