// The tutorial pages teach with numbers and curves; these must be the ones
// the student sees on the workbench beside them.
#include "HttpProbe.h"
#include "TutorialText.h"
#include "offline/SiteBundle.h"
#include "workbench/control/WorkbenchHarness.h"
#include "workbench/lessons/Exercises.h"
#include "workbench/lessons/Lessons.h"
#include "workbench/model/PositionAnalysis.h"
#include "workbench/model/Strategies.h"
#include "workbench/model/WorkbenchLink.h"

#include <QRegularExpression>
#include <QSet>
#include <QTest>
#include <QUrl>

#include <algorithm>
#include <cmath>

using namespace tutorialtext;

namespace {

// One curve sketched on a page: its polyline in the diagram's own units (the
// underlying's price across, the value up), the position it shows and which
// diagram, and the drawing's visible window in the same units.
struct Sketch {
    QString page;
    QString title;
    QString strategy;
    QString diagram;
    QSet<QString> position;
    QList<QPointF> points;
    QRectF window;
};

QHash<QString, QString> attributes(const QString& tag) {
    static const QRegularExpression re(QStringLiteral("([\\w-]+)=\"([^\"]*)\""));
    QHash<QString, QString> out;
    QRegularExpressionMatchIterator it = re.globalMatch(tag);
    while (it.hasNext()) {
        const QRegularExpressionMatch m = it.next();
        out.insert(m.captured(1), m.captured(2));
    }
    return out;
}

QList<Sketch> sketchesOf(const offline::SiteBundle& bundle) {
    static const QRegularExpression svgs(QStringLiteral("<svg\\b([^>]*)>(.*?)</svg>"),
                                         QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression polylines(QStringLiteral("<polyline\\b([^>]*)/?>"));
    QList<Sketch> out;
    for (const QString& address : bundle.addresses()) {
        const QUrl url(address);
        const QByteArray html =
            bundle.answer(url.host(), url.path(QUrl::FullyEncoded).toLatin1()).body;
        QRegularExpressionMatchIterator svg = svgs.globalMatch(QString::fromUtf8(html));
        while (svg.hasNext()) {
            const QRegularExpressionMatch s = svg.next();
            const QStringList box =
                attributes(s.captured(1)).value(QStringLiteral("viewBox")).split(u' ');
            // The drawing flips the value axis: a viewBox top of -t shows values up to t.
            const QRectF window(box.value(0).toDouble(),
                                -(box.value(1).toDouble() + box.value(3).toDouble()),
                                box.value(2).toDouble(), box.value(3).toDouble());
            QRegularExpressionMatchIterator line = polylines.globalMatch(s.captured(2));
            while (line.hasNext()) {
                const QHash<QString, QString> a = attributes(line.next().captured(1));
                Sketch k;
                k.page = address;
                k.title = httpprobe::title(html);
                k.strategy = a.value(QStringLiteral("data-strategy"));
                k.diagram = a.value(QStringLiteral("data-diagram"));
                const QStringList tokens =
                    a.value(QStringLiteral("data-position")).split(u' ', Qt::SkipEmptyParts);
                k.position = QSet<QString>(tokens.cbegin(), tokens.cend());
                for (const QString& p : a.value(QStringLiteral("points")).split(u' ')) {
                    const QStringList xy = p.split(u',');
                    k.points << QPointF(xy.value(0).toDouble(), xy.value(1).toDouble());
                }
                k.window = window;
                out << k;
            }
        }
    }
    return out;
}

QString number(float q) {
    return QString::number(double(q), 'g', 6);
}

// The position the workbench holds, written the way the sketches write it:
// "u:1" for the underlying, "c3:-1" for the call of row 3, "p1:2" for the put
// of row 1.
QSet<QString> positionOf(const workbench::PositionState& p) {
    QSet<QString> out;
    if (p.underlyingQty != 0) {
        out << QStringLiteral("u:") + number(p.underlyingQty);
    }
    for (int r = 1; r <= p.rowCount(); ++r) {
        if (p.callQty[r] != 0) {
            out << QStringLiteral("c%1:").arg(r) + number(p.callQty[r]);
        }
        if (p.putQty[r] != 0) {
            out << QStringLiteral("p%1:").arg(r) + number(p.putQty[r]);
        }
    }
    return out;
}

// Sets the workbench's quantities to a sketch's position; strikes and
// premiums stay the workbench's own.
void hold(workbench::PositionState& p, const QSet<QString>& position) {
    p.underlyingQty = 0;
    for (int r = 1; r <= p.rowCount(); ++r) {
        p.callQty[r] = 0;
        p.putQty[r] = 0;
    }
    for (const QString& token : position) {
        const QStringList kv = token.split(u':');
        const float q = kv.value(1).toFloat();
        const QString what = kv.value(0);
        const int row = what.mid(1).toInt();
        if (what == u"u") {
            p.underlyingQty = q;
        } else if (what.startsWith(u'c')) {
            p.callQty[row] = q;
        } else {
            p.putQty[row] = q;
        }
    }
}

// The sketch's value at price x, between its points.
double valueAt(const QList<QPointF>& points, double x) {
    for (qsizetype i = 1; i < points.size(); ++i) {
        const QPointF a = points[i - 1];
        const QPointF b = points[i];
        if (x >= a.x() && x <= b.x() && b.x() > a.x()) {
            return a.y() + (b.y() - a.y()) * (x - a.x()) / (b.x() - a.x());
        }
    }
    return std::nan("");
}

// A strategy exercise's answer as a page would give it away; a yes or no
// shows as the extreme it asks about: its amount, or that it has no limit.
QList<QRegularExpression> givenAway(const workbench::exercises::Exercise& e) {
    namespace exercises = workbench::exercises;
    exercises::Exercise asked = e;
    if (e.asks == exercises::Asks::ProfitLimited) {
        asked.asks = exercises::Asks::GreatestProfit;
    } else if (e.asks == exercises::Asks::LossLimited) {
        asked.asks = exercises::Asks::GreatestLoss;
    }
    return tutorialtext::givenAway(exercises::trueAnswer(asked));
}

// The strategies whose options expire together: each has a page of its own.
qsizetype togetherStrategies() {
    const auto& all = workbench::standardStrategies();
    return std::count_if(all.begin(), all.end(),
                         [](const workbench::Strategy& s) { return !workbench::expiresApart(s); });
}

} // namespace

class TestTutorialContent : public QObject {
    Q_OBJECT
private slots:
    void each_standard_strategy_has_a_page_sketching_the_legs_it_loads();
    void every_sketch_draws_the_curve_the_workbench_draws();
    void each_strategy_page_quotes_the_exact_analysis();
    void every_try_it_link_loads_a_position_its_page_draws();
    void each_exercise_is_asked_on_its_page_and_listed_with_the_analysis_answer();
    void no_exercise_answer_shows_above_it_and_the_facts_fold_below_data();
    void no_exercise_answer_shows_above_it_and_the_facts_fold_below();
    void the_contents_number_every_page_as_its_kicker_does();
};

void TestTutorialContent::each_standard_strategy_has_a_page_sketching_the_legs_it_loads() {
    const offline::SiteBundle bundle;
    const QList<Sketch> sketches = sketchesOf(bundle);
    WorkbenchHarness h;

    QSet<QString> names;
    for (const workbench::Strategy& s : workbench::standardStrategies()) {
        // The calendars and the diagonal are taught on a lesson of their own.
        if (workbench::expiresApart(s)) {
            continue;
        }
        const QString name = QString::fromUtf16(s.name);
        names << name;
        h.choose(name);
        QList<Sketch> found;
        for (const Sketch& k : sketches) {
            if (k.strategy == name) {
                found << k;
            }
        }
        QVERIFY2(found.size() == 1, qPrintable(name));
        QVERIFY2(found[0].title.endsWith(name), qPrintable(found[0].page));
        QVERIFY2(found[0].page.endsWith(QStringLiteral("/page%1.htm").arg(s.tutorialPage)),
                 qPrintable(found[0].page));
        QCOMPARE(found[0].position, positionOf(h.bench->position()));
    }
    for (const Sketch& k : sketches) {
        QVERIFY2(k.strategy.isEmpty() || names.contains(k.strategy), qPrintable(k.strategy));
    }
}

void TestTutorialContent::every_sketch_draws_the_curve_the_workbench_draws() {
    const offline::SiteBundle bundle;
    const QList<Sketch> sketches = sketchesOf(bundle);
    QVERIFY(sketches.size() >= 18);
    WorkbenchHarness h;

    for (const Sketch& k : sketches) {
        const QString where =
            k.page + QStringLiteral(" ") + QStringList(k.position.values()).join(u' ');
        QVERIFY2(!k.position.isEmpty(), qPrintable(where));
        QVERIFY2(k.diagram == u"payoff" || k.diagram == u"profit", qPrintable(where));
        QVERIFY2(k.points.first().x() == 0 && k.points.last().x() == 100, qPrintable(where));
        for (const QPointF& p : k.points) {
            QVERIFY2(k.window.contains(p), qPrintable(where));
        }

        hold(h.bench->position(), k.position);
        h.child<QRadioButton>(k.diagram == u"profit" ? QStringLiteral("plotType(1)")
                                                     : QStringLiteral("plotType(0)"))
            ->setChecked(true);
        h.bench->PlotIt(platform::vbTrue);
        for (int i = 1; i <= workbench::payoff::sampleCount; ++i) {
            const double x = h.bench->plotPrice()[i];
            const double drawn = h.bench->plotValue()[i];
            const double sketched = valueAt(k.points, x);
            QVERIFY2(std::abs(sketched - drawn) < 0.01,
                     qPrintable(
                         where +
                         QStringLiteral(" at %1: %2 against %3").arg(x).arg(sketched).arg(drawn)));
        }
    }
}

void TestTutorialContent::each_strategy_page_quotes_the_exact_analysis() {
    namespace analysis = workbench::analysis;
    const offline::SiteBundle bundle;
    WorkbenchHarness h;
    h.chooseProfit();
    QSet<QString> checked;
    for (const Sketch& k : sketchesOf(bundle)) {
        if (k.strategy.isEmpty() || checked.contains(k.strategy)) {
            continue;
        }
        checked << k.strategy;
        h.choose(k.strategy);
        const analysis::Analysis a =
            analysis::analyse(h.bench->position(), workbench::payoff::profitDiagram);
        const QUrl url(k.page);
        const QHash<QString, QString> facts =
            factsOf(bundle.answer(url.host(), url.path(QUrl::FullyEncoded).toLatin1()).body);
        const QString mismatch = factsMismatch(facts, a);
        QVERIFY2(mismatch.isEmpty(), qPrintable(k.strategy + QStringLiteral(": ") + mismatch));
    }
    QCOMPARE(checked.size(), togetherStrategies());
}

void TestTutorialContent::every_try_it_link_loads_a_position_its_page_draws() {
    const offline::SiteBundle bundle;
    const QList<Sketch> sketches = sketchesOf(bundle);
    WorkbenchHarness h;
    QSet<QString> strategies;
    int links = 0;
    for (const QString& address : bundle.addresses()) {
        const QUrl url(address);
        const QString html = QString::fromUtf8(
            bundle.answer(url.host(), url.path(QUrl::FullyEncoded).toLatin1()).body);
        // A lesson's links set up situations before expiry that no sketch
        // draws; their own test holds each to the judge of its exercises.
        if (html.contains(u"<p class=\"kicker\">Time, volatility and chance"_qs)) {
            continue;
        }
        QRegularExpressionMatchIterator it = tryItLink().globalMatch(html);
        while (it.hasNext()) {
            const QString href = it.next().captured(2).replace(QStringLiteral("&amp;"), u"&"_qs);
            const workbench::links::Reading reading =
                workbench::links::read(QUrl(href), h.bench->position().rowCount());
            QVERIFY2(reading.load, qPrintable(href + u' ' + reading.problem));
            h.bench->followLink(*reading.load);
            ++links;
            const QString diagram =
                h.child<QRadioButton>(QStringLiteral("plotType(1)"))->isChecked() ? u"profit"_qs
                                                                                  : u"payoff"_qs;
            const bool drawn =
                std::any_of(sketches.cbegin(), sketches.cend(), [&](const Sketch& k) {
                    return k.page == address && k.diagram == diagram &&
                           k.position == positionOf(h.bench->position());
                });
            QVERIFY2(drawn, qPrintable(address + u' ' + href));
            if (!reading.load->strategy.isEmpty()) {
                QCOMPARE(h.strategies()->currentText(), reading.load->strategy);
                strategies << reading.load->strategy;
            }
        }
    }
    QCOMPARE(strategies.size(), togetherStrategies());
    QVERIFY(links >= 24);
}

void TestTutorialContent::each_exercise_is_asked_on_its_page_and_listed_with_the_analysis_answer() {
    namespace exercises = workbench::exercises;
    static const QRegularExpression form(
        QStringLiteral("<form class=\"exercise\" id=\"([^\"]+)\" data-exercise=\"\\1\">"));
    static const QRegularExpression listed(
        QStringLiteral("<li data-exercise=\"([^\"]+)\"><a href=\"page(\\d+)\\.htm#\\1\">"));
    const offline::SiteBundle bundle;
    QHash<QString, QString> askedOn; // id -> page file
    QHash<QString, int> listedFor;   // id -> page number in the contents
    for (const QString& address : bundle.addresses()) {
        const QUrl url(address);
        const QString html = QString::fromUtf8(
            bundle.answer(url.host(), url.path(QUrl::FullyEncoded).toLatin1()).body);
        const QString file = url.fileName();
        for (QRegularExpressionMatchIterator it = form.globalMatch(html); it.hasNext();) {
            const QString id = it.next().captured(1);
            // The lessons' exercises have a test of their own.
            if (workbench::lessons::find(id)) {
                continue;
            }
            QVERIFY2(!askedOn.contains(id), qPrintable(id));
            askedOn.insert(id, file);
            QVERIFY2(html.contains(QStringLiteral("<script src=\"exercises.js\">")),
                     qPrintable(file));
        }
        for (QRegularExpressionMatchIterator it = listed.globalMatch(html); it.hasNext();) {
            const QRegularExpressionMatch m = it.next();
            if (workbench::lessons::find(m.captured(1))) {
                continue;
            }
            QVERIFY2(file == u"contents.htm" && !listedFor.contains(m.captured(1)),
                     qPrintable(file + u' ' + m.captured(1)));
            listedFor.insert(m.captured(1), m.captured(2).toInt());
        }
    }
    QHash<QString, int> perStrategy;
    for (const exercises::Exercise& e : exercises::all()) {
        const QString id = QString::fromUtf16(e.id);
        const workbench::Strategy* strategy =
            workbench::findStrategy(QString::fromUtf16(e.strategy));
        QVERIFY2(strategy, qPrintable(id));
        QCOMPARE(exercises::trueAnswer(e), QString::fromUtf16(e.answer));
        QCOMPARE(askedOn.take(id), QStringLiteral("page%1.htm").arg(strategy->tutorialPage));
        QCOMPARE(listedFor.take(id), strategy->tutorialPage);
        ++perStrategy[QString::fromUtf16(e.strategy)];
    }
    // Nothing asked or listed that the program cannot judge.
    QVERIFY2(askedOn.isEmpty(), qPrintable(askedOn.keys().join(u' ')));
    QVERIFY2(listedFor.isEmpty(), qPrintable(listedFor.keys().join(u' ')));
    QCOMPARE(perStrategy.size(), togetherStrategies());
    for (const int n : perStrategy) {
        QVERIFY(n == 1 || n == 2);
    }
}

void TestTutorialContent::no_exercise_answer_shows_above_it_and_the_facts_fold_below_data() {
    QTest::addColumn<QString>("id");
    for (const workbench::exercises::Exercise& e : workbench::exercises::all()) {
        QTest::newRow(QString::fromUtf16(e.id).toUtf8()) << QString::fromUtf16(e.id);
    }
}

void TestTutorialContent::no_exercise_answer_shows_above_it_and_the_facts_fold_below() {
    QFETCH(QString, id);
    const workbench::exercises::Exercise* e = workbench::exercises::find(id);
    QVERIFY(e);
    const workbench::Strategy* strategy = workbench::findStrategy(QString::fromUtf16(e->strategy));
    QVERIFY(strategy);
    const QString html =
        modulePage(offline::SiteBundle(), QStringLiteral("page%1.htm").arg(strategy->tutorialPage));
    const qsizetype form =
        html.indexOf(QStringLiteral("<form class=\"exercise\" id=\"%1\"").arg(id));
    QVERIFY(form > 0);
    const QString shown = firstGiveaway(givenAway(*e), readableText(html.left(form)));
    QVERIFY2(shown.isEmpty(), qPrintable(shown));
    QCOMPARE(html.count(factsOpening), 1);
    QVERIFY(html.indexOf(factsOpening) > html.lastIndexOf(u"</form>"_qs));
}

// The contents list every numbered page as the item of its number, and the
// page's kicker counts it against the last page.
void TestTutorialContent::the_contents_number_every_page_as_its_kicker_does() {
    static const QRegularExpression lists(QStringLiteral("<ol start=\"(\\d+)\">(.*?)</ol>"),
                                          QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression items(QStringLiteral("<li><a href=\"page(\\d+)\\.htm\">"));
    static const QRegularExpression kicker(
        QStringLiteral("<p class=\"kicker\">[^<]*page (\\d+) of (\\d+)</p>"));
    static const QRegularExpression numbered(QStringLiteral("/wqzLumo/page(\\d+)\\.htm$"));
    const offline::SiteBundle bundle;
    QHash<int, int> listedAs; // page -> item number
    const QString contents = modulePage(bundle, u"contents.htm"_qs);
    for (QRegularExpressionMatchIterator l = lists.globalMatch(contents); l.hasNext();) {
        const QRegularExpressionMatch list = l.next();
        int item = list.captured(1).toInt();
        for (QRegularExpressionMatchIterator i = items.globalMatch(list.captured(2)); i.hasNext();
             ++item) {
            const int page = i.next().captured(1).toInt();
            QVERIFY2(!listedAs.contains(page), qPrintable(QString::number(page)));
            listedAs.insert(page, item);
        }
    }
    QList<int> pages;
    for (const QString& address : bundle.addresses()) {
        const QRegularExpressionMatch m = numbered.match(address);
        if (m.hasMatch()) {
            pages << m.captured(1).toInt();
        }
    }
    QVERIFY(!pages.isEmpty());
    const int last = *std::max_element(pages.cbegin(), pages.cend());
    for (const int page : std::as_const(pages)) {
        QCOMPARE(listedAs.take(page), page);
        const QRegularExpressionMatch k =
            kicker.match(modulePage(bundle, QStringLiteral("page%1.htm").arg(page)));
        QVERIFY2(k.hasMatch(), qPrintable(QString::number(page)));
        QCOMPARE(k.captured(1).toInt(), page);
        QCOMPARE(k.captured(2).toInt(), last);
    }
    // Nothing listed that is not bundled.
    QVERIFY2(listedAs.isEmpty(), qPrintable(QString::number(listedAs.keys().value(0))));
}

QTEST_MAIN(TestTutorialContent)
#include "test_tutorial_content.moc"
