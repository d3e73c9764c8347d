// The lessons' exercises: each answer its page gives is the program's own,
// and the judge takes what is within the tolerance the question states, and
// nothing further off, however it is typed.
#include "workbench/lessons/Lessons.h"
#include "workbench/model/WorkbenchLink.h"

#include <QSet>
#include <QTest>
#include <QUrl>

namespace lessons = workbench::lessons;
using Outcome = workbench::exercises::Outcome;

class TestLessons : public QObject {
    Q_OBJECT
private slots:
    void each_answer_is_the_models_and_judged_within_its_tolerance();
    void an_answer_is_read_as_students_type_it_data();
    void an_answer_is_read_as_students_type_it();
};

void TestLessons::each_answer_is_the_models_and_judged_within_its_tolerance() {
    QSet<QString> ids;
    QVERIFY(!lessons::all().empty());
    for (const lessons::Exercise& e : lessons::all()) {
        const QString id = QString::fromUtf16(e.id);
        QVERIFY2(!ids.contains(id), qPrintable(id));
        ids << id;
        QCOMPARE(lessons::find(id), &e);
        QVERIFY2(workbench::links::read(QUrl(QString::fromUtf16(e.link)), 5).load, qPrintable(id));
        QVERIFY2(e.tolerance > 0 && QString::fromUtf16(e.hint).size() > 10, qPrintable(id));

        const QString answer = QString::fromUtf16(e.answer);
        QCOMPARE(lessons::trueAnswer(e), answer);
        const double truth = answer.toDouble();
        const auto outcome = [&](double typed) {
            return lessons::check(e, QString::number(typed, 'f', 6)).outcome;
        };
        QCOMPARE(lessons::check(e, answer).outcome, Outcome::Right);
        for (const double off : {-0.9, 0.9}) {
            QVERIFY2(outcome(truth + off * e.tolerance) == Outcome::Right, qPrintable(id));
        }
        for (const double off : {-1.5, 1.5}) {
            const QString typed = QString::number(truth + off * e.tolerance, 'f', 6);
            const workbench::exercises::Verdict wrong = lessons::check(e, typed);
            QVERIFY2(wrong.outcome == Outcome::Wrong, qPrintable(id + u' ' + typed));
            // The true value waits for a second try.
            QVERIFY2(!wrong.message.contains(answer), qPrintable(wrong.message));
            QVERIFY2(wrong.message.startsWith(QStringLiteral("Not right.")),
                     qPrintable(wrong.message));
        }
        QCOMPARE(lessons::check(e, QStringLiteral("about a half")).outcome, Outcome::Unreadable);
    }
}

void TestLessons::an_answer_is_read_as_students_type_it_data() {
    QTest::addColumn<QString>("id");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("outcome");
    QTest::addColumn<QString>("message");
    const auto row = [](const char* name, const char* id, const char* typed, Outcome o,
                        const char* message) {
        QTest::newRow(name) << QString::fromUtf8(id) << QString::fromUtf8(typed) << int(o)
                            << QString::fromUtf8(message);
    };
    // greeks-1 is a delta of 0.92, time-value-2 a theta of -0.038,
    // volatility-1 an implied volatility of 67.1 %.
    row("a comma for the point", "greeks-1", " 0,92 ", Outcome::Right,
        "Right: the position's delta at 55.00 with 20 days left is 0.92.");
    row("a plus sign", "greeks-1", "+0.92", Outcome::Right, "");
    row("a theta's sign counts", "time-value-2", "0.038", Outcome::Wrong,
        "Not right. The question asks for the position's theta per day at 50.00 with 20 days "
        "left.");
    row("a percentage with its sign", "volatility-1", "67.1 %", Outcome::Right, " %.");
    row("a percentage without", "volatility-1", "67.1", Outcome::Right, "");
    row("a percentage as a fraction", "volatility-1", "0.671", Outcome::Wrong, "");
    row("a percent sign where none is asked", "greeks-1", "0.92%", Outcome::Unreadable,
        "Type a number");
    // A verdict names the what-ifs the link sets at its date: vega-1 values
    // the straddle 10 points higher, vega-5 once the event is past.
    row("a shift named", "vega-1", "5.88", Outcome::Right,
        "Right: the position's value at 55.00 with 20 days left and volatility 10 points "
        "higher is 5.88.");
    row("an event named", "vega-5", "0.062", Outcome::Wrong,
        "Not right. The question asks for the position's theta per day at 50.00 with 25 days "
        "left after the event.");
    // A calendar is read at its first expiry, its far call under the shift.
    row("a first expiry named", "calendar-3", "1.2", Outcome::Wrong,
        "Not right. The question asks for the profit at the first expiry at 50.00 and "
        "volatility 10 points higher.");
    row("a first expiry's extreme", "calendar-5", "3.19", Outcome::Right,
        "Right: the greatest profit at the first expiry is 3.19.");
    row("a word", "volatility-1", "high", Outcome::Unreadable, "Type a percentage");
    row("nothing", "greeks-1", "", Outcome::Unreadable, "");
    row("beyond a double", "greeks-1", "1e999", Outcome::Unreadable, "");
    row("too long", "greeks-1", "0.920000000000000000000000000000000000000001", Outcome::Unreadable,
        "");
}

void TestLessons::an_answer_is_read_as_students_type_it() {
    QFETCH(QString, id);
    QFETCH(QString, typed);
    QFETCH(int, outcome);
    QFETCH(QString, message);
    const lessons::Exercise* e = lessons::find(id);
    QVERIFY(e);
    const workbench::exercises::Verdict verdict = lessons::check(*e, typed);
    QVERIFY2(int(verdict.outcome) == outcome, qPrintable(verdict.message));
    QVERIFY2(verdict.message.contains(message), qPrintable(verdict.message));
}

QTEST_GUILESS_MAIN(TestLessons)
#include "test_lessons.moc"
