// Feeds arbitrary text to the routines that read what users paste or type:
// quote tables copied from a spreadsheet, grid selections and numbers. Each
// check states what a routine promises its callers, so a wrong answer fails as
// loudly as a crash.
//
// Input layout: four parameter bytes, then the text.
//   byte 0  rows of the selection rectangle, -2..21
//   byte 1  columns of the selection rectangle, -2..21
//   byte 2  bits 0-1: '#'s of the number pattern; bits 2-3: its integer 0s less
//           one; bit 4: a decimal part; bit 5: a CR LF after the last table
//           row; bit 7: also try the text repeated past 32767 characters
//   byte 3  decimals of the number pattern (low four bits)
// The text is read as UTF-8, as Latin-1 and as raw UTF-16, so that every code
// unit, lone surrogates included, reaches the routines. Its first bytes are
// also taken as the bits of a double and of a float.

#include "Printable.h"
#include "platform/Numbers.h"
#include "platform/RunTimeError.h"
#include "platform/SelectionText.h"
#include "workbench/model/ExchangeText.h"

#include <QString>
#include <QStringList>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace {

using fuzzing::printable;

[[noreturn]] void fail(int line, const char* condition, QStringView text) {
    std::fprintf(stderr, "fuzz_text_routines.cpp:%d: broken: %s\n  on (%lld chars): %s\n", line,
                 condition, static_cast<long long>(text.size()), printable(text.left(400)).c_str());
    std::abort();
}

#define CHECK(condition, text)                                                                     \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            fail(__LINE__, #condition, text);                                                      \
        }                                                                                          \
    } while (false)

// Overflow (RunTimeError 6) is an answer these routines may give; it comes
// back as an empty optional. Any other error code is a fault.
template <typename F> auto unlessOverflow(F f, QStringView text) -> std::optional<decltype(f())> {
    try {
        return f();
    } catch (const platform::RunTimeError& e) {
        CHECK(e.code() == platform::errc::Overflow, text);
        return std::nullopt;
    }
}

bool isDigit(QChar c) {
    return c.unicode() >= u'0' && c.unicode() <= u'9';
}

template <typename T> long double ulp(T value) {
    const T a = std::fabs(value);
    return static_cast<long double>(std::nextafter(a, std::numeric_limits<T>::infinity())) - a;
}

struct Params {
    int rows = 0;
    int cols = 0;
    int hashes = 0;
    int integerZeros = 1;
    bool point = false;
    int decimals = 0;
    bool trailingLineEnd = false;
    bool longText = false;

    // A pattern of the kind the grids and text boxes use: "##0.00".
    QString pattern() const {
        QString p = QString(hashes, u'#') + QString(integerZeros, u'0');
        if (point) {
            p += u'.';
            p += QString(decimals, u'0');
        }
        return p;
    }
};

Params readParams(const std::uint8_t (&head)[4]) {
    Params p;
    p.rows = int(head[0] % 24) - 2;
    p.cols = int(head[1] % 24) - 2;
    p.hashes = head[2] & 3;
    p.integerZeros = 1 + ((head[2] >> 2) & 3);
    p.point = (head[2] & 0x10) != 0;
    p.decimals = p.point ? head[3] & 15 : 0;
    p.trailingLineEnd = (head[2] & 0x20) != 0;
    p.longText = (head[2] & 0x80) != 0;
    return p;
}

// ---------------------------------------------------------------- quote tables

// Taking fields one by one always ends: each call consumes the field and at
// least its separator, and the field is what stood before the separator.
void checkTakeField(const QString& text) {
    QString line = text;
    qsizetype calls = 0;
    while (!line.isEmpty()) {
        const QString before = line;
        const QString field = workbench::exchangetext::takeField(line);
        ++calls;
        CHECK(line.size() < before.size(), before);
        CHECK(!field.contains(u'\t'), before);
        CHECK(before.startsWith(field) && before.endsWith(line), before);
        const qsizetype gap = before.size() - field.size() - line.size();
        if (gap == 0) {
            // The last field: only a line without any separator is taken whole.
            CHECK(line.isEmpty() && !before.contains(u'\t') && !before.contains(u'\r'), before);
            continue;
        }
        // The separator, and at most one tab or line end dropped after it.
        CHECK(gap <= 2, before);
        const QChar sep = before[field.size()];
        CHECK(sep == u'\t' || sep == u'\r', before);
        if (gap == 2) {
            const QChar dropped = before[field.size() + 1];
            CHECK(dropped == u'\t' || dropped == u'\n' || dropped == u'\r', before);
        }
        if (before.contains(u'\t')) {
            CHECK(field.size() == before.indexOf(u'\t'), before);
        }
    }
    CHECK(calls <= text.size(), text);

    QString empty;
    CHECK(workbench::exchangetext::takeField(empty).isEmpty() && empty.isEmpty(), text);
}

