// The program's own links from tutorial pages: what they may load or check,
// the addresses of that form that must be refused, and how an exercise's
// answer is judged.
#include "workbench/lessons/Exercises.h"
#include "workbench/model/WorkbenchLink.h"

#include <QTest>

using Market = workbench::links::Market;
Q_DECLARE_METATYPE(Market)

class TestWorkbenchLink : public QObject {
    Q_OBJECT
private slots:
    void a_link_loads_no_more_than_a_strategy_or_legs_data();
    void a_link_loads_no_more_than_a_strategy_or_legs();
    void a_link_sets_no_more_of_the_market_than_it_names_data();
    void a_link_sets_no_more_of_the_market_than_it_names();
    void a_link_holds_the_dates_to_the_days_in_force_data();
    void a_link_holds_the_dates_to_the_days_in_force();
    void a_link_brings_its_own_what_ifs_or_none_data();
    void a_link_brings_its_own_what_ifs_or_none();
    void a_page_asks_for_a_check_a_reveal_or_a_start_over_data();
    void a_page_asks_for_a_check_a_reveal_or_a_start_over();
    void an_answer_within_a_cent_is_right_data();
    void an_answer_within_a_cent_is_right();
    void a_wrong_answer_is_told_without_the_true_value_data();
    void a_wrong_answer_is_told_without_the_true_value();
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
    // 32 bits would hold it as 10000000: refused, not rounded in.
    QTest::newRow("a strike the workbench would round")
        << load + "rows=9999999.9999:1:1&position=c1:1&diagram=profit"
        << "is not a strike";
    QTest::newRow("too long") << load + "position=" + QString(workbench::links::longestLink, u'u') +
                                     "&diagram=profit"
                              << "too long";
}

void TestWorkbenchLink::a_link_loads_no_more_than_a_strategy_or_legs() {
    QFETCH(QString, link);
    QFETCH(QString, problem);
    const workbench::links::Reading reading = workbench::links::read(QUrl(link), 5);
    QCOMPARE(bool(reading.load) || bool(reading.check), problem.isEmpty());
    QVERIFY(!(reading.load && reading.check));
    QVERIFY2(reading.problem.contains(problem), qPrintable(reading.problem));
}

void TestWorkbenchLink::a_page_asks_for_a_check_a_reveal_or_a_start_over_data() {
    QTest::addColumn<QString>("link");
    QTest::addColumn<QString>("problem"); // empty when the link is followed
    QTest::addColumn<QString>("answer");  // what a check reads
    QTest::addColumn<bool>("reveal");
    QTest::addColumn<bool>("startOver");
    const QString check = QStringLiteral("wqz-workbench:check?");
    const auto refused = [](const char* name, const QString& link, const char* problem) {
        QTest::newRow(name) << link << QString::fromUtf8(problem) << QString() << false << false;
    };
    QTest::newRow("an answer") << check + "exercise=straddle-1&answer=36%2C5%20%26x"
                               << ""
                               << "36,5 &x" << false << false;
    // Which ids the tutorial has is the window's to say: a lesson's exercise
    // is unknown to this layer.
    QTest::newRow("any id of the form") << check + "exercise=time-value-9&answer=1"
                                        << ""
                                        << "1" << false << false;
    QTest::newRow("a reveal") << check + "exercise=straddle-1&reveal=1"
                              << ""
                              << "" << true << false;
    QTest::newRow("a start over") << "wqz-workbench:progress?clear=1"
                                  << ""
                                  << "" << false << true;
    refused("an id not of the form", check + "exercise=Straddle%201&answer=1", "no exercise");
    refused("script in an id", check + "exercise=x%3Cb%3E&answer=1", "no exercise");
    refused("an empty id", check + "exercise=&answer=1", "no exercise");
    refused("a longer id than any", check + "exercise=" + QString(41, u'x') + "&answer=1",
            "no exercise");
    refused("no answer", check + "exercise=straddle-1", "an exercise and an answer");
    refused("an answer and a load", check + "exercise=straddle-1&answer=1&strategy=Strip",
            "an exercise and an answer");
    refused("an answer and a reveal", check + "exercise=straddle-1&answer=1&reveal=1",
            "an exercise and an answer");
    refused("a reveal of another value", check + "exercise=straddle-1&reveal=yes", "reveal");
    refused("a long answer", check + "exercise=straddle-1&answer=" + QString(41, u'1'), "too long");
    refused("progress without clear", "wqz-workbench:progress?", "only clear");
    refused("progress set, not cleared", "wqz-workbench:progress?clear=0", "only clear");
    refused("a clear with more", "wqz-workbench:progress?clear=1&exercise=straddle-1",
            "only clear");
}

