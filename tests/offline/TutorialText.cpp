#include "TutorialText.h"

#include <QRegularExpressionMatchIterator>
#include <QUrl>

#include <algorithm>
#include <cmath>

namespace tutorialtext {

const QString factsOpening =
    QStringLiteral("<details class=\"facts\"><summary>Show the facts</summary>");

QString modulePage(const offline::SiteBundle& bundle, const QString& file) {
    for (const QString& address : bundle.addresses()) {
        const QUrl url(address);
        if (url.fileName() == file && url.path().contains(u"/wqzLumo/")) {
            return QString::fromUtf8(
                bundle.answer(url.host(), url.path(QUrl::FullyEncoded).toLatin1()).body);
        }
    }
    return QString();
}

QHash<QString, QString> factsOf(const QByteArray& html) {
    static const QRegularExpression facts(QStringLiteral("<dt>([^<]*)</dt><dd>(.*?)</dd>"));
    static const QRegularExpression tags(QStringLiteral("<[^>]*>"));
    const QString page = QString::fromUtf8(html);
    const qsizetype from = page.indexOf(factsOpening);
    const QString folded =
        from < 0 ? QString() : page.mid(from, page.indexOf(u"</details>"_qs, from) - from);
    QHash<QString, QString> out;
    QRegularExpressionMatchIterator it = facts.globalMatch(folded);
    while (it.hasNext()) {
        const QRegularExpressionMatch m = it.next();
        out.insert(m.captured(1), m.captured(2).remove(tags));
    }
    return out;
}

QList<double> amountsIn(const QString& text) {
    static const QRegularExpression amount(QStringLiteral("\\b\\d+\\.\\d\\d\\b"));
    QList<double> out;
    QRegularExpressionMatchIterator it = amount.globalMatch(text);
    while (it.hasNext()) {
        out << it.next().captured().toDouble();
    }
    return out;
}

namespace {

// What a page says of an extreme, against the analysis: "no limit" for an
// unlimited one, otherwise its greatest amount (a page may add a lesser,
// local one after it).
QString extremeMismatch(const QString& quoted, const workbench::analysis::Extreme& e, double sign) {
    const bool noLimit = quoted.contains(QStringLiteral("no limit"));
    const QList<double> amounts = amountsIn(quoted);
    if (e.unlimited) {
        return noLimit ? QString() : QStringLiteral("not unlimited: ") + quoted;
    }
    if (amounts.isEmpty() ||
        std::abs(*std::max_element(amounts.cbegin(), amounts.cend()) - sign * e.value) > 0.005) {
        return QStringLiteral("%1 against %2").arg(quoted).arg(sign * e.value, 0, 'f', 2);
    }
    return QString();
}

} // namespace

QString factsMismatch(const QHash<QString, QString>& facts,
                      const workbench::analysis::Analysis& a) {
    namespace analysis = workbench::analysis;
    const double outlay = a.netPremium + a.underlyingCost;
    const QString paid = outlay >= 0 ? QStringLiteral("Cost") : QStringLiteral("Received");
    if (!facts.contains(paid)) {
        return QStringLiteral("no line ") + paid;
    }
    if (std::abs(amountsIn(facts.value(paid)).value(0) - std::abs(outlay)) >= 0.005) {
        return facts.value(paid) + QStringLiteral(" against ") + analysis::money(std::abs(outlay));
    }
    QList<double> breakEvens;
    for (const analysis::PriceSpan& b : a.breakEvens) {
        if (!b.isPoint()) {
            return QStringLiteral("a flat break-even");
        }
        breakEvens << std::round(b.from * 100) / 100;
    }
    const QString quoted = facts.value(QStringLiteral("Break-even"));
    if (amountsIn(quoted) != breakEvens) {
        QStringList truth;
        for (const double b : breakEvens) {
            truth << analysis::money(b);
        }
        return QStringLiteral("break-even %1 against %2").arg(quoted, truth.join(u' '));
    }
    const QString profit =
        extremeMismatch(facts.value(QStringLiteral("Greatest profit")), a.highest, 1);
    if (!profit.isEmpty()) {
        return QStringLiteral("greatest profit ") + profit;
    }
    const QString loss =
        extremeMismatch(facts.value(QStringLiteral("Greatest loss")), a.lowest, -1);
    return loss.isEmpty() ? QString() : QStringLiteral("greatest loss ") + loss;
}

QList<QRegularExpression> givenAway(const QString& answer) {
    if (answer == u"no limit") {
        return {QRegularExpression(QStringLiteral("no limit|without limit|unlimited"),
                                   QRegularExpression::CaseInsensitiveOption)};
    }
    QString amount = QString::number(std::abs(answer.toDouble()), 'f', 2);
    QStringList forms{amount};
    while (amount.endsWith(u'0') || amount.endsWith(u'.')) {
        amount.chop(1);
        if (!amount.endsWith(u'.')) {
            forms << amount;
        }
    }
    QList<QRegularExpression> out;
    for (const QString& f : forms) {
        out << QRegularExpression(QStringLiteral("(?<![\\d.])") + QRegularExpression::escape(f) +
                                  QStringLiteral("(?!\\d|\\.\\d)"));
    }
    return out;
}

QString firstGiveaway(const QList<QRegularExpression>& ways, const QString& text) {
    for (const QRegularExpression& way : ways) {
        const QRegularExpressionMatch m = way.match(text);
        if (m.hasMatch()) {
            return QStringLiteral("%1 in ...%2...")
                .arg(m.captured(), text.mid(m.capturedStart() - 60, 120).simplified());
        }
    }
    return QString();
}

QString readableText(QString html) {
    static const QRegularExpression given(
        QStringLiteral("<table class=\"grid\">\\s*<tr><th>Leg</th>.*?</table>"
                       "|<div class=\"nav[^\"]*\">.*?</div>|<p class=\"kicker\">.*?</p>"),
        QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression tags(QStringLiteral("<[^>]*>"));
    return html.remove(given).replace(tags, QStringLiteral(" "));
}

const QRegularExpression& tryItLink() {
    static const QRegularExpression re(QStringLiteral(
        "<a (?:id=\"([^\"]+)\" )?href=\"(wqz-workbench:[^\"]*)\">Try it on the workbench"));
    return re;
}

} // namespace tutorialtext
