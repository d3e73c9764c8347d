#include "PositionDocument.h"

#include "PositionDocumentForm.h"

#include "PositionState.h"
#include "platform/Numbers.h"
#include "platform/RunTimeError.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

#include <algorithm>
#include <cmath>
#include <functional>

namespace workbench::document {

namespace {

namespace limits = beforeexpiry::limits;
using namespace form;

// Reading stops at the first problem, with the problem in words.
struct Problem {
    QString text;
};

// A cell or box as the workbench takes it: not too long, and a number that
// fits its 32-bit numbers (or no number, which reads as 0). The number as
// written, before the workbench keeps it in 32 bits: a limit is held to what
// the file says, not to what it would be rounded to (1000000.01 is no price
// up to 1000000).
double checkText(const QString& text, const QString& where, const QString& key) {
    if (text.size() > columns::longestText) {
        throw Problem{QStringLiteral("%1: \"%2\" is longer than %3 characters.")
                          .arg(where, key)
                          .arg(columns::longestText)};
    }
    try {
        const double written = platform::numbers::leadingNumber(text);
        platform::numbers::single(written);
        return written;
    } catch (const platform::RunTimeError&) {
        throw Problem{QStringLiteral("%1: \"%2\" holds %3, a number too large for the "
                                     "workbench.")
                          .arg(where, key, text)};
    }
}

// A quantity with its leg's days after it, as the grid holds them; the days
// whole and within the panel's limits.
QString legDays(const QJsonObject& object, const QString& key, const QString& where,
                const QString& quantity) {
    const QJsonValue v = object.value(key);
    const double days = v.toDouble(0);
    if (!v.isDouble() || days != std::floor(days) || days < limits::minDaysToExpiry ||
        days > limits::maxDaysToExpiry || legexpiry::daysOf(quantity).days > 0) {
        throw Problem{QStringLiteral("%1: \"%2\" is not a whole number of days from %3 to %4.")
                          .arg(where, key)
                          .arg(limits::minDaysToExpiry)
                          .arg(limits::maxDaysToExpiry)};
    }
    return quantity.trimmed() + u' ' + legexpiry::daysText(int(days));
}

QString text(const QJsonObject& object, const QString& key, const QString& where) {
    const QJsonValue v = object.value(key);
    if (!v.isString()) {
        throw Problem{QStringLiteral("%1 has no text \"%2\".").arg(where, key)};
    }
    // What the text holds is checked once the whole document is read.
    return v.toString();
}

// The one wording of a number beyond its limits, whether a file holds it or
// the workbench is about to write it.
void within(const QString& key, double value, double least, double most) {
    if (!(value >= least && value <= most)) {
        throw Problem{
            QStringLiteral("\"%1\" is not a number from %2 to %3.").arg(key).arg(least).arg(most)};
    }
}

Problem tooManyDates(int daysToday) {
    return Problem{
        QStringLiteral("\"moreDaysLeft\" is not a list of at most %1 whole numbers from 1 to %2.")
            .arg(limits::maxMoreDates)
            .arg(daysToday)};
}

// The inputs as the file gives them: what is written is what is read.
void checkInputs(const beforeexpiry::Inputs& in) {
    within(QStringLiteral("daysToExpiry"), in.daysToday, limits::minDaysToExpiry,
           limits::maxDaysToExpiry);
    within(QStringLiteral("daysLeft"), in.daysLeft, 0, in.daysToday);
    within(QStringLiteral("ratePercent"), hundredths(in.rate * 100), limits::minRatePercent,
           limits::maxRatePercent);
    within(QStringLiteral("volatilityPercent"), hundredths(in.volatility * 100),
           limits::minVolatilityPercent, limits::maxVolatilityPercent);
    within(QStringLiteral("dividendPercent"), hundredths(in.dividendYield * 100),
           limits::minDividendPercent, limits::maxDividendPercent);
    within(QStringLiteral("volatilityShiftPoints"), hundredths(in.volatilityShift * 100),
           limits::minVolatilityShiftPoints, limits::maxVolatilityShiftPoints);
    within(QStringLiteral("eventDays"), in.eventDays, limits::minEventDays, in.daysToday);
    within(QStringLiteral("volatilityAfterPercent"), hundredths(in.volatilityAfter * 100),
           limits::minVolatilityPercent, limits::maxVolatilityPercent);
    if (int(in.moreDaysLeft.size()) > limits::maxMoreDates) {
        throw tooManyDates(in.daysToday);
    }
    for (const int d : in.moreDaysLeft) {
        within(QStringLiteral("moreDaysLeft"), d, 1, in.daysToday);
    }
}

// A text that holds no number says so rather than nothing at all.
QString shown(const QString& text) {
    return text.trimmed().isEmpty() ? QStringLiteral("nothing") : text;
}

// Everything the workbench would refuse once it had begun to show it.
void check(const Document& d) {
    if (d.rows.isEmpty() || d.rows.size() > columns::mostRows) {
        throw Problem{QStringLiteral("The position has no rows of options, or more than %1.")
                          .arg(columns::mostRows)};
    }
    for (qsizetype i = 0; i < d.rows.size(); ++i) {
        for (int c = 0; c < columns::count; ++c) {
            checkText(d.rows[i][std::size_t(c)], QStringLiteral("Row %1").arg(i + 1),
                      kColumnKeys[std::size_t(c)]);
        }
    }
    const QString position = QStringLiteral("The position");
    checkText(d.underlyingQty, position, QStringLiteral("underlyingQty"));
    // Every option and the underlying are valued from today's price: at 0 or
    // below there is nothing to value.
    // The boxes' own limits: what they could not show is not opened.
    const double price = checkText(d.underlyingPrice, position, QStringLiteral("underlyingPrice"));
    if (!(price >= market::leastPrice && price <= market::mostPrice)) {
        throw Problem{QStringLiteral("%1: \"underlyingPrice\" holds %2, which is not a price "
                                     "above 0 and up to %3.")
                          .arg(position, shown(d.underlyingPrice))
                          .arg(market::mostPrice, 0, 'f', 0)};
    }
    for (const auto& [cost, key] :
         {std::pair{&d.costPerOption, "costPerOption"}, std::pair{&d.costPerUnit, "costPerUnit"}}) {
        const double value = checkText(*cost, position, QString::fromLatin1(key));
        if (!(value >= 0 && value <= market::mostCost)) {
            throw Problem{QStringLiteral("%1: \"%2\" holds %3, which is not a cost of 0 or "
                                         "above and up to %4.")
                              .arg(position, QString::fromLatin1(key), shown(*cost))
                              .arg(market::mostCost, 0, 'f', 0)};
        }
    }
    for (std::size_t i = 0; i < kRangeKeys.size(); ++i) {
        checkText(d.range[i], QStringLiteral("The range"), kRangeKeys[i]);
    }
    if (d.beforeExpiry) {
        checkInputs(*d.beforeExpiry);
    }
}

QJsonObject object(const QJsonObject& parent, const QString& key) {
    const QJsonValue v = parent.value(key);
    if (!v.isObject()) {
        throw Problem{QStringLiteral("The file has no \"%1\".").arg(key)};
    }
    return v.toObject();
}

double number(const QJsonObject& o, const QString& key, double least, double most) {
    const QJsonValue v = o.value(key);
    // Not a number at all is worded as one beyond the limits.
    within(key, v.isDouble() ? v.toDouble() : std::nan(""), least, most);
    return v.toDouble();
}

// One of two words, true for the first.
bool choice(const QJsonObject& o, const QString& key, const QString& yes, const QString& no) {
    const QString word = o.value(key).toString();
    if (word != yes && word != no) {
        throw Problem{QStringLiteral("\"%1\" is neither \"%2\" nor \"%3\".").arg(key, yes, no)};
    }
    return word == yes;
}

int wholeNumber(const QJsonObject& o, const QString& key, int least, int most) {
    const double v = number(o, key, least, most);
    if (v != std::floor(v)) {
        throw Problem{QStringLiteral("\"%1\" is not a whole number from %2 to %3.")
                          .arg(key)
                          .arg(least)
                          .arg(most)};
    }
    return int(v);
}

beforeexpiry::Inputs inputsFrom(const QJsonObject& o, int version) {
    beforeexpiry::Inputs in;
    in.daysToday = wholeNumber(o, QStringLiteral("daysToExpiry"), limits::minDaysToExpiry,
                               limits::maxDaysToExpiry);
    in.daysLeft = wholeNumber(o, QStringLiteral("daysLeft"), 0, in.daysToday);
    in.rate = hundredths(number(o, QStringLiteral("ratePercent"), limits::minRatePercent,
                                limits::maxRatePercent)) /
              100;
    in.implied = choice(o, QStringLiteral("volatility"), QStringLiteral("implied"),
                        QStringLiteral("single"));
    in.volatility = hundredths(number(o, QStringLiteral("volatilityPercent"),
                                      limits::minVolatilityPercent, limits::maxVolatilityPercent)) /
                    100;
    if (version >= 2) {
        in.dividendYield =
            hundredths(number(o, QStringLiteral("dividendPercent"), limits::minDividendPercent,
                              limits::maxDividendPercent)) /
            100;
        in.american = choice(o, QStringLiteral("exercise"), QStringLiteral("american"),
                             QStringLiteral("european"));
    }
    // The what-ifs on volatility; a file from before them has none.
    if (version >= 3) {
        in.volatilityShift = wholeNumber(o, QStringLiteral("volatilityShiftPoints"),
                                         int(limits::minVolatilityShiftPoints),
                                         int(limits::maxVolatilityShiftPoints)) /
                             100.0;
        in.eventDays =
            wholeNumber(o, QStringLiteral("eventDays"), limits::minEventDays, in.daysToday);
        in.volatilityAfter =
            hundredths(number(o, QStringLiteral("volatilityAfterPercent"),
                              limits::minVolatilityPercent, limits::maxVolatilityPercent)) /
            100;
    }
    // The dates drawn besides the days left, when there are any: most days
    // left first, each once, as the panel keeps them.
    if (const QJsonValue more = o.value(QStringLiteral("moreDaysLeft")); !more.isUndefined()) {
        const QJsonArray days = more.toArray();
        if (!more.isArray() || days.size() > limits::maxMoreDates) {
            throw tooManyDates(in.daysToday);
        }
        for (qsizetype i = 0; i < days.size(); ++i) {
            const int d = wholeNumber(QJsonObject{{QStringLiteral("moreDaysLeft"), days[i]}},
                                      QStringLiteral("moreDaysLeft"), 1, in.daysToday);
            if (std::find(in.moreDaysLeft.cbegin(), in.moreDaysLeft.cend(), d) ==
                in.moreDaysLeft.cend()) {
                in.moreDaysLeft.push_back(d);
            }
        }
        std::sort(in.moreDaysLeft.begin(), in.moreDaysLeft.end(), std::greater<>());
    }
    return in;
}

Document read(const QByteArray& bytes) {
    if (bytes.size() > largestFile) {
        throw Problem{QStringLiteral("The file is larger than %1; a position file is far "
                                     "smaller.")
                          .arg(largestFileInWords())};
    }
    QJsonParseError error{};
    const QJsonDocument json = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError || !json.isObject()) {
        // Where the reading stopped says something only of a file that began
        // as a position and broke off; a picture or a letter stops at once.
        const bool brokeOff = error.error != QJsonParseError::NoError && error.offset > 1 &&
                              bytes.trimmed().startsWith('{');
        throw Problem{brokeOff ? QStringLiteral("The file is not a saved position (it does not "
                                                "read as one near character %1).")
                                     .arg(error.offset)
                               : QStringLiteral("The file is not a saved position.")};
    }
    const QJsonObject root = json.object();
    if (root.value(QStringLiteral("format")).toString() != kFormat) {
        throw Problem{QStringLiteral("The file is not a saved position.")};
    }
    const QJsonValue version = root.value(QStringLiteral("version"));
    if (!version.isDouble() || version.toDouble() < 1 ||
        version.toDouble() != std::floor(version.toDouble())) {
        throw Problem{QStringLiteral("The file does not say which version of the format it is.")};
    }
    if (version.toDouble() > formatVersion) {
        throw Problem{QStringLiteral("The file was saved by a newer version of the program "
                                     "(format %1); this one reads format %2.")
                          .arg(version.toDouble())
                          .arg(formatVersion)};
    }
    const int format = int(version.toDouble());
    Document d;
    const QJsonValue rows = root.value(QStringLiteral("rows"));
    if (!rows.isArray() || rows.toArray().isEmpty() || rows.toArray().size() > columns::mostRows) {
        throw Problem{QStringLiteral("The file has no rows of options, or more than %1.")
                          .arg(columns::mostRows)};
    }
    const QJsonArray rowArray = rows.toArray();
    for (qsizetype i = 0; i < rowArray.size(); ++i) {
        if (!rowArray[i].isObject()) {
            throw Problem{QStringLiteral("Row %1 is not a row of options.").arg(i + 1)};
        }
        const QString where = QStringLiteral("Row %1").arg(i + 1);
        Row row;
        for (int c = 0; c < columns::count; ++c) {
            row[std::size_t(c)] = text(rowArray[i].toObject(), kColumnKeys[std::size_t(c)], where);
        }
        for (const auto& [c, key] :
             {std::pair{columns::CallQty, kCallDays}, std::pair{columns::PutQty, kPutDays}}) {
            if (format >= 4 && rowArray[i].toObject().contains(key)) {
                row[std::size_t(c)] =
                    legDays(rowArray[i].toObject(), key, where, row[std::size_t(c)]);
            }
        }
        d.rows << row;
    }
    d.underlyingQty = text(root, QStringLiteral("underlyingQty"), QStringLiteral("The file"));
    if (format >= 2) {
        d.underlyingPrice =
            text(root, QStringLiteral("underlyingPrice"), QStringLiteral("The file"));
        d.costPerOption = text(root, QStringLiteral("costPerOption"), QStringLiteral("The file"));
        d.costPerUnit = text(root, QStringLiteral("costPerUnit"), QStringLiteral("The file"));
    }
    const QJsonObject range = object(root, QStringLiteral("range"));
    for (std::size_t i = 0; i < kRangeKeys.size(); ++i) {
        d.range[i] = text(range, kRangeKeys[i], QStringLiteral("The range"));
    }
    const QString diagram = root.value(QStringLiteral("diagram")).toString();
    if (diagram != u"payoff" && diagram != u"profit") {
        throw Problem{QStringLiteral("\"diagram\" is neither \"payoff\" nor \"profit\".")};
    }
    d.profit = diagram == u"profit";
    // The whole text: "$" alone would let a line end follow.
    static const QRegularExpression kColour(
        QRegularExpression::anchoredPattern(QStringLiteral("#[0-9A-Fa-f]{6}")));
    const QString color = root.value(QStringLiteral("curveColor")).toString();
    if (!kColour.match(color).hasMatch()) {
        throw Problem{QStringLiteral("\"curveColor\" is not a colour such as \"#ffff00\".")};
    }
    d.curveColor = color.mid(1).toUInt(nullptr, 16);
    if (root.contains(QStringLiteral("beforeExpiry"))) {
        d.beforeExpiry = inputsFrom(object(root, QStringLiteral("beforeExpiry")), format);
    }
    check(d);
    return d;
}

} // namespace

Writing write(const Document& document) {
    try {
        check(document);
    } catch (const Problem& p) {
        return {QByteArray(), p.text};
    }
    QByteArray bytes = toJson(document);
    if (bytes.size() > largestFile) {
        return {QByteArray(),
                QStringLiteral("the file would take %1 KB, and a position file holds at most "
                               "%2.")
                    .arg((bytes.size() + 1023) / 1024)
                    .arg(largestFileInWords())};
    }
    return {std::move(bytes), QString()};
}

Reading fromJson(const QByteArray& bytes) {
    try {
        return {read(bytes), QString()};
    } catch (const Problem& p) {
        return {std::nullopt, p.text};
    }
}

} // namespace workbench::document
