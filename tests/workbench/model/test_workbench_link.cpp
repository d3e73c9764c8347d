// The program's own links from tutorial pages: what they may load or check,
// the addresses of that form that must be refused, and how an exercise's
// answer is judged.
#include "workbench/model/Exercises.h"
#include "workbench/model/WorkbenchLink.h"

#include <QTest>

class TestWorkbenchLink : public QObject {
    Q_OBJECT
private slots:
    void a_link_loads_no_more_than_a_strategy_or_legs_data();
    void a_link_loads_no_more_than_a_strategy_or_legs();
    void an_answer_within_a_cent_is_right_data();
    void an_answer_within_a_cent_is_right();
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
    const QString check = QStringLiteral("wqz-workbench:check?");
    QTest::newRow("an answer") << check + "exercise=straddle-1&answer=36%2C5%20%26x"
                               << "";
    QTest::newRow("no such exercise") << check + "exercise=x&answer=1"
                                      << "no exercise \"x\"";
    QTest::newRow("no answer") << check + "exercise=straddle-1"
                               << "an exercise and an answer";
    QTest::newRow("an answer and a load") << check + "exercise=straddle-1&answer=1&strategy=Strip"
                                          << "an exercise and an answer";
    QTest::newRow("a long answer")
        << check + "exercise=straddle-1&answer=" + QString(41, u'1') << "too long";
}

void TestWorkbenchLink::a_link_loads_no_more_than_a_strategy_or_legs() {
    QFETCH(QString, link);
    QFETCH(QString, problem);
    const workbench::links::Reading reading = workbench::links::read(QUrl(link), 5);
    QCOMPARE(bool(reading.load) || bool(reading.check), problem.isEmpty());
    QVERIFY(!(reading.load && reading.check));
    QVERIFY2(reading.problem.contains(problem), qPrintable(reading.problem));
    if (reading.check) {
        QCOMPARE(reading.check->answer, QStringLiteral("36,5 &x"));
    }
}

void TestWorkbenchLink::an_answer_within_a_cent_is_right_data() {
    QTest::addColumn<QString>("exercise");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("outcome"); // exercises::Outcome
    QTest::addColumn<QString>("message");
    using O = workbench::exercises::Outcome;
    QTest::newRow("exact") << "straddle-1"
                           << "36" << int(O::Right) << "Right: the lower break-even is 36.00.";
    QTest::newRow("a cent off") << "straddle-1"
                                << "36.01" << int(O::Right) << "";
    QTest::newRow("two cents off")
        << "straddle-1"
        << "35.98" << int(O::Wrong) << "Not right: the lower break-even is 36.00, not 35.98.";
    QTest::newRow("as typed with a sign and a comma") << "strip-1"
                                                      << " $41,25 " << int(O::Right) << "";
    QTest::newRow("a loss either way") << "straddle-2"
                                       << "-14" << int(O::Right) << "";
    QTest::newRow("a profit's sign counts")
        << "strangle-2"
        << "7" << int(O::Wrong) << "the profit at 45.00 is -7.00, not 7.";
    QTest::newRow("no limit, said") << "naked-call-1"
                                    << "No" << int(O::Right) << "Right: the profit has no limit.";
    QTest::newRow("no limit, denied")
        << "naked-call-1"
        << "yes" << int(O::Wrong) << "Not right: the profit has no limit.";
    QTest::newRow("a word for a number") << "straddle-1"
                                         << "forty" << int(O::Unreadable) << "Type a number";
    QTest::newRow("nothing") << "straddle-1"
                             << "" << int(O::Unreadable) << "";
    QTest::newRow("beyond a double") << "straddle-1"
                                     << "1e999" << int(O::Unreadable) << "";
    QTest::newRow("not a number") << "straddle-1"
                                  << "nan" << int(O::Unreadable) << "";
    QTest::newRow("a number for yes or no") << "strap-2"
                                            << "1" << int(O::Unreadable) << "yes or no";
}

void TestWorkbenchLink::an_answer_within_a_cent_is_right() {
    QFETCH(QString, exercise);
    QFETCH(QString, typed);
    QFETCH(int, outcome);
    QFETCH(QString, message);
    const workbench::exercises::Exercise* e = workbench::exercises::find(exercise);
    QVERIFY(e);
    const workbench::exercises::Verdict verdict = workbench::exercises::check(*e, typed);
    QCOMPARE(int(verdict.outcome), outcome);
    QVERIFY2(verdict.message.contains(message), qPrintable(verdict.message));
}

QTEST_GUILESS_MAIN(TestWorkbenchLink)
#include "test_workbench_link.moc"