void TestWorkbenchLink::a_page_asks_for_a_check_a_reveal_or_a_start_over() {
    QFETCH(QString, link);
    QFETCH(QString, problem);
    QFETCH(QString, answer);
    QFETCH(bool, reveal);
    QFETCH(bool, startOver);
    const workbench::links::Reading reading = workbench::links::read(QUrl(link), 5);
    QVERIFY(!reading.load);
    QVERIFY2(reading.problem.contains(problem), qPrintable(reading.problem));
    QCOMPARE(reading.startOver, startOver);
    QCOMPARE(bool(reading.check), problem.isEmpty() && !startOver);
    if (reading.check) {
        QCOMPARE(reading.check->answer, answer);
        QCOMPARE(reading.check->reveal, reveal);
    }
}

void TestWorkbenchLink::a_link_sets_no_more_of_the_market_than_it_names_data() {
    QTest::addColumn<QString>("link");
    QTest::addColumn<Market>("market");
    QTest::addColumn<QString>("problem"); // empty when the link is followed
    const QString s = QStringLiteral("wqz-workbench:load?strategy=Straddle&diagram=profit&");
    const auto row = [](const char* name, const QString& link, Market m, const char* problem) {
        QTest::newRow(name) << link << m << QString::fromUtf8(problem);
    };
    row("a strategy alone", s.chopped(1), {}, "");
    row("a position alone", "wqz-workbench:load?position=c3:1&diagram=payoff", {}, "");
    row("each part",
        "wqz-workbench:load?position=c3:1&diagram=payoff&price=63.2&dividend=1.5&"
        "exercise=american&days=30&daysLeft=10&rate=5&volatility=30",
        {63.2f, 0.015, true, 30, 10, 0.05, false, 0.3, {}, {}, {}}, "");
    row("the lowest",
        s + "price=0.0001&dividend=0&exercise=european&days=1&daysLeft=0&rate=-10&"
            "volatility=1",
        {0.0001f, 0.0, false, 1, 0, -0.1, false, 0.01, {}, {}, {}}, "");
    row("the highest",
        s + "price=1000000&dividend=50&days=3650&daysLeft=3650&rate=50&"
            "volatility=500",
        {1e6f, 0.5, {}, 3650, 3650, 0.5, false, 5.0, {}, {}, {}}, "");
    row("days left alone", s + "daysLeft=3650&volatility=implied",
        {{}, {}, {}, {}, 3650, {}, true, {}, {}, {}, {}}, "");
    row("no price", s + "price=0", {}, "price \"0\" is not a price above 0 and up to 1000000");
    row("a price below 0", s + "price=-3", {}, "price \"-3\"");
    row("a price too high", s + "price=1000000.0001", {}, "price \"1000000.0001\"");
    row("five decimals", s + "price=1.00001", {}, "with at most four decimals");
    row("a dividend too high", s + "dividend=50.01", {}, "dividend \"50.01\" is not a percentage");
    row("a dividend below 0", s + "dividend=-0.01", {}, "from 0 to 50, with at most two decimals");
    row("an unknown exercise", s + "exercise=bermudan", {}, "\"american\" or \"european\"");
    row("no days", s + "days=0", {}, "days \"0\" is not a whole number of days from 1 to 3650");
    row("too many days", s + "days=3651", {}, "days \"3651\"");
    row("part of a day", s + "days=2.5", {}, "days \"2.5\"");
    row("days left beyond the days", s + "days=10&daysLeft=11", {}, "from 0 to 10");
    row("days left beyond any days", s + "daysLeft=3651", {}, "from 0 to 3650");
    row("a rate too low", s + "rate=-10.01", {}, "rate \"-10.01\"");
    row("too little volatility", s + "volatility=0.99", {}, "not \"implied\" or a percentage");
    row("an exponent", s + "price=1e5", {}, "price \"1e5\"");
    row("not a number", s + "rate=nan", {}, "rate \"nan\"");
    row("infinity", s + "volatility=%2Binf", {}, "volatility \"+inf\"");
    row("hexadecimal", s + "days=0x10", {}, "days \"0x10\"");
    row("nothing", s + "dividend=", {}, "dividend \"\"");
    // The more dates keep the panel's order, longest first, each once.
    Market dated;
    dated.daysToday = 30;
    dated.moreDaysLeft = std::vector{30, 20, 10, 1};
    dated.costPerOption = 0.65f;
    dated.costPerUnit = 0.0001f;
    row("dates and costs", s + "days=30&dates=10,30,20,10,1&costOption=0.65&costUnit=0.0001", dated,
        "");
    Market costly;
    costly.costPerOption = 10000;
    costly.costPerUnit = 0;
    row("the most a cost may be", s + "costOption=10000&costUnit=0", costly, "");
    const char* fourDates = "is not a list of at most 4 whole numbers of days from 1 to ";
    row("five dates", s + "dates=1,2,3,4,5", {}, fourDates);
    row("a date beyond the days", s + "days=10&dates=11", {}, "from 1 to 10");
    row("a date beyond any days", s + "dates=3651", {}, "from 1 to 3650");
    row("a date of expiry", s + "dates=0", {}, fourDates);
    row("an empty date", s + "dates=10,,5", {}, fourDates);
    row("no dates", s + "dates=", {}, fourDates);
    row("part of a day's date", s + "dates=2.5", {}, "dates \"2.5\"");
    row("a cost too high", s + "costOption=10000.01", {},
        "costOption \"10000.01\" is not a cost from 0 to 10000, with at most four decimals");
    row("a cost below 0", s + "costUnit=-0.01", {}, "costUnit \"-0.01\"");
    row("a cost in five decimals", s + "costUnit=0.00001", {}, "costUnit \"0.00001\"");
    // The what-ifs on volatility, within the panel's limits.
    Market whatIf;
    whatIf.daysToday = 30;
    whatIf.volatilityShift = -0.5;
    whatIf.eventDays = 30;
    whatIf.volatilityAfter = 0.2525;
    row("the least shift, an event on the last day",
        s + "days=30&volShift=-50&eventDays=30&volAfter=25.25", whatIf, "");
    row("a shift too high", s + "volShift=51", {},
        "volShift \"51\" is not a whole number of points from -50 to 50");
    row("part of a point", s + "volShift=2.5", {}, "volShift \"2.5\"");
    row("a shift with a plus", s + "volShift=%2B10", {}, "volShift \"+10\"");
    row("an event beyond the days", s + "days=10&eventDays=11", {}, "from 0 to 10");
    row("too little volatility after it", s + "volAfter=0.5", {},
        "volAfter \"0.5\" is not a percentage from 1 to 500");
}