// A pasted table cut at its line ends loses nothing but the line ends, and the
// first three fields of each piece never hold a tab.
void checkQuoteLines(const QString& text) {
    const QStringList pieces = workbench::exchangetext::splitQuoteLines(text);
    if (text.isEmpty()) {
        CHECK(pieces.isEmpty(), text);
        return;
    }
    CHECK(pieces.join(QStringLiteral("\r\n")) == text, text);
    for (const QString& piece : pieces) {
        CHECK(!piece.contains(QStringLiteral("\r\n")), piece);
        QString line = piece;
        for (int i = 0; i < 3; ++i) {
            CHECK(!workbench::exchangetext::takeField(line).contains(u'\t'), piece);
        }
    }
}

// A table as a spreadsheet copies it (cells joined by tabs, three to a row,
// rows ended by CR LF) reads back cell for cell, as long as no cell is empty.
void checkTableRoundTrip(const QString& text, bool trailingLineEnd) {
    QStringList cells;
    QString cell;
    for (const QChar c : text) {
        if (c == u'\t' || c == u'\r' || c == u'\n') {
            if (!cell.isEmpty()) {
                cells << cell;
            }
            cell.clear();
        } else {
            cell += c;
        }
    }
    if (!cell.isEmpty()) {
        cells << cell;
    }
    QString table;
    for (qsizetype i = 0; i < cells.size(); ++i) {
        if (i > 0) {
            table += i % 3 == 0 ? QStringLiteral("\r\n") : QStringLiteral("\t");
        }
        table += cells[i];
    }
    const qsizetype rowCount = (cells.size() + 2) / 3;
    if (trailingLineEnd && rowCount > 0) {
        table += QStringLiteral("\r\n");
    }

    const QStringList rows = workbench::exchangetext::splitQuoteLines(table);
    CHECK(rows.size() == rowCount + (trailingLineEnd && rowCount > 0 ? 1 : 0), table);
    for (qsizetype r = 0; r < rowCount; ++r) {
        QString line = rows[r];
        for (qsizetype i = 3 * r; i < std::min(3 * r + 3, cells.size()); ++i) {
            CHECK(workbench::exchangetext::takeField(line) == cells[i], table);
        }
        CHECK(line.isEmpty(), table);
    }
    if (rows.size() > rowCount) {
        CHECK(rows.last().isEmpty(), table);
    }
}

// ------------------------------------------------------------ grid selections

// Laying a text into a rectangle: every piece inside it, no cell twice, and
// exactly the cells that the text's lines (CR) and fields (tab) name.
void checkLayText(const QString& text, int rows, int cols) {
    const std::vector<platform::selection::PlacedText> placed =
        platform::selection::layText(text, rows, cols);
    std::set<std::pair<int, int>> seen;
    for (const platform::selection::PlacedText& p : placed) {
        CHECK(p.row >= 0 && p.row < rows && p.col >= 0 && p.col < cols, text);
        CHECK(seen.insert({p.row, p.col}).second, text);
        CHECK(!p.text.contains(u'\t') && !p.text.contains(u'\r'), text);
    }

    std::vector<platform::selection::PlacedText> expected;
    if (cols > 0) {
        const QStringList lines = text.split(u'\r');
        for (int r = 0; r < std::min<qsizetype>(rows, lines.size()); ++r) {
            const QStringList fields = lines[r].split(u'\t');
            for (int c = 0; c < std::min<qsizetype>(cols, fields.size()); ++c) {
                expected.push_back({r, c, fields[c]});
            }
        }
    }
    CHECK(placed.size() == expected.size(), text);
    for (std::size_t i = 0; i < placed.size(); ++i) {
        CHECK(placed[i].row == expected[i].row && placed[i].col == expected[i].col &&
                  placed[i].text == expected[i].text,
              text);
    }

    // One cell takes a text without separators whole.
    if (!text.contains(u'\t') && !text.contains(u'\r')) {
        const auto one = platform::selection::layText(text, 1, 1);
        CHECK(one.size() == 1 && one[0].row == 0 && one[0].col == 0 && one[0].text == text, text);
    }
}

