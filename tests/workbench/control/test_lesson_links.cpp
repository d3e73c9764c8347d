// A lesson's Try-it link, followed by the workbench, shows the very figure
// the lessons' judge holds a student's answer to.
#include "WorkbenchHarness.h"
#include "workbench/lessons/Lessons.h"
#include "workbench/model/WorkbenchLink.h"

#include <QSet>
#include <QUrl>

#include <cmath>

namespace lessons = workbench::lessons;
using Asks = lessons::Asks;

class TestLessonLinks : public QObject {
    Q_OBJECT
private slots:
    void following_a_link_shows_the_judges_figure_data();
    void following_a_link_shows_the_judges_figure();
};

void TestLessonLinks::following_a_link_shows_the_judges_figure_data() {
    QTest::addColumn<QString>("link");
    QTest::addColumn<int>("asks");
    QTest::addColumn<double>("price");
    QTest::addColumn<QStringList>("shown"); // what the read-out or the values name
    const auto lesson = [](const char* id) {
        const lessons::Exercise* e = lessons::find(QString::fromUtf8(id));
        Q_ASSERT(e);
        return QString::fromUtf16(e->link);
    };
    const QString market = QStringLiteral("&days=30&rate=5&dividend=0&exercise=european");
    QTest::newRow("days left and more dates")
        << lesson("time-value-1") << int(Asks::ValueWithDaysLeft) << 55.0
        << QStringList{"Payoff with 10 days left", "Payoff with 30 days left",
                       "Payoff with 20 days left"};
    QTest::newRow("one volatility for a strategy")
        << lesson("volatility-2") << int(Asks::ValueWithDaysLeft) << 45.0
        << QStringList{"Payoff with 20 days left"};
    QTest::newRow("today's price and the costs in the profit")
        << "wqz-workbench:load?position=c3:1,p1:-1&diagram=profit&price=53.5&costOption=0.5"
           "&costUnit=0.01&volatility=25&daysLeft=12" +
               market
        << int(Asks::ValueWithDaysLeft) << 55.0 << QStringList{"Profit with 12 days left"};
    QTest::newRow("volatilities implied at another price")
        << "wqz-workbench:load?position=p3:1,c5:-1&diagram=payoff&price=52&volatility=implied"
           "&daysLeft=25&dates=5" +
               market
        << int(Asks::ValueWithDaysLeft) << 50.0
        << QStringList{"Payoff with 25 days left", "Payoff with 5 days left"};
    // A calendar's dates count to its first expiry, where its break-evens
    // are found numerically: neither is read back along the lesson walk.
    QTest::newRow("a calendar's dates")
        << lesson("calendar-1") << int(Asks::ValueWithDaysLeft) << 50.0
        << QStringList{"Profit with 15 days left", "Profit with 25 days left",
                       "Profit with 5 days left"};
    QTest::newRow("a calendar's break-even under a shift")
        << lesson("calendar-3") << int(Asks::LowerBreakEven) << 0.0
        << QStringList{"Break-evens (to the cent): "};
    QTest::newRow("the probability of profit")
        << "wqz-workbench:load?strategy=Straddle&diagram=profit&price=52&volatility=45" + market
        << int(Asks::ProbabilityOfProfit) << 0.0
        << QStringList{"Probability of profit at expiry: "};
    QTest::newRow("the expected profit with costs")
        << "wqz-workbench:load?strategy=Strangle&diagram=profit&price=48&costOption=1"
           "&volatility=implied" +
               market
        << int(Asks::ExpectedProfit) << 0.0 << QStringList{"Expected profit at expiry: "};
}

void TestLessonLinks::following_a_link_shows_the_judges_figure() {
    QFETCH(QString, link);
    QFETCH(int, asks);
    QFETCH(double, price);
    QFETCH(QStringList, shown);
    WorkbenchHarness h;
    h.bench->setBeforeExpiryShown(true);
    h.bench->setProbabilityShown(true);
    // The student had moved things about before following the link.
    h.choose(QStringLiteral("Strip"));
    const workbench::links::Reading reading =
        workbench::links::read(QUrl(link), h.bench->position().rowCount());
    QVERIFY2(reading.load, qPrintable(reading.problem));
    h.bench->followLink(*reading.load);

    const std::u16string held = link.toStdU16String();
    if (Asks(asks) != Asks::ValueWithDaysLeft) {
        const lessons::Exercise e{u"shown", held.c_str(), Asks(asks), price, 0.01, u"", u""};
        const QString truth = lessons::trueAnswer(e);
        QVERIFY(!truth.isEmpty());
        // The read-out writes a percentage or an amount to two decimals.
        QVERIFY2(h.bench->analysisText().contains(shown.front() + truth),
                 qPrintable(truth + u'\n' + h.bench->analysisText()));
        return;
    }
    // The dashed curves' values at the diagram's own prices, a column a date,
    // the most days left first; the slider's is the first named here.
    const QList<workbench::valuesexport::Column> columns = h.bench->beforeExpiryColumns();
    QStringList headers;
    for (const auto& c : columns) {
        headers << c.header;
    }
    QCOMPARE(QSet<QString>(headers.cbegin(), headers.cend()),
             QSet<QString>(shown.cbegin(), shown.cend()));
    const QStringList& values = columns.at(headers.indexOf(shown.front())).values;
    // At the price the diagram samples next to the one asked, to the
    // diagram's own four decimals.
    const auto& prices = h.bench->plotPrice();
    int near = 1;
    for (int i = 1; i <= workbench::payoff::sampleCount; ++i) {
        if (std::abs(prices[i] - price) < std::abs(prices[near] - price)) {
            near = i;
        }
    }
    const lessons::Exercise e{u"shown", held.c_str(), Asks(asks), prices[near], 0.0001, u"", u""};
    QCOMPARE(values.value(near - 1), lessons::trueAnswer(e));
}

QTEST_MAIN(TestLessonLinks)
#include "test_lesson_links.moc"