void TestWorkbenchLink::a_link_sets_no_more_of_the_market_than_it_names() {
    QFETCH(QString, link);
    QFETCH(Market, market);
    QFETCH(QString, problem);
    const workbench::links::Reading reading = workbench::links::read(QUrl(link), 5);
    QCOMPARE(bool(reading.load), problem.isEmpty());
    QVERIFY2(reading.problem.contains(problem), qPrintable(reading.problem));
    QVERIFY(!reading.load || reading.load->market == market);
}

void TestWorkbenchLink::a_link_holds_the_dates_to_the_days_in_force_data() {
    QTest::addColumn<QString>("link");
    QTest::addColumn<int>("daysToday");
    QTest::addColumn<int>("daysLeft");
    QTest::addColumn<QList<int>>("dates");
    // The student had 30 days to expiry, the slider at 20 and dates 25 and 5.
    const QString s = QStringLiteral("wqz-workbench:load?strategy=Straddle&diagram=profit&");
    QTest::newRow("naming nothing") << s.chopped(1) << 30 << 20 << QList{25, 5};
    QTest::newRow("fewer days") << s + "days=10" << 10 << 10 << QList{5};
    QTest::newRow("dates of its own") << s + "dates=7" << 30 << 20 << QList{7};
    QTest::newRow("dates beyond the days in force") << s + "dates=40,12" << 30 << 20 << QList{12};
    QTest::newRow("days and dates")
        << s + "days=60&daysLeft=45&dates=40,12" << 60 << 45 << QList{40, 12};
}

void TestWorkbenchLink::a_link_brings_its_own_what_ifs_or_none_data() {
    QTest::addColumn<QString>("link");
    QTest::addColumn<int>("shift"); // in points
    QTest::addColumn<int>("eventDays");
    // The student had shifted volatility 10 points, with an event in 5 days.
    const QString s = QStringLiteral("wqz-workbench:load?strategy=Straddle&diagram=profit");
    QTest::newRow("naming none: none") << s << 0 << 0;
    QTest::newRow("a shift of its own") << s + "&volShift=-20" << -20 << 0;
    QTest::newRow("an event beyond the days is held to them")
        << s + "&days=10&eventDays=10" << 0 << 10;
}

