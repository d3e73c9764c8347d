// Feeds arbitrary bytes to the position file's reader, as if the student had
// opened them. Whatever the bytes, the reader answers with a position or with
// a reason; a position it reads is what the file says, within the limits the
// inputs before expiry keep; and the program can save that position, and
// opening the saved file again gives back the very same position, so a save
// never loses or alters what an open showed.
//
// Input layout: the file's bytes, whole.

#include "workbench/model/ExpiryInputs.h"
#include "workbench/model/PositionColumns.h"
#include "workbench/model/PositionDocument.h"

#include <QByteArray>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>
#include <QString>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

namespace doc = workbench::document;
namespace limits = workbench::beforeexpiry::limits;

std::string printable(const QByteArray& bytes) {
    std::string out;
    for (const char c : bytes) {
        const auto u = static_cast<unsigned char>(c);
        if (u >= 0x20 && u < 0x7f && u != '\\') {
            out += c;
        } else if (u == '\n') {
            out += "\\n";
        } else {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\x%02x", unsigned(u));
            out += buf;
        }
    }
    return out;
}

[[noreturn]] void fail(int line, const char* condition, const QByteArray& bytes,
                       const QString& detail) {
    std::fprintf(stderr, "fuzz_position_file.cpp:%d: broken: %s\n", line, condition);
    if (!detail.isEmpty()) {
        std::fprintf(stderr, "  %s\n", printable(detail.toUtf8().left(600)).c_str());
    }
    std::fprintf(stderr, "  on (%lld bytes): %s\n", static_cast<long long>(bytes.size()),
                 printable(bytes.left(600)).c_str());
    std::abort();
}

#define CHECK(condition, bytes, detail)                                                            \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            fail(__LINE__, #condition, bytes, detail);                                             \
        }                                                                                          \
    } while (false)

// The members as the file names them, in the order of the grid's columns and
// of the range boxes.
const QString columnKeys[workbench::columns::count] = {
    QStringLiteral("callQty"), QStringLiteral("callPrice"), QStringLiteral("strike"),
    QStringLiteral("putQty"), QStringLiteral("putPrice")};
const QString rangeKeys[4] = {QStringLiteral("top"), QStringLiteral("bottom"),
                              QStringLiteral("from"), QStringLiteral("to")};

QString number(double v) {
    return QString::number(v, 'g', 17);
}

// Where two positions part, for the report of a failed round trip.
QString difference(const doc::Document& a, const doc::Document& b) {
    if (a.rows != b.rows) {
        return QStringLiteral("the rows differ");
    }
    if (a.underlyingQty != b.underlyingQty || a.range != b.range) {
        return QStringLiteral("the underlying's quantity or the range differs");
    }
    if (a.underlyingPrice != b.underlyingPrice || a.costPerOption != b.costPerOption ||
        a.costPerUnit != b.costPerUnit) {
        return QStringLiteral("today's price or the costs differ");
    }
    if (a.profit != b.profit || a.curveColor != b.curveColor) {
        return QStringLiteral("the diagram or the colour differs");
    }
    if (a.beforeExpiry.has_value() != b.beforeExpiry.has_value()) {
        return QStringLiteral("the inputs before expiry came or went");
    }
    const auto& x = *a.beforeExpiry;
    const auto& y = *b.beforeExpiry;
    if (x.dividendYield != y.dividendYield || x.american != y.american) {
        return QStringLiteral("the dividend yield or the exercise differs");
    }
    if (x.volatilityShift != y.volatilityShift || x.eventDays != y.eventDays ||
        x.volatilityAfter != y.volatilityAfter) {
        return QStringLiteral("a what-if on volatility differs");
    }
    return QStringLiteral("before expiry: days %1/%2 became %3/%4, rate %5 became %6, "
                          "volatility %7 (%8) became %9 (%10)")
        .arg(x.daysToday)
        .arg(x.daysLeft)
        .arg(y.daysToday)
        .arg(y.daysLeft)
        .arg(number(x.rate), number(y.rate), number(x.volatility),
             x.implied ? QStringLiteral("implied") : QStringLiteral("single"), number(y.volatility),
             y.implied ? QStringLiteral("implied") : QStringLiteral("single"));
}

bool isWhole(double v) {
    return std::isfinite(v) && v == std::floor(v);
}

