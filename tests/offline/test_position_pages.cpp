// The pages of the positions a student meets early that the strategy list
// does not hold (the iron condor, the iron butterfly, the collar): each loads
// its legs on the starting quote grid's rows, and every amount it states and
// every answer its exercises expect is the exact analysis of those legs.
#include "HttpProbe.h"
#include "TutorialText.h"
#include "offline/SiteBundle.h"
#include "workbench/model/PositionAnalysis.h"
#include "workbench/model/Strategies.h"
#include "workbench/model/WorkbenchLink.h"
#include "workbench/pricing/LessonTables.h"

#include <QRegularExpression>
#include <QTest>
#include <QUrl>

#include <algorithm>
#include <optional>

using namespace tutorialtext;

namespace {

// The position a Try-it link loads onto the starting quote grid, at the
// price today it names.
workbench::PositionState loadedBy(const workbench::links::Load& load) {
    workbench::PositionState p = workbench::startingQuotes();
    if (const workbench::Strategy* s = workbench::findStrategy(load.strategy)) {
        workbench::hold(p, *s);
    }
    for (const workbench::links::Leg& leg : load.legs) {
        if (leg.kind == workbench::links::Leg::Kind::Underlying) {
            p.underlyingQty = leg.quantity;
        } else {
            (leg.kind == workbench::links::Leg::Kind::Call ? p.callQty : p.putQty)[leg.row] =
                leg.quantity;
        }
    }
    if (load.market.price) {
        p.underlyingPrice = *load.market.price;
    }
    return p;
}

// The exact answer at expiry to a lesson question about a position, from the
// analysis the read-out shows: a loss as the amount lost. Nothing for a
// question this file does not settle (those before expiry, the chances).
std::optional<double> atExpiry(const workbench::lessons::Exercise& e,
                               const workbench::PositionState& p,
                               workbench::payoff::DiagramKind kind) {
    namespace analysis = workbench::analysis;
    using workbench::lessons::Asks;
    const analysis::Analysis a = analysis::analyse(p, kind);
    switch (e.asks) {
    case Asks::ProfitAt:
        return analysis::valueAt(p, e.price, kind);
    case Asks::GreatestProfit:
        return a.highest.unlimited ? std::nullopt : std::optional(a.highest.value);
    case Asks::GreatestLoss:
        return a.lowest.unlimited ? std::nullopt : std::optional(-a.lowest.value);
    case Asks::BreakEven:
        return a.breakEvens.size() == 1 ? std::optional(a.breakEvens.front().from) : std::nullopt;
    case Asks::LowerBreakEven:
        return a.breakEvens.size() > 1 ? std::optional(a.breakEvens.front().from) : std::nullopt;
    case Asks::UpperBreakEven:
        return a.breakEvens.size() > 1 && !a.breakEvens.back().isUnboundedAbove()
                   ? std::optional(a.breakEvens.back().to)
                   : std::nullopt;
    default:
        return std::nullopt;
    }
}

} // namespace

class TestPositionPages : public QObject {
    Q_OBJECT
private slots:
    void each_position_page_states_the_exact_analysis_of_the_legs_it_loads_data();
    void each_position_page_states_the_exact_analysis_of_the_legs_it_loads();
    void each_position_exercise_is_asked_below_its_link_with_the_exact_answer_data();
    void each_position_exercise_is_asked_below_its_link_with_the_exact_answer();
};

// The positions met early that the strategy list does not hold: each page's
// neighbours, and the exact analysis of what its link loads.
void TestPositionPages::each_position_page_states_the_exact_analysis_of_the_legs_it_loads_data() {
    QTest::addColumn<int>("page");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("previous");
    QTest::addColumn<QString>("next");
    QTest::newRow("iron condor") << 34 << "Iron Condor"
                                 << "page33.htm"
                                 << "page35.htm";
    QTest::newRow("iron butterfly") << 35 << "Iron Butterfly"
                                    << "page34.htm"
                                    << "page36.htm";
    QTest::newRow("collar, the last page") << 36 << "Collar"
                                           << "page35.htm" << QString();
}

