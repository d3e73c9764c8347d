// The program's own links from tutorial pages: what they may load, and the
// addresses of that form that must be refused.
#include "workbench/WorkbenchLink.h"

#include <QTest>

class TestWorkbenchLink : public QObject {
    Q_OBJECT
private slots:
    void a_link_loads_no_more_than_a_strategy_or_legs_data();
    void a_link_loads_no_more_than_a_strategy_or_legs();
};

void TestWorkbenchLink::a_link_loads_no_more_than_a_strategy_or_legs_data() {
    QTest::addColumn<QString>("link");
    QTest::addColumn<QString>("problem"); // empty when the link is followed
    const QString load = QStringLiteral("wqz-workbench:load?");
    QTest::newRow("a listed strategy") << load + "strategy=Call%20Butterfly%20Spread&diagram=profit"
                                       << "";
    QTest::newRow("legs") << load + "position=u:1,c3:-1,p5:0.5&diagram=payoff"
                          << "";
    QTest::newRow("an unlisted strategy") << load + "strategy=Iron%20Condor&diagram=profit"
                                          << "has no \"Iron Condor\"";
    QTest::newRow("another command") << "wqz-workbench:run?file=/bin/sh"
                                     << "does not know";
    QTest::newRow("another scheme") << "file:///etc/passwd"
                                    << "does not know";
    QTest::newRow("a key it does not take") << load + "strategy=Straddle&diagram=profit&file=x"
                                            << "\"file\"";
    QTest::newRow("a key twice") << load + "strategy=Straddle&strategy=Strip&diagram=profit"
                                 << "\"strategy\"";
    QTest::newRow("both") << load + "strategy=Straddle&position=c3:1&diagram=profit"
                          << "either a strategy or a position";
    QTest::newRow("no diagram") << load + "strategy=Straddle"
                                << "no diagram";
    QTest::newRow("a row beyond the grid") << load + "position=c6:1&diagram=profit"
                                           << "no row 6";
    QTest::newRow("row 0") << load + "position=p0:1&diagram=profit"
                           << "no row 0";
    QTest::newRow("a huge quantity") << load + "position=c3:9999&diagram=profit"
                                     << "not a leg";
    QTest::newRow("a leg twice") << load + "position=c3:1,c3:1&diagram=profit"
                                 << "not a leg";
    QTest::newRow("more than a number") << load + "position=c3:1e38&diagram=profit"
                                        << "not a leg";
    QTest::newRow("script in a leg") << load + "position=c3:1%3Cscript%3E&diagram=profit"
                                     << "not a leg";
    QTest::newRow("too long") << load + "position=" + QString(3000, u'u') + "&diagram=profit"
                              << "too long";
}

void TestWorkbenchLink::a_link_loads_no_more_than_a_strategy_or_legs() {
    QFETCH(QString, link);
    QFETCH(QString, problem);
    const workbench::links::Reading reading = workbench::links::read(QUrl(link), 5);
    QCOMPARE(bool(reading.load), problem.isEmpty());
    QVERIFY2(reading.problem.contains(problem), qPrintable(reading.problem));
}

QTEST_GUILESS_MAIN(TestWorkbenchLink)
#include "test_workbench_link.moc"
