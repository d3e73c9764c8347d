#include "WorkbenchLink.h"
#include "PositionState.h"

#include "Exercises.h"
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

// As large as any quantity a lesson needs, far below where values overflow.
constexpr float kLargestQuantity = 1000;

namespace limits = beforeexpiry::limits;

// What a load may name besides its diagram and its strategy or position: the
// market it is shown in.
const QStringList kMarketKeys = {QStringLiteral("price"),      QStringLiteral("dividend"),
                                 QStringLiteral("exercise"),   QStringLiteral("days"),
                                 QStringLiteral("daysLeft"),   QStringLiteral("rate"),
                                 QStringLiteral("volatility"), QStringLiteral("dates"),
                                 QStringLiteral("costOption"), QStringLiteral("costUnit")};

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
    if (check.answer.size() > exercises::longestAnswer) {
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

// A number as a page writes it: digits with at most `decimals` after one full
// stop, a minus sign at most. Nothing else that reads as a number elsewhere
// ("1e5", "nan", "+inf", "0x10") and nothing empty, so that a page means
// exactly what it shows.
std::optional<double> decimal(const QString& text, int decimals, double least, double most) {
    static const QRegularExpression form(
        QRegularExpression::anchoredPattern(QStringLiteral("-?\\d{1,7}(\\.(\\d+))?")));
    const QRegularExpressionMatch m = form.match(text);
    if (!m.hasMatch() || m.capturedLength(2) > decimals) {
        return std::nullopt;
    }
    const double value = text.toDouble();
    if (!(value >= least && value <= most)) {
        return std::nullopt;
    }
    return value;
}

// What the link sets of the market, or why it cannot, in words; only what it
// names is set.
QString readMarket(const QUrlQuery& query, Market& market) {
    QString problem;
    const auto value = [&](const QString& key) {
        return query.queryItemValue(key, QUrl::FullyDecoded);
    };
    const auto reject = [&](const QString& key, const QString& wanted) {
        problem =
            QStringLiteral("The link's %1 \"%2\" is not %3.").arg(key, value(key).left(40), wanted);
    };
    // The number the link gives for `key`, if it gives one that may stand.
    const auto number = [&](const QString& key, int decimals, double least, double most,
                            const QString& wanted) -> std::optional<double> {
        if (!problem.isEmpty() || !query.hasQueryItem(key)) {
            return std::nullopt;
        }
        const std::optional<double> v = decimal(value(key), decimals, least, most);
        if (!v) {
            reject(key, wanted);
        }
        return v;
    };
    const auto percent = [](double least, double most) {
        return QStringLiteral("a percentage from %1 to %2, with at most two decimals")
            .arg(least)
            .arg(most);
    };
    const auto days = [](int least, int most) {
        return QStringLiteral("a whole number of days from %1 to %2").arg(least).arg(most);
    };
    if (const auto price =
            number(QStringLiteral("price"), market::decimals, market::leastPrice, market::mostPrice,
                   QStringLiteral("a price above 0 and up to %1, with at most four decimals")
                       .arg(market::mostPrice, 0, 'f', 0))) {
        market.price = float(*price);
    }
    if (const auto dividend = number(
            QStringLiteral("dividend"), 2, limits::minDividendPercent, limits::maxDividendPercent,
            percent(limits::minDividendPercent, limits::maxDividendPercent))) {
        market.dividendYield = *dividend / 100;
    }
    if (const auto d =
            number(QStringLiteral("days"), 0, limits::minDaysToExpiry, limits::maxDaysToExpiry,
                   days(limits::minDaysToExpiry, limits::maxDaysToExpiry))) {
        market.daysToday = int(*d);
    }
    // Without days of its own the link leaves the days to expiry as they are,
    // and the workbench holds the days left to those.
    const int mostLeft = market.daysToday.value_or(limits::maxDaysToExpiry);
    if (const auto d = number(QStringLiteral("daysLeft"), 0, 0, mostLeft, days(0, mostLeft))) {
        market.daysLeft = int(*d);
    }
    if (const auto rate =
            number(QStringLiteral("rate"), 2, limits::minRatePercent, limits::maxRatePercent,
                   percent(limits::minRatePercent, limits::maxRatePercent))) {
        market.rate = *rate / 100;
    }
    const auto cost = [&](const QString& key, std::optional<float>& held) {
        if (const auto c = number(key, market::decimals, 0, market::mostCost,
                                  QStringLiteral("a cost from 0 to %1, with at most four decimals")
                                      .arg(market::mostCost, 0, 'f', 0))) {
            held = float(*c);
        }
    };
    cost(QStringLiteral("costOption"), market.costPerOption);
    cost(QStringLiteral("costUnit"), market.costPerUnit);
    // As the panel's box reads them: each date once, at most as many as the
    // diagram draws.
    const QString dates = QStringLiteral("dates");
    if (problem.isEmpty() && value(dates) == u"none") {
        market.moreDaysLeft = std::vector<int>();
    } else if (problem.isEmpty() && query.hasQueryItem(dates)) {
        std::vector<int> more;
        bool read = true;
        for (const QString& d : value(dates).split(u',')) {
            const std::optional<double> left = decimal(d, 0, 1, mostLeft);
            read = read && left;
            if (left && std::find(more.cbegin(), more.cend(), int(*left)) == more.cend()) {
                more.push_back(int(*left));
            }
        }
        if (!read || int(more.size()) > limits::maxMoreDates) {
            reject(dates, QStringLiteral("a list of at most %1 whole numbers of days from 1 to %2")
                              .arg(limits::maxMoreDates)
                              .arg(mostLeft));
        }
        std::sort(more.begin(), more.end(), std::greater<>());
        market.moreDaysLeft = more;
    }
    const QString exercise = QStringLiteral("exercise");
    if (problem.isEmpty() && query.hasQueryItem(exercise)) {
        if (value(exercise) != u"american" && value(exercise) != u"european") {
            reject(exercise, QStringLiteral("\"american\" or \"european\""));
        }
        market.american = value(exercise) == u"american";
    }
    const QString volatility = QStringLiteral("volatility");
    const QString implied = QStringLiteral("implied");
    const QString impliedOr = implied + u',';
    if (problem.isEmpty() && value(volatility) == implied) {
        market.implied = true;
    } else if (problem.isEmpty() && value(volatility).startsWith(impliedOr)) {
        // Implied, with the one volatility for the options it cannot be
        // implied for.
        const std::optional<double> v =
            decimal(value(volatility).mid(impliedOr.size()), 2, limits::minVolatilityPercent,
                    limits::maxVolatilityPercent);
        if (!v) {
            reject(volatility,
                   QStringLiteral("\"implied\" followed by a comma and ") +
                       percent(limits::minVolatilityPercent, limits::maxVolatilityPercent));
        } else {
            market.implied = true;
            market.volatility = *v / 100;
        }
    } else if (const auto v = number(
                   volatility, 2, limits::minVolatilityPercent, limits::maxVolatilityPercent,
                   QStringLiteral("\"implied\" or ") +
                       percent(limits::minVolatilityPercent, limits::maxVolatilityPercent))) {
        market.implied = false;
        market.volatility = *v / 100;
    }
    return problem;
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

// The rows a link brings, or why they cannot be shown, in words.
QString readRows(const QString& text, std::vector<Row>& rows) {
    const QStringList lines = text.split(u';');
    if (lines.size() > columns::mostRows) {
        return QStringLiteral("The link's rows are more than the grid's %1.")
            .arg(columns::mostRows);
    }
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QStringList fields = lines[i].split(u':');
        Row row;
        const std::optional<float> call = fields.size() == 3 ? cell(fields[1]) : std::nullopt;
        const std::optional<float> put = fields.size() == 3 ? cell(fields[2]) : std::nullopt;
        row.strike = fields.size() == 3 ? cell(fields[0]) : std::nullopt;
        if (!call || !put || (!row.strike && !fields[0].isEmpty())) {
            return QStringLiteral("The link's row %1, \"%2\", is not a strike, a call premium "
                                  "and a put premium, each with at most seven digits before the "
                                  "full stop and four after.")
                .arg(i + 1)
                .arg(lines[i].left(40));
        }
        row.call = *call;
        row.put = *put;
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
             key != u"range" && !kMarketKeys.contains(key)) ||
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