void TestPositionPages::each_position_page_states_the_exact_analysis_of_the_legs_it_loads() {
    QFETCH(int, page);
    QFETCH(QString, title);
    QFETCH(QString, previous);
    QFETCH(QString, next);
    const offline::SiteBundle bundle;
    const QString file = QStringLiteral("page%1.htm").arg(page);
    const QString html = modulePage(bundle, file);
    QCOMPARE(httpprobe::title(html.toUtf8()), QStringLiteral("Option Payoffs: ") + title);
    QVERIFY(html.contains(QStringLiteral("<h1>%1</h1>").arg(title)));

    // Linked both ways at the top and the bottom, and from the contents.
    QCOMPARE(html.count(QStringLiteral("<a rel=\"prev\" href=\"%1\">").arg(previous)), 2);
    if (next.isEmpty()) {
        QVERIFY(!html.contains(u"rel=\"next\""_qs));
    } else {
        QCOMPARE(html.count(QStringLiteral("<a rel=\"next\" href=\"%1\">").arg(next)), 2);
        QCOMPARE(modulePage(bundle, next)
                     .count(QStringLiteral("<a rel=\"prev\" href=\"%1\">").arg(file)),
                 2);
    }
    QVERIFY(modulePage(bundle, u"contents.htm"_qs)
                .contains(QStringLiteral("<li><a href=\"%1\">%2</a></li>").arg(file, title)));

    // One link loads the legs; the facts, folded below the exercises, are
    // the exact analysis of what it loads, and each figure names that link.
    QRegularExpressionMatchIterator links = tryItLink().globalMatch(html);
    QVERIFY(links.hasNext());
    const QRegularExpressionMatch link = links.next();
    QVERIFY(!links.hasNext());
    const QString id = link.captured(1);
    QVERIFY(!id.isEmpty());
    const workbench::links::Reading reading =
        workbench::links::read(QUrl(link.captured(2).replace(QStringLiteral("&amp;"), u"&"_qs)),
                               workbench::startingQuotes().rowCount());
    QVERIFY2(reading.load, qPrintable(reading.problem));
    QVERIFY(reading.load->strategy.isEmpty());
    QCOMPARE(reading.load->diagram, workbench::payoff::profitDiagram);
    const workbench::analysis::Analysis a =
        workbench::analysis::analyse(loadedBy(*reading.load), workbench::payoff::profitDiagram);
    const QString mismatch = factsMismatch(factsOf(html.toUtf8()), a);
    QVERIFY2(mismatch.isEmpty(), qPrintable(mismatch));
    QCOMPARE(html.count(factsOpening), 1);
    QVERIFY(html.indexOf(factsOpening) > html.lastIndexOf(u"</form>"_qs));
    static const QRegularExpression figure(
        QStringLiteral("<span class=\"figure\" data-try=\"([^\"]*)\""));
    int figures = 0;
    for (QRegularExpressionMatchIterator it = figure.globalMatch(html); it.hasNext(); ++figures) {
        QCOMPARE(it.next().captured(1), id);
    }
    QVERIFY(figures >= 3);
}

void TestPositionPages::
    each_position_exercise_is_asked_below_its_link_with_the_exact_answer_data() {
    QTest::addColumn<QString>("id");
    for (const workbench::lessons::Exercise& e : workbench::lessons::positionExercises()) {
        QTest::newRow(QString::fromUtf16(e.id).toUtf8()) << QString::fromUtf16(e.id);
    }
}

void TestPositionPages::each_position_exercise_is_asked_below_its_link_with_the_exact_answer() {
    QFETCH(QString, id);
    const std::vector<workbench::lessons::Exercise>& table =
        workbench::lessons::positionExercises();
    const auto e =
        std::find_if(table.cbegin(), table.cend(), [&](const workbench::lessons::Exercise& x) {
            return QStringView(x.id) == id;
        });
    QVERIFY(e != table.cend());

    // Asked on exactly one page, which offers the exercise's own link above it.
    const offline::SiteBundle bundle;
    const QString opening =
        QStringLiteral("<form class=\"exercise\" id=\"%1\" data-exercise=\"%1\" ").arg(id);
    QString html;
    for (int page = 1; page <= 36; ++page) {
        const QString candidate = modulePage(bundle, QStringLiteral("page%1.htm").arg(page));
        if (candidate.contains(opening)) {
            QVERIFY2(html.isEmpty(), qPrintable(id + QStringLiteral(" on two pages")));
            html = candidate;
        }
    }
    const qsizetype form = html.indexOf(opening);
    QVERIFY2(form > 0, qPrintable(id + QStringLiteral(" on no page")));
    const QRegularExpressionMatch link = tryItLink().match(html);
    QVERIFY(link.hasMatch() && link.capturedStart() < form);
    QCOMPARE(link.captured(2).replace(QStringLiteral("&amp;"), u"&"_qs),
             QString::fromUtf16(e->link));

    // The answer the page's author worked out is the exact one, to the cent
    // the question names.
    QCOMPARE(e->tolerance, 0.01);
    const QString question = html.mid(form, html.indexOf(u"</label>"_qs, form) - form);
    QVERIFY2(question.contains(u"to the cent"_qs), qPrintable(question));
    const workbench::links::Reading reading = workbench::links::read(
        QUrl(QString::fromUtf16(e->link)), workbench::startingQuotes().rowCount());
    QVERIFY2(reading.load, qPrintable(reading.problem));
    const std::optional<double> truth =
        atExpiry(*e, loadedBy(*reading.load), reading.load->diagram);
    QVERIFY2(truth,
             qPrintable(id + QStringLiteral(" asks what the expiry analysis cannot settle")));
    QCOMPARE(QString::fromUtf16(e->answer), workbench::analysis::money(*truth));

    // Neither the page above the question nor the hint gives it away.
    const QList<QRegularExpression> ways = givenAway(QString::fromUtf16(e->answer));
    const QString above = firstGiveaway(ways, readableText(html.left(form)));
    QVERIFY2(above.isEmpty(), qPrintable(above));
    const QString hinted = firstGiveaway(ways, QString::fromUtf16(e->hint));
    QVERIFY2(hinted.isEmpty(), qPrintable(hinted));
    QVERIFY(QString::fromUtf16(e->hint).size() > 40);
}

QTEST_GUILESS_MAIN(TestPositionPages)
#include "test_position_pages.moc"
