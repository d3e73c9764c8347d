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

} // namespace workbench::exchangetext
