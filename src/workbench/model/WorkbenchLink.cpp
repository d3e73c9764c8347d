#include "WorkbenchLink.h"

#include "Exercises.h"
#include "Strategies.h"

#include <QRegularExpression>
#include <QSet>
#include <QUrlQuery>

#include <cmath>

namespace workbench::links {

namespace {

// As large as any quantity a lesson needs, far below where values overflow.
constexpr float kLargestQuantity = 1000;
// Addresses longer than any a page needs are not read at all.
constexpr qsizetype kLongestLink = 2000;

Reading refuse(const QString& why) {
    return {std::nullopt, why, std::nullopt};
}

Reading readCheck(const QUrlQuery& query) {
    const QList<QPair<QString, QString>> items = query.queryItems(QUrl::FullyDecoded);
    if (items.size() != 2 || !query.hasQueryItem(QStringLiteral("exercise")) ||
        !query.hasQueryItem(QStringLiteral("answer"))) {
        return refuse(QStringLiteral("The link must name an exercise and an answer."));
    }
    Check check;
    check.exercise = query.queryItemValue(QStringLiteral("exercise"), QUrl::FullyDecoded);
    check.answer = query.queryItemValue(QStringLiteral("answer"), QUrl::FullyDecoded);
    if (!exercises::find(check.exercise)) {
        return refuse(
            QStringLiteral("The tutorial has no exercise \"%1\".").arg(check.exercise.left(40)));
    }
    if (check.answer.size() > exercises::longestAnswer) {
        return refuse(QStringLiteral("The answer is too long."));
    }
    return {std::nullopt, QString(), check};
}

} // namespace

Reading read(const QUrl& link, int gridRows) {
    if (link.scheme() != scheme || (link.path() != u"load" && link.path() != u"check")) {
        return refuse(QStringLiteral("The workbench does not know this link."));
    }
    if (link.toString().size() > kLongestLink) {
        return refuse(QStringLiteral("The link is too long."));
    }
    const QUrlQuery query(link);
    if (link.path() == u"check") {
        return readCheck(query);
    }
    QSet<QString> seen;
    for (const auto& [key, value] : query.queryItems()) {
        Q_UNUSED(value);
        if ((key != u"strategy" && key != u"position" && key != u"diagram") || seen.contains(key)) {
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