void TestWorkbenchLink::a_link_brings_its_own_what_ifs_or_none() {
    QFETCH(QString, link);
    QFETCH(int, shift);
    QFETCH(int, eventDays);
    workbench::beforeexpiry::Inputs before;
    before.volatilityShift = 0.10;
    before.eventDays = 5;
    const workbench::links::Reading reading = workbench::links::read(QUrl(link), 5);
    QVERIFY2(reading.load, qPrintable(reading.problem));
    const workbench::beforeexpiry::Inputs after =
        workbench::links::inputsAfter(reading.load->market, before);
    QCOMPARE(std::lround(after.volatilityShift * 100), long(shift));
    QCOMPARE(after.eventDays, eventDays);
}

void TestWorkbenchLink::a_link_holds_the_dates_to_the_days_in_force() {
    QFETCH(QString, link);
    QFETCH(int, daysToday);
    QFETCH(int, daysLeft);
    QFETCH(QList<int>, dates);
    workbench::beforeexpiry::Inputs before;
    before.daysToday = 30;
    before.daysLeft = 20;
    before.moreDaysLeft = {25, 5};
    const workbench::links::Reading reading = workbench::links::read(QUrl(link), 5);
    QVERIFY2(reading.load, qPrintable(reading.problem));
    const workbench::beforeexpiry::Inputs after =
        workbench::links::inputsAfter(reading.load->market, before);
    QCOMPARE(after.daysToday, daysToday);
    QCOMPARE(after.daysLeft, daysLeft);
    QCOMPARE(QList<int>(after.moreDaysLeft.cbegin(), after.moreDaysLeft.cend()), dates);
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
        << "35.98" << int(O::Wrong) << "Not right: the lower break-even is not 35.98.";
    QTest::newRow("as typed with a sign and a comma") << "strip-1"
                                                      << " $41,25 " << int(O::Right) << "";
    QTest::newRow("a loss either way") << "straddle-2"
                                       << "-14" << int(O::Right) << "";
    QTest::newRow("a profit's sign counts")
        << "strangle-2"
        << "7" << int(O::Wrong) << "Not right: the profit at 45.00 is not 7.";
    QTest::newRow("no limit, said") << "naked-call-1"
                                    << "No" << int(O::Right) << "Right: the profit has no limit.";
    QTest::newRow("no limit, denied")
        << "naked-call-1"
        << "yes" << int(O::Wrong) << "Not right: think again whether the profit has a limit.";
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

void TestWorkbenchLink::a_wrong_answer_is_told_without_the_true_value_data() {
    QTest::addColumn<QString>("exercise");
    for (const workbench::exercises::Exercise& e : workbench::exercises::all()) {
        QTest::newRow(QString::fromUtf16(e.id).toLatin1().constData()) << QString::fromUtf16(e.id);
    }
}

// A student who guessed wrong gets a hint and the situation to work from;
// the value comes only on asking or after a second wrong answer, which the
// window decides. The hint's link loads what the exercise is judged on.
void TestWorkbenchLink::a_wrong_answer_is_told_without_the_true_value() {
    namespace exercises = workbench::exercises;
    QFETCH(QString, exercise);
    const exercises::Exercise& e = *exercises::find(exercise);
    const QString truth = exercises::trueAnswer(e);
    const bool number = truth != u"yes" && truth != u"no";
    // Far enough off to be wrong, in a form that names nothing true.
    const QString wrong = !number ? (truth == u"yes" ? QStringLiteral("no") : QStringLiteral("yes"))
                                  : QStringLiteral("123456");
    const exercises::Verdict verdict = exercises::check(e, wrong);
    QCOMPARE(int(verdict.outcome), int(exercises::Outcome::Wrong));
    QVERIFY2(verdict.message.startsWith(QStringLiteral("Not right: ")),
             qPrintable(verdict.message));
    if (number) {
        QVERIFY2(!verdict.message.contains(truth), qPrintable(verdict.message));
    }
    // Nor in the words a right answer hears: "the profit has no limit".
    const exercises::Verdict right = exercises::check(e, truth);
    if (right.outcome == exercises::Outcome::Right) {
        const QString fact = right.message.mid(QStringLiteral("Right: ").size()).chopped(1);
        QVERIFY2(!verdict.message.contains(fact), qPrintable(verdict.message));
    }
    const workbench::links::Reading tryIt = workbench::links::read(QUrl(exercises::tryIt(e)), 5);
    QVERIFY2(tryIt.load, qPrintable(tryIt.problem));
    QCOMPARE(tryIt.load->strategy, QString::fromUtf16(e.strategy));
    QCOMPARE(tryIt.load->diagram, workbench::payoff::profitDiagram);
}

QTEST_GUILESS_MAIN(TestWorkbenchLink)
#include "test_workbench_link.moc"