bool isColour(const QString& text) {
    if (text.size() != 7 || !text.startsWith(u'#')) {
        return false;
    }
    for (qsizetype i = 1; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (!((c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F'))) {
            return false;
        }
    }
    return true;
}

// A percentage the file holds and the fraction the position keeps of it:
// the reader keeps percentages to the hundredth, as the panel shows them.
bool sameRatio(double percent, double fraction) {
    const double kept = std::round(percent * 100) / 100;
    return std::fabs(fraction * 100 - kept) <= 1e-9 * std::fmax(1.0, std::fabs(kept));
}

// The position read is the file's own, member for member: every required
// member there and of its kind, the colour written #rrggbb, the day counts
// whole, and the inputs before expiry within the limits every way in keeps.
void checkReadAsWritten(const QByteArray& bytes, const doc::Document& d) {
    CHECK(bytes.size() <= doc::largestFile, bytes, QString());
    QJsonParseError error{};
    const QJsonDocument json = QJsonDocument::fromJson(bytes, &error);
    CHECK(error.error == QJsonParseError::NoError && json.isObject(), bytes, QString());
    const QJsonObject root = json.object();
    CHECK(root.value(QStringLiteral("format")).toString() == u"wqz-position", bytes, QString());
    const QJsonValue version = root.value(QStringLiteral("version"));
    CHECK(version.isDouble() && isWhole(version.toDouble()) && version.toDouble() >= 1 &&
              version.toDouble() <= doc::formatVersion,
          bytes, QString());

    const QJsonValue rows = root.value(QStringLiteral("rows"));
    CHECK(rows.isArray() && rows.toArray().size() == d.rows.size() && !d.rows.isEmpty(), bytes,
          QString());
    for (qsizetype r = 0; r < d.rows.size(); ++r) {
        const QJsonValue row = rows.toArray().at(r);
        CHECK(row.isObject(), bytes, QStringLiteral("row %1").arg(r + 1));
        for (int c = 0; c < workbench::columns::count; ++c) {
            const QJsonValue cell = row.toObject().value(columnKeys[c]);
            CHECK(cell.isString() && cell.toString() == d.rows[r][std::size_t(c)], bytes,
                  QStringLiteral("row %1, %2").arg(r + 1).arg(columnKeys[c]));
        }
    }
    const QJsonValue underlying = root.value(QStringLiteral("underlyingQty"));
    CHECK(underlying.isString() && underlying.toString() == d.underlyingQty, bytes, QString());
    // A file of version 1 has no market: it opens at the starting price
    // with no costs.
    const bool market = root.value(QStringLiteral("version")).toDouble() >= 2;
    const std::pair<const char*, const QString*> texts[] = {{"underlyingPrice", &d.underlyingPrice},
                                                            {"costPerOption", &d.costPerOption},
                                                            {"costPerUnit", &d.costPerUnit}};
    for (const auto& [key, held] : texts) {
        const QJsonValue v = root.value(QLatin1String(key));
        CHECK(market ? v.isString() && v.toString() == *held
                     : *held == (key[0] == 'u' ? u"50" : u"0"),
              bytes, QLatin1String(key));
    }
    const QJsonValue range = root.value(QStringLiteral("range"));
    CHECK(range.isObject(), bytes, QString());
    for (std::size_t i = 0; i < d.range.size(); ++i) {
        const QJsonValue box = range.toObject().value(rangeKeys[i]);
        CHECK(box.isString() && box.toString() == d.range[i], bytes, rangeKeys[i]);
    }
    const QString diagram = root.value(QStringLiteral("diagram")).toString();
    CHECK(diagram == (d.profit ? u"profit" : u"payoff"), bytes, diagram.left(80));
    const QJsonValue colour = root.value(QStringLiteral("curveColor"));
    CHECK(colour.isString() && isColour(colour.toString()) &&
              colour.toString().mid(1).toUInt(nullptr, 16) == d.curveColor,
          bytes, colour.toString().left(80));

    const QJsonValue expiry = root.value(QStringLiteral("beforeExpiry"));
    CHECK(expiry.isUndefined() != d.beforeExpiry.has_value(), bytes, QString());
    if (!d.beforeExpiry) {
        return;
    }
    const workbench::beforeexpiry::Inputs& in = *d.beforeExpiry;
    const QJsonObject e = expiry.toObject();
    const QJsonValue days = e.value(QStringLiteral("daysToExpiry"));
    const QJsonValue left = e.value(QStringLiteral("daysLeft"));
    CHECK(days.isDouble() && isWhole(days.toDouble()) && days.toDouble() == in.daysToday, bytes,
          QStringLiteral("daysToExpiry %1 read as %2")
              .arg(number(days.toDouble()))
              .arg(in.daysToday));
    CHECK(left.isDouble() && isWhole(left.toDouble()) && left.toDouble() == in.daysLeft, bytes,
          QStringLiteral("daysLeft %1 read as %2").arg(number(left.toDouble())).arg(in.daysLeft));
    CHECK(in.daysToday >= limits::minDaysToExpiry && in.daysToday <= limits::maxDaysToExpiry &&
              in.daysLeft >= 0 && in.daysLeft <= in.daysToday,
          bytes, QString());
    const QJsonValue rate = e.value(QStringLiteral("ratePercent"));
    CHECK(
        rate.isDouble() && sameRatio(rate.toDouble(), in.rate), bytes,
        QStringLiteral("ratePercent %1 read as %2").arg(number(rate.toDouble()), number(in.rate)));
    CHECK(in.rate >= limits::minRatePercent / 100 && in.rate <= limits::maxRatePercent / 100, bytes,
          number(in.rate));
    const QJsonValue volatility = e.value(QStringLiteral("volatilityPercent"));
    CHECK(volatility.isDouble() && sameRatio(volatility.toDouble(), in.volatility), bytes,
          QStringLiteral("volatilityPercent %1 read as %2")
              .arg(number(volatility.toDouble()), number(in.volatility)));
    CHECK(in.volatility >= limits::minVolatilityPercent / 100 &&
              in.volatility <= limits::maxVolatilityPercent / 100,
          bytes, number(in.volatility));
    const QString kind = e.value(QStringLiteral("volatility")).toString();
    CHECK(kind == (in.implied ? u"implied" : u"single"), bytes, kind.left(80));
    if (!market) {
        CHECK(in.dividendYield == 0 && !in.american, bytes, QString());
        return;
    }
    const QJsonValue dividend = e.value(QStringLiteral("dividendPercent"));
    CHECK(dividend.isDouble() && sameRatio(dividend.toDouble(), in.dividendYield) &&
              in.dividendYield >= limits::minDividendPercent / 100 &&
              in.dividendYield <= limits::maxDividendPercent / 100,
          bytes, number(in.dividendYield));
    const QString exercise = e.value(QStringLiteral("exercise")).toString();
    CHECK(exercise == (in.american ? u"american" : u"european"), bytes, exercise.left(80));
    // Before the what-ifs on volatility, a file has none.
    if (root.value(QStringLiteral("version")).toDouble() < 3) {
        CHECK(in.volatilityShift == 0 && in.eventDays == 0, bytes, QString());
        return;
    }
    CHECK(in.volatilityShift * 100 >= limits::minVolatilityShiftPoints &&
              in.volatilityShift * 100 <= limits::maxVolatilityShiftPoints,
          bytes, number(in.volatilityShift));
    CHECK(in.eventDays >= limits::minEventDays && in.eventDays <= in.daysToday, bytes,
          QString::number(in.eventDays));
    CHECK(in.volatilityAfter >= limits::minVolatilityPercent / 100 &&
              in.volatilityAfter <= limits::maxVolatilityPercent / 100,
          bytes, number(in.volatilityAfter));
}

// A position the program opened, it can save again: the save is the file
// toJson gives, no larger than the reader takes, and it reads back as that
// very position.
void checkRoundTrip(const QByteArray& bytes, const doc::Document& d) {
    const QByteArray written = doc::toJson(d);
    CHECK(written.size() <= doc::largestFile, bytes,
          QStringLiteral("the saved file has %1 bytes").arg(written.size()));
    const doc::Writing saved = doc::write(d);
    CHECK(saved.problem.isEmpty() && saved.bytes == written, bytes,
          QStringLiteral("the save is refused: ") + saved.problem);
    const doc::Reading again = doc::fromJson(written);
    CHECK(again.document.has_value() && again.problem.isEmpty(), bytes,
          QStringLiteral("the saved file is refused: ") + again.problem +
              QStringLiteral(" | saved: ") + QString::fromUtf8(written));
    CHECK(*again.document == d, bytes, difference(d, *again.document));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const doc::Reading reading = doc::fromJson(bytes);
    if (!reading.document) {
        // A refusal always says why, for the student.
        CHECK(!reading.problem.trimmed().isEmpty(), bytes, QString());
        return 0;
    }
    CHECK(reading.problem.isEmpty(), bytes, reading.problem);
    checkReadAsWritten(bytes, *reading.document);
    checkRoundTrip(bytes, *reading.document);
    return 0;
}
