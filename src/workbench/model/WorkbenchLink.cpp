#include "WorkbenchLink.h"
#include "PositionState.h"
#include "WorkbenchLinkMarket.h"

#include "ExpiryInputs.h"
#include "Strategies.h"

#include <QRegularExpression>
#include <QSet>
#include <QUrlQuery>

#include <algorithm>
#include <array>
#include <cmath>
#include <functional>

namespace workbench::links {

namespace {

using query::decimal;
using query::keys;
using query::readMarket;

// As large as any quantity a lesson needs, far below where values overflow.
constexpr float kLargestQuantity = 1000;

namespace limits = beforeexpiry::limits;

Reading refuse(const QString& why) {
    return {std::nullopt, why, std::nullopt};
}

Reading readCheck(const QUrlQuery& query) {
    const QList<QPair<QString, QString>> items = query.queryItems(QUrl::FullyDecoded);
    const QString exercise = QStringLiteral("exercise");
    const QString answer = QStringLiteral("answer");
    const QString reveal = QStringLiteral("reveal");
    if (items.size() != 2 || !query.hasQueryItem(exercise) ||
        (!query.hasQueryItem(answer) && !query.hasQueryItem(reveal))) {
        return refuse(
            QStringLiteral("The link must name an exercise and an answer, or ask to reveal it."));
    }
    Check check;
    check.exercise = query.queryItemValue(exercise, QUrl::FullyDecoded);
    static const QRegularExpression id(
        QRegularExpression::anchoredPattern(QStringLiteral("[a-z0-9]+(-[a-z0-9]+)*")));
    if (check.exercise.size() > longestExerciseId || !id.match(check.exercise).hasMatch()) {
        return refuse(
            QStringLiteral("The tutorial has no exercise \"%1\".").arg(check.exercise.left(40)));
    }
    if (query.hasQueryItem(reveal)) {
        if (query.queryItemValue(reveal) != u"1") {
            return refuse(QStringLiteral("The link's reveal must be 1."));
        }
        check.reveal = true;
        return {std::nullopt, QString(), check};
    }
    check.answer = query.queryItemValue(answer, QUrl::FullyDecoded);
    if (check.answer.size() > longestAnswer) {
        return refuse(QStringLiteral("The answer is too long."));
    }
    return {std::nullopt, QString(), check};
}

Reading readProgress(const QUrlQuery& query) {
    if (query.queryItems().size() != 1 || query.queryItemValue(QStringLiteral("clear")) != u"1") {
        return refuse(QStringLiteral("The link can only clear the exercises' progress."));
    }
    Reading reading;
    reading.startOver = true;
    return reading;
}

// A number of a row or of the range: as the grid or a box could hold it,
// seven digits before the full stop at most and four after, and within
// that once the workbench holds it in 32 bits: 9999999.9999 would be held
// as 10000000, past the limit, so it is refused rather than rounded in (and
// a link written for what the workbench holds always reads back).
constexpr int kCellDecimals = 4;
constexpr double kLargestCell = 9999999.9999;

std::optional<float> cell(const QString& text) {
    const std::optional<double> v = decimal(text, kCellDecimals, -kLargestCell, kLargestCell);
    if (!v) {
        return std::nullopt;
    }
    const float held = float(*v);
    if (std::abs(double(held)) > kLargestCell) {
        return std::nullopt;
    }
    return held;
}

// A leg's own days to expiry in a row: empty for the panel's (0), or whole
// days within the panel's limits; none for anything else.
std::optional<int> legDays(const QString& text) {
    if (text.isEmpty()) {
        return 0;
    }
    static const QRegularExpression digits(QStringLiteral("^\\d{1,4}$"));
    const int days = digits.match(text).hasMatch() ? text.toInt() : 0;
    if (days < beforeexpiry::limits::minDaysToExpiry ||
        days > beforeexpiry::limits::maxDaysToExpiry) {
        return std::nullopt;
    }
    return days;
}

// The rows a link brings, or why they cannot be shown, in words.
QString readRows(const QString& text, std::vector<Row>& rows) {
    const QStringList lines = text.split(u';');
    if (lines.size() > columns::mostRows) {
        return QStringLiteral("The link's rows are more than the grid's %1.")
            .arg(columns::mostRows);
    }
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QStringList fields = lines[i].split(u':');
        const bool withDays = fields.size() == 5;
        const bool shaped = fields.size() == 3 || withDays;
        Row row;
        const std::optional<float> call = shaped ? cell(fields[1]) : std::nullopt;
        const std::optional<float> put = shaped ? cell(fields[2]) : std::nullopt;
        row.strike = shaped ? cell(fields[0]) : std::nullopt;
        const std::optional<int> callDays = withDays ? legDays(fields[3]) : 0;
        const std::optional<int> putDays = withDays ? legDays(fields[4]) : 0;
        if (!call || !put || (!row.strike && !fields[0].isEmpty())) {
            return QStringLiteral("The link's row %1, \"%2\", is not a strike, a call premium "
                                  "and a put premium, each with at most seven digits before the "
                                  "full stop and four after.")
                .arg(i + 1)
                .arg(lines[i].left(40));
        }
        if (!callDays || !putDays) {
            return QStringLiteral("The link's row %1, \"%2\", gives days to expiry that are not "
                                  "whole days from %3 to %4.")
                .arg(i + 1)
                .arg(lines[i].left(40))
                .arg(beforeexpiry::limits::minDaysToExpiry)
                .arg(beforeexpiry::limits::maxDaysToExpiry);
        }
        row.call = *call;
        row.put = *put;
        row.callDays = *callDays;
        row.putDays = *putDays;
        rows.push_back(row);
    }
    return QString();
}

QString readRange(const QString& text, Range& range) {
    const QStringList fields = text.split(u':');
    std::array<float, 4> v{};
    for (qsizetype i = 0; i < fields.size() && fields.size() == 4; ++i) {
        const std::optional<float> c = cell(fields[i]);
        if (!c) {
            break;
        }
        v[std::size_t(i)] = *c;
        if (i == 3) {
            range = {v[0], v[1], v[2], v[3]};
            return QString();
        }
    }
    return QStringLiteral("The link's range \"%1\" is not four numbers, the prices from and to "
                          "and the values from and to, each with at most seven digits before the "
                          "full stop and four after.")
        .arg(text.left(40));
}

} // namespace

