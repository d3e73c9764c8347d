#include "ExchangeText.h"

#include "platform/Numbers.h"
#include "platform/RunTimeError.h"

#include <QRegularExpression>

namespace workbench::exchangetext {

QString takeField(QString& line) {
    if (line.isEmpty()) {
        return QString();
    }
    qsizetype sep = line.indexOf(u'\t');
    if (sep < 0) {
        sep = line.indexOf(QStringLiteral("\r\n"));
    }
    if (sep < 0) {
        sep = line.indexOf(u'\r');
    }
    if (sep < 0) {
        QString field = line;
        line.clear();
        return field;
    }
    QString field = line.left(sep);
    line = sep == line.size() - 1 ? QString() : line.mid(sep + 1);
    if (line.size() >= 2 && (line[0] == u'\t' || line[0] == u'\n' || line[0] == u'\r')) {
        line.remove(0, 1);
    }
    return field;
}

QStringList splitQuoteLines(const QString& text) {
    if (text.isEmpty()) {
        return {};
    }
    return text.split(QStringLiteral("\r\n"));
}

QStringList quoteLines(const QString& text) {
    QStringList lines;
    if (text.contains(QStringLiteral("\r\n"))) {
        lines = splitQuoteLines(text);
    } else if (!text.isEmpty()) {
        static const QRegularExpression lineEnd(QStringLiteral("[\r\n]"));
        lines = text.split(lineEnd);
    }
    if (!lines.isEmpty() && lines.last().isEmpty()) {
        lines.removeLast();
    }
    return lines;
}

std::array<QString, 5> quoteRow(QString line) {
    constexpr qsizetype kWholeRow = 5;
    const QStringList fields = line.split(u'\t');
    if (fields.size() > kWholeRow && !fields[kWholeRow].trimmed().isEmpty()) {
        // A sixth field gives the row's options their own days to expiry, as
        // an option chain of several expiries lists them: each quantity
        // carries them, as the grid writes them.
        const QString days = QStringLiteral(" @") + fields[kWholeRow].trimmed();
        return {fields[0].trimmed() + days, fields[1], fields[2], fields[3].trimmed() + days,
                fields[4]};
    }
    if (fields.size() >= kWholeRow) {
        return {fields[0], fields[1], fields[2], fields[3], fields[4]};
    }
    const QString zero = QStringLiteral("0");
    const QString call = takeField(line);
    const QString strike = takeField(line);
    const QString put = takeField(line);
    return {zero, call, strike, zero, put};
}

void replaceLineFeeds(QString& text) {
    text.replace(u'\n', u' ');
}

void removeCommas(QString& text) {
    if (!text.contains(u',')) {
        return;
    }
    if (text.size() > 32767) {
        throw platform::RunTimeError(platform::errc::Overflow);
    }
    text.remove(u',');
}

std::int16_t textToInteger(const QString& text) {
    if (text.isEmpty() || !platform::numbers::isNumeric(text)) {
        return 0;
    }
    return platform::numbers::toInteger(platform::numbers::leadingNumber(text));
}

void clearText(QString& text) {
    text.clear();
}

namespace {

// A number written with marks: optional sign, digits, commas and full stops.
const QRegularExpression& markedNumber() {
    static const QRegularExpression re(QStringLiteral("^\\s*[+-]?[0-9][0-9.,]*\\s*$"));
    return re;
}

enum class Habit { None, GroupingCommas, DecimalCommas };

// What one cell says of the table's habit; None where it says nothing
// (a plain number, "1,250" or "1.250", which either habit writes).
Habit habitOf(const QString& cell) {
    const QString t = cell.trimmed();
    const qsizetype comma = t.lastIndexOf(u',');
    const qsizetype dot = t.lastIndexOf(u'.');
    if (comma >= 0 && dot >= 0) {
        return dot > comma ? Habit::GroupingCommas : Habit::DecimalCommas;
    }
    if (t.count(u',') > 1) {
        return Habit::GroupingCommas;
    }
    if (t.count(u'.') > 1) {
        return Habit::DecimalCommas;
    }
    // One comma: followed by other than three digits it is a decimal mark.
    if (comma >= 0 && t.size() - comma - 1 != 3) {
        return Habit::DecimalCommas;
    }
    return Habit::None;
}

// Whether the grouping marks stand every three digits, as thousands do.
bool groupedByThousands(const QString& whole, QChar mark) {
    const QStringList groups = whole.split(mark);
    for (qsizetype i = 1; i < groups.size(); ++i) {
        if (groups[i].size() != 3) {
            return false;
        }
    }
    return !groups.front().isEmpty() &&
           groups.front().size() <= 3 + int(!groups.front()[0].isDigit());
}

} // namespace

void readNumbers(QList<std::array<QString, 5>>& rows) {
    bool grouping = false;
    bool decimal = false;
    for (const auto& row : rows) {
        for (const QString& cell : row) {
            if (markedNumber().match(cell).hasMatch()) {
                const Habit h = habitOf(cell);
                grouping = grouping || h == Habit::GroupingCommas;
                decimal = decimal || h == Habit::DecimalCommas;
            }
        }
    }
    if (grouping == decimal) {
        return;
    }
    const QChar group = grouping ? u',' : u'.';
    const QChar point = grouping ? u'.' : u',';
    for (auto& row : rows) {
        for (QString& cell : row) {
            const QString t = cell.trimmed();
            if (!markedNumber().match(t).hasMatch() || t.count(point) > 1) {
                continue;
            }
            const qsizetype at = t.indexOf(point);
            const QString whole = at < 0 ? t : t.left(at);
            if (whole.contains(group) && !groupedByThousands(whole, group)) {
                continue;
            }
            QString read = whole;
            read.remove(group);
            if (at >= 0) {
                read += u'.' + t.mid(at + 1);
            }
            cell = read;
        }
    }
}

} // namespace workbench::exchangetext