// ----------------------------------------------------------------- text clean-up

void checkReplaceLineFeeds(const QString& text) {
    QString s = text;
    workbench::exchangetext::replaceLineFeeds(s);
    CHECK(s.size() == text.size() && !s.contains(u'\n'), text);
    for (qsizetype i = 0; i < s.size(); ++i) {
        CHECK(s[i] == (text[i] == u'\n' ? QChar(u' ') : text[i]), text);
    }
}

// Commas go and everything else stays in order; a text too long for the
// 16-bit count is refused whole rather than half cleaned.
void checkRemoveCommas(const QString& text) {
    const bool refused = text.size() > 32767 && text.contains(u',');
    QString s = text;
    try {
        workbench::exchangetext::removeCommas(s);
    } catch (const platform::RunTimeError& e) {
        CHECK(e.code() == platform::errc::Overflow && refused, text);
        CHECK(s == text, text);
        return;
    }
    CHECK(!refused, text);
    QString expected(text.size(), Qt::Uninitialized);
    const auto end = std::remove_copy(text.cbegin(), text.cend(), expected.begin(), QChar(u','));
    expected.truncate(end - expected.begin());
    CHECK(s == expected, text);
}

// ---------------------------------------------------------------------- numbers

// What a text should read as, found apart from the routine under test: the
// same reading rule, the conversion done by the C library in long double,
// whose range reaches far beyond double's.
struct Reading {
    bool found = false; // the text starts with a number
    bool radix = false; // written &H or &O
    long double value = 0;
};

int radixDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return 99;
}

Reading expectedReading(QStringView text) {
    std::string s; // blanks dropped; anything outside ASCII ends the number
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u == u' ' || u == u'\t' || u == u'\n') {
            continue;
        }
        if (u == 0 || u > 0x7e) {
            s += '\x7f';
            break;
        }
        s += char(u);
    }
    s += '\x7f';

    Reading r;
    std::size_t i = 0;
    if (s[0] == '&') {
        const int radix = (s[1] == 'h' || s[1] == 'H') ? 16 : (s[1] == 'o' || s[1] == 'O') ? 8 : 0;
        if (radix == 0) {
            return r;
        }
        r.radix = true;
        for (i = 2; radixDigit(s[i]) < radix; ++i) {
            r.value = r.value * radix + radixDigit(s[i]);
            r.found = true;
        }
        return r;
    }
    std::string number;
    if (s[i] == '+' || s[i] == '-') {
        if (s[i] == '-') {
            number += '-';
        }
        ++i;
    }
    bool point = false;
    for (;; ++i) {
        if (s[i] >= '0' && s[i] <= '9') {
            number += s[i];
            r.found = true;
        } else if (s[i] == '.' && !point) {
            number += '.';
            point = true;
        } else {
            break;
        }
    }
    if (!r.found) {
        return r;
    }
    if (s[i] == 'e' || s[i] == 'E' || s[i] == 'd' || s[i] == 'D') {
        ++i;
        std::string exponent;
        if (s[i] == '+' || s[i] == '-') {
            exponent += s[i++];
        }
        bool digits = false;
        for (; s[i] >= '0' && s[i] <= '9'; ++i) {
            exponent += s[i];
            digits = true;
        }
        if (digits) {
            number += 'e' + exponent;
        }
    }
    r.value = std::strtold(number.c_str(), nullptr);
    return r;
}

