// A student's results as a CSV file: what is written reads back, whatever
// the answers hold; a file that is not whole or not results is refused; and
// a class's files gather into one table of one pack.
#include "workbench/lessons/PackResults.h"

#include <QTest>

namespace packs = workbench::packs;
namespace packresults = workbench::packresults;
using packresults::Row;

namespace {

packs::Pack pack(int revision = 3) {
    packs::Pack p;
    p.id = QStringLiteral("0123456789abcdef0123456789abcdef");
    p.revision = revision;
    p.title = QStringLiteral("Week 3: \"spreads\", calls");
    return p;
}

std::vector<Row> rows(const QString& answer) {
    return {{1, QStringLiteral("q1"), QStringLiteral("today's price 51.35, volatility 27.5 %"),
             answer, true, 2, false},
            {2, QStringLiteral("q3"), QString(), QString(), false, 0, false}};
}

QByteArray results(const QString& student, int revision, std::vector<Row> r) {
    return packresults::csv(pack(revision), student, r);
}

} // namespace

class TestPackResults : public QObject {
    Q_OBJECT
private slots:
    void results_read_back_as_they_were_written_data();
    void results_read_back_as_they_were_written();
    void a_file_that_is_not_whole_results_is_refused_data();
    void a_file_that_is_not_whole_results_is_refused();
    void a_class_gathers_into_one_table_of_one_pack();
};

void TestPackResults::results_read_back_as_they_were_written_data() {
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QString>("written"); // as the file holds it
    QTest::newRow("a number") << "0.53"
                              << ",0.53,";
    QTest::newRow("a negative number stays a number") << "-0.53"
                                                      << ",-0.53,";
    QTest::newRow("a comma") << "0,53"
                             << ",\"0,53\",";
    QTest::newRow("a quote") << "about \"3\""
                             << ",\"about \"\"3\"\"\",";
    QTest::newRow("a line break") << "3\n4"
                                  << ",\"3\n4\",";
    QTest::newRow("a formula") << "=HYPERLINK(\"x\")"
                               << ",\"'=HYPERLINK(\"\"x\"\")\",";
    QTest::newRow("a sum") << "-1+2"
                           << ",'-1+2,";
    QTest::newRow("a quoted formula") << "'@x"
                                      << ",''@x,";
    QTest::newRow("an apostrophe") << "'3"
                                   << ",'3,";
}

void TestPackResults::results_read_back_as_they_were_written() {
    QFETCH(QString, answer);
    QFETCH(QString, written);
    const QByteArray bytes = results(QStringLiteral("Ann Lee"), 3, rows(answer));
    QVERIFY2(bytes.contains(written.toUtf8()), bytes.constData());
    const packresults::ResultsReading reading = packresults::read(bytes);
    QVERIFY2(reading.results, qPrintable(reading.problem));
    const packresults::Results& r = *reading.results;
    QCOMPARE(
        (QStringList{r.packId, QString::number(r.revision), r.title, r.student}),
        (QStringList{pack().id, QStringLiteral("3"), pack().title, QStringLiteral("Ann Lee")}));
    QVERIFY(r.rows == rows(answer));
}

void TestPackResults::a_file_that_is_not_whole_results_is_refused_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("words");
    const QByteArray good = results(QStringLiteral("Ann Lee"), 3, rows(QStringLiteral("0.53")));
    QByteArray header = good;
    header.replace("answer given", "answer");
    QTest::newRow("a changed header") << header << "The second line is not the header";
    QTest::newRow("cut in a row") << good.left(good.size() - 5) << "Line 4 is cut short";
    QTest::newRow("cut after a row") << good.left(good.indexOf("2,q3")) << "holds 1 question of";
    QByteArray first = good;
    first.replace("for Ann", "by Ann");
    QTest::newRow("another first line") << first << "The first line does not name";
    QByteArray tries = good;
    tries.replace("yes,2,", "yes,two,");
    QTest::newRow("tries not counted") << tries << "Line 3 has no count of tries";
    QByteArray twice = good;
    twice.replace("2,q3", "2,q1");
    QTest::newRow("a question twice") << twice << "Line 4 repeats";
    QByteArray many = good;
    many.replace(": 2 questions", ": 61 questions");
    QTest::newRow("more than a pack holds") << many << "no pack has";
    QTest::newRow("too large") << good + QByteArray(packresults::largestResults, ' ')
                               << "larger than 256 KB";
}

void TestPackResults::a_file_that_is_not_whole_results_is_refused() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, words);
    const packresults::ResultsReading reading = packresults::read(bytes);
    QVERIFY(!reading.results);
    QVERIFY2(reading.problem.contains(words), qPrintable(reading.problem));
}

void TestPackResults::a_class_gathers_into_one_table_of_one_pack() {
    // Cy answers a question revision 3 no longer asks: it keeps a column.
    std::vector<Row> cy = rows(QStringLiteral("9"));
    cy[0].right = false;
    cy[1] = {2, QStringLiteral("q3"), QString(), QStringLiteral("1"), false, 1, true};
    cy.push_back({3, QStringLiteral("q2"), QString(), QStringLiteral("4"), true, 1, false});
    packs::Pack other = pack();
    other.id.replace(0, 4, QStringLiteral("ffff"));
    other.title = QStringLiteral("Week 4");
    const QString one = QStringLiteral("1");
    const packresults::Gathered g = packresults::gather({
        {QStringLiteral("bob.csv"), results(QStringLiteral("bob"), 2, rows(one))},
        {QStringLiteral("cy.csv"), results(QStringLiteral("Cy Ng"), 2, cy)},
        {QStringLiteral("bob-again.csv"), results(QStringLiteral("Bob"), 3, rows(one))},
        {QStringLiteral("week4.csv"), packresults::csv(other, QStringLiteral("Di"), rows(one))},
        {QStringLiteral("ann.csv"), results(QStringLiteral("Ann Lee"), 3, rows(one))},
        {QStringLiteral("ann-copy.csv"), results(QStringLiteral("ann lee"), 3, {})},
    });
    QCOMPARE(g.files, 3);
    QCOMPARE(g.csv,
             QByteArray("\xEF\xBB\xBF"
                        "\"Results of \"\"Week 3: \"\"spreads\"\", calls\"\" "
                        "(pack 0123456789abcdef0123456789abcdef, revision 3): 3 students\"\r\n"
                        "student,q1,q3,q2,right,revision\r\n"
                        "Ann Lee,right,,,1,3\r\n"
                        "Bob,right,,,1,3\r\n"
                        "Cy Ng,wrong (2 tries),shown,right,1,2\r\n"));
    const QStringList refused{
        QStringLiteral("bob.csv: bob's results of revision 2 give way to those of revision 3 in "
                       "bob-again.csv."),
        QStringLiteral("week4.csv: results of another pack, \"Week 4\", not of ") + u'"' +
            pack().title + QStringLiteral("\"."),
        QStringLiteral("ann-copy.csv: ann lee's results of revision 3 are in ann.csv already; "
                       "ann.csv is kept.")};
    QCOMPARE(g.refused, refused);
}

QTEST_APPLESS_MAIN(TestPackResults)
#include "test_pack_results.moc"