Reading readText(const QString& link, int gridRows) {
    if (link.size() > longestLink) {
        return refuse(QStringLiteral("The link is too long."));
    }
    return read(QUrl(link.trimmed()), gridRows);
}

bool isLink(const QString& text) {
    return text.trimmed().startsWith(scheme + u':', Qt::CaseInsensitive);
}

Reading read(const QUrl& link, int gridRows) {
    if (link.scheme() != scheme ||
        (link.path() != u"load" && link.path() != u"check" && link.path() != u"progress")) {
        return refuse(QStringLiteral("The workbench does not know this link."));
    }
    if (link.toString().size() > longestLink) {
        return refuse(QStringLiteral("The link is too long."));
    }
    const QUrlQuery query(link);
    if (link.path() == u"check") {
        return readCheck(query);
    }
    if (link.path() == u"progress") {
        return readProgress(query);
    }
    QSet<QString> seen;
    for (const auto& [key, value] : query.queryItems()) {
        Q_UNUSED(value);
        if ((key != u"strategy" && key != u"position" && key != u"diagram" && key != u"rows" &&
             key != u"range" && !keys.contains(key)) ||
            seen.contains(key)) {
            return refuse(QStringLiteral("The link asks for \"%1\", which the workbench does not "
                                         "take.")
                              .arg(key.left(40)));
        }
        seen << key;
    }
    Load load;
    const QString diagram = query.queryItemValue(QStringLiteral("diagram"));
    if (diagram == u"profit") {
        load.diagram = payoff::profitDiagram;
    } else if (diagram != u"payoff") {
        return refuse(QStringLiteral("The link names no diagram, payoff or profit."));
    }
    const bool named = seen.contains(QStringLiteral("strategy"));
    if (named == seen.contains(QStringLiteral("position"))) {
        return refuse(QStringLiteral("The link must name either a strategy or a position."));
    }
    if (const QString problem = readMarket(query, load.market); !problem.isEmpty()) {
        return refuse(problem);
    }
    if (named && seen.contains(QStringLiteral("rows"))) {
        return refuse(QStringLiteral("A strategy is loaded on the grid's rows: the link cannot "
                                     "bring rows with it."));
    }
    if (seen.contains(QStringLiteral("rows"))) {
        std::vector<Row> rows;
        const QString problem =
            readRows(query.queryItemValue(QStringLiteral("rows"), QUrl::FullyDecoded), rows);
        if (!problem.isEmpty()) {
            return refuse(problem);
        }
        // The legs are on the link's own rows.
        gridRows = int(rows.size());
        load.rows = std::move(rows);
    }
    if (seen.contains(QStringLiteral("range"))) {
        Range range;
        const QString problem =
            readRange(query.queryItemValue(QStringLiteral("range"), QUrl::FullyDecoded), range);
        if (!problem.isEmpty()) {
            return refuse(problem);
        }
        load.range = range;
    }
    if (named) {
        load.strategy = query.queryItemValue(QStringLiteral("strategy"), QUrl::FullyDecoded);
        if (!findStrategy(load.strategy)) {
            return refuse(
                QStringLiteral("The strategy list has no \"%1\".").arg(load.strategy.left(40)));
        }
        return {load, QString(), std::nullopt};
    }
    static const QRegularExpression token(
        QStringLiteral("^(u|c(\\d{1,4})|p(\\d{1,4})):(-?\\d{1,4}(\\.\\d{1,4})?)$"));
    QSet<QString> held;
    const QStringList tokens =
        query.queryItemValue(QStringLiteral("position"), QUrl::FullyDecoded).split(u',');
    if (tokens.size() > 2 * gridRows + 1) {
        return refuse(QStringLiteral("The position has more legs than the grid has rows."));
    }
    for (const QString& t : tokens) {
        const QRegularExpressionMatch m = token.match(t.trimmed());
        if (!m.hasMatch()) {
            return refuse(QStringLiteral("\"%1\" is not a leg of a position.").arg(t.left(40)));
        }
        Leg leg;
        const QString what = m.captured(1);
        leg.kind = what == u"u"            ? Leg::Kind::Underlying
                   : what.startsWith(u'c') ? Leg::Kind::Call
                                           : Leg::Kind::Put;
        leg.row = what == u"u" ? 0 : what.mid(1).toInt();
        leg.quantity = m.captured(4).toFloat();
        if (leg.kind != Leg::Kind::Underlying && (leg.row < 1 || leg.row > gridRows)) {
            return refuse(QStringLiteral("The grid has no row %1.").arg(leg.row));
        }
        // One leg a cell, however its row is written ("c3", "c03").
        const QString cell = QStringLiteral("%1%2").arg(what.front()).arg(leg.row);
        if (std::abs(leg.quantity) > kLargestQuantity || held.contains(cell)) {
            return refuse(QStringLiteral("\"%1\" is not a leg of a position.").arg(t.left(40)));
        }
        held << cell;
        load.legs.push_back(leg);
    }
    return {load, QString(), std::nullopt};
}

} // namespace workbench::links