void checkReading(QStringView text) {
    const bool has = platform::numbers::hasLeadingNumber(text);
    CHECK(!platform::numbers::isNumeric(text) || has, text);
    const Reading want = expectedReading(text);
    CHECK(has == want.found, text);

    const auto got = unlessOverflow([&] { return platform::numbers::leadingNumber(text); }, text);
    if (!has) {
        CHECK(got && *got == 0, text);
        return;
    }
    const long double size = std::fabs(want.value);
    if (want.radix) {
        CHECK(got.has_value() == (size <= 4294967295.0L), text);
        CHECK(!got || *got == want.value, text);
        return;
    }
    // Beyond double's range is an overflow; too small to represent reads as 0.
    // A hair either side of the largest double may round either way.
    if (size > 1.7976931348623159e308L) {
        CHECK(!got, text);
        return;
    }
    if (size < 1.7976931348623157e308L) {
        CHECK(got.has_value(), text);
        const long double error = std::fabs(*got - want.value);
        if (size < 2.4e-324L) {
            CHECK(*got == 0, text);
        } else if (size < DBL_MIN) {
            CHECK(*got == 0 || error <= std::numeric_limits<double>::denorm_min(), text);
        } else {
            CHECK(error <= 2 * ulp(static_cast<double>(want.value)), text);
        }
    }
}

void checkTextToInteger(const QString& text) {
    const auto n =
        unlessOverflow([&] { return workbench::exchangetext::textToInteger(text); }, text);
    if (!platform::numbers::isNumeric(text)) {
        CHECK(n && *n == 0, text);
        return;
    }
    const auto v = unlessOverflow([&] { return platform::numbers::leadingNumber(text); }, text);
    if (!v) {
        CHECK(!n, text);
        return;
    }
    CHECK(n.has_value() == (*v >= -32768.5 && *v < 32767.5), text);
    if (n) {
        const double error = std::fabs(*n - *v);
        CHECK(error < 0.5 || (error == 0.5 && *n % 2 == 0), text);
    }
}

// The checked conversions: a value that fits comes back rounded (halves to
// even for the integers), one that does not raises Overflow.
void checkConversions(double v, QStringView text) {
    const auto single = unlessOverflow([&] { return platform::numbers::toSingle(v); }, text);
    if (std::isnan(v) || std::fabs(v) >= 0x1p128) {
        CHECK(!single, text);
    } else if (std::fabs(v) <= FLT_MAX) {
        CHECK(single.has_value(), text);
        CHECK(std::fabs(*single - static_cast<long double>(v)) <= ulp(*single) / 2, text);
    }

    auto checkRounded = [&](double r, double low, double high) {
        CHECK(v >= low && v < high, text);
        const double error = std::fabs(r - v);
        CHECK(error < 0.5 || (error == 0.5 && std::fmod(r, 2.0) == 0), text);
    };
    const auto i16 = unlessOverflow([&] { return platform::numbers::toInteger(v); }, text);
    if (i16) {
        checkRounded(*i16, -32768.5, 32767.5);
    } else {
        CHECK(!(v >= -32768.5 && v < 32767.5), text);
    }
    const auto i32 = unlessOverflow([&] { return platform::numbers::toLong(v); }, text);
    if (i32) {
        checkRounded(*i32, -2147483648.5, 2147483647.5);
    } else {
        CHECK(!(v >= -2147483648.5 && v < 2147483647.5), text);
    }
    if (std::isfinite(v)) {
        const double r = platform::numbers::roundHalfEven(v);
        CHECK(r == std::floor(r), text);
        checkRounded(r, -std::numeric_limits<double>::infinity(),
                     std::numeric_limits<double>::infinity());
    }
}

// The shortest text of a float reads back as that float.
void checkNumberText(float f) {
    if (!std::isfinite(f)) {
        return;
    }
    const QString s = platform::numbers::numberText(f);
    CHECK(!s.isEmpty() && !s.contains(u' ') && platform::numbers::isNumeric(s), s);
    CHECK(static_cast<float>(platform::numbers::leadingNumber(s)) == f, s);
}

// A number written with a pattern: an optional minus, at least as many integer
// digits as the pattern has 0s (no zero in front beyond those), the pattern's
// decimals, and read back within half a unit of the last decimal.
template <typename T> void checkFormat(T value, const Params& p) {
    const QString pattern = p.pattern();
    const auto out =
        unlessOverflow([&] { return platform::numbers::format(value, pattern); }, pattern);
    if (!std::isfinite(value)) {
        CHECK(!out, pattern);
        return;
    }
    CHECK(out.has_value(), pattern);
    const QString& s = *out;
    CHECK(!s.isEmpty(), pattern);

    const bool negative = s.startsWith(u'-');
    qsizetype i = negative ? 1 : 0;
    const qsizetype integerStart = i;
    while (i < s.size() && isDigit(s[i])) {
        ++i;
    }
    const qsizetype integerDigits = i - integerStart;
    CHECK(integerDigits >= p.integerZeros, s);
    CHECK(integerDigits == p.integerZeros || s[integerStart] != u'0', s);
    if (p.decimals > 0) {
        CHECK(i < s.size() && s[i] == u'.', s);
        const qsizetype fractionStart = ++i;
        while (i < s.size() && isDigit(s[i])) {
            ++i;
        }
        CHECK(i - fractionStart == p.decimals, s);
    }
    CHECK(i == s.size(), s);
    const bool zero =
        std::all_of(s.begin(), s.end(), [](QChar c) { return !isDigit(c) || c == u'0'; });
    CHECK(negative == (std::signbit(value) && !zero), s);

    const double back = platform::numbers::leadingNumber(s);
    const long double tolerance =
        0.5L * std::pow(10.0L, -p.decimals) + 2 * ulp(value) + 2 * ulp(back);
    CHECK(std::fabs(back - static_cast<long double>(value)) <= tolerance, s);
}

// Any text as a pattern: the result is still a plain number with at least as
// many integer digits as the pattern has 0s before its full stop.
void checkFormatAnyPattern(double value, const QString& pattern) {
    if (!std::isfinite(value)) {
        return;
    }
    const QString s = platform::numbers::format(value, pattern);
    const qsizetype point = pattern.indexOf(u'.');
    const qsizetype zeros = (point < 0 ? pattern : pattern.left(point)).count(u'0');
    const qsizetype sPoint = s.indexOf(u'.');
    const qsizetype integerDigits = (sPoint < 0 ? s.size() : sPoint) - (s.startsWith(u'-') ? 1 : 0);
    CHECK(integerDigits >= zeros, pattern);
    for (const QChar c : s) {
        CHECK(isDigit(c) || c == u'.' || c == u'-', pattern);
    }
}

void checkValue(double v, const Params& p, QStringView text) {
    checkConversions(v, text);
    checkFormat(v, p);
    if (std::isnan(v) || std::fabs(v) <= FLT_MAX) {
        const float f = static_cast<float>(v);
        checkFormat(f, p);
        checkNumberText(f);
    }
}

void checkText(const QString& text, const Params& p) {
    checkTakeField(text);
    checkQuoteLines(text);
    checkTableRoundTrip(text, p.trailingLineEnd);
    checkLayText(text, p.rows, p.cols);
    checkReplaceLineFeeds(text);
    checkRemoveCommas(text);
    checkReading(text);
    checkTextToInteger(text);
    if (const auto v =
            unlessOverflow([&] { return platform::numbers::leadingNumber(text); }, text)) {
        checkValue(*v, p, text);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::uint8_t head[4] = {};
    const std::size_t headSize = std::min<std::size_t>(size, 4);
    if (headSize > 0) {
        std::memcpy(head, data, headSize);
    }
    const Params p = readParams(head);
    const char* body = reinterpret_cast<const char*>(data) + headSize;
    const std::size_t bodySize = size - headSize;

    std::u16string units(bodySize / 2, u'\0');
    if (!units.empty()) {
        std::memcpy(units.data(), body, units.size() * 2);
    }
    const QString latin1 = QString::fromLatin1(body, qsizetype(bodySize));
    const QString texts[] = {
        QString::fromUtf8(body, qsizetype(bodySize)),
        latin1,
        QString(reinterpret_cast<const QChar*>(units.data()), qsizetype(units.size())),
    };
    for (const QString& text : texts) {
        checkText(text, p);
    }
    if (p.longText) {
        const QString part = latin1.isEmpty() ? QStringLiteral(",") : latin1;
        checkRemoveCommas(part.repeated(32768 / part.size() + 1));
    }

    if (bodySize >= sizeof(double)) {
        double d;
        std::memcpy(&d, body, sizeof d);
        checkValue(d, p, latin1);
        checkFormatAnyPattern(d, latin1.mid(8));
    }
    if (bodySize >= sizeof(float)) {
        float f;
        std::memcpy(&f, body, sizeof f);
        checkConversions(f, latin1);
        checkFormat(f, p);
        checkNumberText(f);
    }
    return 0;
}
