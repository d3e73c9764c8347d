// Exercise packs: a pack reads back as it was written, a pack the program
// cannot honour is refused with words naming the question and the field,
// and each student's numbers are their own and always the same.
#include "SpreadPack.h"
#include "workbench/lessons/Packs.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>
#include <QTest>

namespace packs = workbench::packs;
namespace lessons = workbench::lessons;
using packs::Varied;

namespace {

packs::Question spreadQuestion(lessons::Asks asks = lessons::Asks::Delta) {
    packs::Question q = spreadpack::question(QStringLiteral("q1"), asks, 50);
    q.hint = QStringLiteral("Read the greeks line of the read-out.");
    q.vary[std::size_t(Varied::Price)] = packs::Range{40, 60};
    return q;
}

packs::Pack spreadPack() {
    packs::Pack pack = packs::newPack(QStringLiteral("Week 3: spreads"));
    pack.instructions = QStringLiteral("Answer each to the cent.\n\nGood luck.");
    pack.questions.push_back(spreadQuestion());
    packs::Question second = spreadQuestion(lessons::Asks::GreatestProfit);
    second.id = packs::nextQuestionId(pack);
    second.text = QStringLiteral("A spread \"bought\" for {less} than 3: = ~ # <b>");
    second.vary[std::size_t(Varied::Volatility)] = packs::Range{20, 40.5};
    second.vary[std::size_t(Varied::Days)] = packs::Range{15, 60};
    second.vary[std::size_t(Varied::Rate)] = packs::Range{1, 6.05};
    second.vary[std::size_t(Varied::StrikeShift)] = packs::Range{-5, 5};
    pack.questions.push_back(second);
    return pack;
}

// The pack's file with a field of its second question, or of the ranges it
// varies, replaced by `value`.
QByteArray withField(const QString& field, const QJsonValue& value) {
    QJsonObject pack = QJsonDocument::fromJson(packs::toJson(spreadPack())).object();
    QJsonArray questions = pack.value(QStringLiteral("questions")).toArray();
    QJsonObject q = questions[1].toObject();
    QJsonObject vary = q.value(QStringLiteral("vary")).toObject();
    (vary.contains(field) ? vary : q).insert(field, value);
    q.insert(QStringLiteral("vary"), vary);
    questions[1] = q;
    pack.insert(QStringLiteral("questions"), questions);
    return QJsonDocument(pack).toJson();
}

} // namespace

class TestPacks : public QObject {
    Q_OBJECT
private slots:
    void a_pack_reads_back_as_it_was_written();
    void a_pack_the_program_cannot_honour_is_refused_data();
    void a_pack_the_program_cannot_honour_is_refused();
    void each_student_gets_numbers_of_their_own();
    void the_numbers_are_in_the_situation_the_judge_values();
    void the_sample_pack_has_an_answer_for_every_student();
};

void TestPacks::a_pack_reads_back_as_it_was_written() {
    const packs::Pack pack = spreadPack();
    QCOMPARE(pack.id.size(), 32);
    QCOMPARE(pack.questions[1].id, QStringLiteral("q2"));
    const packs::Reading reading = packs::fromJson(packs::toJson(pack));
    QVERIFY2(reading.pack, qPrintable(reading.problem));
    QVERIFY(*reading.pack == pack);
}

void TestPacks::a_pack_the_program_cannot_honour_is_refused_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("words");
    const QByteArray good = packs::toJson(spreadPack());
    QTest::newRow("oversized") << good + QByteArray(packs::limits::largestFile, ' ')
                               << "larger than 1024 KB";
    QTest::newRow("not JSON") << QByteArray("{\"format\": \"wqz-exercise-pack\",") << "not an";
    QByteArray newer = good;
    newer.replace("\"formatVersion\": 1", "\"formatVersion\": 2");
    QTest::newRow("a newer version") << newer << "newer version of the program (pack format 2)";
    QTest::newRow("a volatility range below the least")
        << withField(QStringLiteral("volatility"), QJsonArray{0.5, 40})
        << "Question 2 (q2): the volatility range 0.5 to 40 reaches beyond 1 % to 500 %.";
    QTest::newRow("a range off its steps")
        << withField(QStringLiteral("rate"), QJsonArray{1, 6.07})
        << "Question 2 (q2): the rate range 1 to 6.07 has ends that are not whole steps";
    QTest::newRow("a range running backwards")
        << withField(QStringLiteral("days"), QJsonArray{60, 20})
        << "the days range 60 to 20 runs from";
    QTest::newRow("days fewer than the days left shown")
        << withField(QStringLiteral("days"), QJsonArray{10, 20})
        << "starts below the 15 days its situation shows";
    QTest::newRow("a strike shift taking a strike to 0")
        << withField(QStringLiteral("strikeShift"), QJsonArray{-45, 5})
        << "takes the strike 45 to 0 or below";
    QTest::newRow("a link that loads nothing")
        << withField(QStringLiteral("situation"),
                     QStringLiteral("wqz-workbench:check?exercise=straddle-1&answer=3"))
        << "Question 2 (q2): its situation loads nothing";
    QTest::newRow("a position with nothing held")
        << withField(
               QStringLiteral("situation"),
               QStringLiteral("wqz-workbench:load?rows=45:6.2:0.85&position=c1:0&diagram=profit"))
        << "holds no option and no underlying";
    QTest::newRow("a kind the judge does not answer")
        << withField(QStringLiteral("asks"), QStringLiteral("Rho")) << "\"Rho\"";
    QTest::newRow("no tolerance to speak of")
        << withField(QStringLiteral("tolerance"), 0) << "its tolerance 0";
    QByteArray twice = good;
    twice.replace("\"q2\"", "\"q1\"");
    QTest::newRow("two questions of one id") << twice << "an earlier question's too";
}

void TestPacks::a_pack_the_program_cannot_honour_is_refused() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, words);
    const packs::Reading reading = packs::fromJson(bytes);
    QVERIFY(!reading.pack);
    QVERIFY2(reading.problem.contains(words), qPrintable(reading.problem));
}

void TestPacks::each_student_gets_numbers_of_their_own() {
    const packs::Pack pack = spreadPack();
    const packs::Question& q = pack.questions[0];
    QSet<QString> situations;
    for (int i = 1; i <= 50; ++i) {
        const packs::Numbers n = packs::draw(pack, q, QStringLiteral("Student %1").arg(i));
        const double price = *n.drawn[std::size_t(Varied::Price)];
        QVERIFY(price >= 40 && price <= 60);
        QCOMPARE(std::round(price * 100) / 100, price);
        situations << packs::posed(q, n).link;
    }
    QVERIFY2(situations.size() >= 45, qPrintable(QString::number(situations.size())));
    // The same student, however the name is typed, and whatever the order of
    // the questions.
    const packs::Numbers ann = packs::draw(pack, q, QStringLiteral("Ann Lee"));
    QVERIFY(packs::draw(pack, q, QStringLiteral("  ann   LEE ")) == ann);
    packs::Pack reordered = pack;
    std::swap(reordered.questions[0], reordered.questions[1]);
    QVERIFY(packs::draw(reordered, reordered.questions[1], QStringLiteral("Ann Lee")) == ann);
    // Another pack, other numbers.
    const packs::Pack other = spreadPack();
    int same = 0;
    for (int i = 1; i <= 20; ++i) {
        const QString name = QStringLiteral("Student %1").arg(i);
        same += packs::draw(pack, q, name) == packs::draw(other, other.questions[0], name);
    }
    QVERIFY(same < 5);
}

void TestPacks::the_numbers_are_in_the_situation_the_judge_values() {
    const packs::Pack pack = spreadPack();
    packs::Question q = pack.questions[1];
    q.asks = lessons::Asks::ValueWithDaysLeft;
    q.atTodaysPrice = true;
    packs::Numbers n;
    n.drawn[std::size_t(Varied::Price)] = 52.35;
    n.drawn[std::size_t(Varied::Volatility)] = 27.5;
    n.drawn[std::size_t(Varied::Days)] = 41;
    n.drawn[std::size_t(Varied::Rate)] = 3.05;
    n.drawn[std::size_t(Varied::StrikeShift)] = 2.5;
    const lessons::Question posed = packs::posed(q, n);
    const lessons::Question byHand{
        QStringLiteral("wqz-workbench:load?rows=47.5:6.2:0.85;52.5:2.7:2.3;57.5:0.9:5.4"
                       "&position=c1:1,c2:-1&diagram=profit&price=52.35&days=41&rate=3.05"
                       "&dividend=0&exercise=european&volatility=27.5&daysLeft=15&dates=none"
                       "&range=35:65:-6:6"),
        lessons::Asks::ValueWithDaysLeft, 52.35, 0.01};
    QCOMPARE(posed.price, 52.35);
    const std::optional<double> truth = lessons::trueNumber(byHand);
    QVERIFY(truth);
    QCOMPARE(lessons::trueNumber(posed), truth);
    QCOMPARE(packs::numbersText(n),
             QStringLiteral("today's price 52.35, volatility 27.5 %, 41 days to expiry, interest "
                            "rate 3.05 %, every strike 2.5 higher"));
    QVERIFY2(packs::asked(q, n).startsWith(
                 QStringLiteral("Find the position's value at 52.35 with 15 days left")),
             qPrintable(packs::asked(q, n)));
}

void TestPacks::the_sample_pack_has_an_answer_for_every_student() {
    QFile file(QStringLiteral(WQZ_SAMPLE_PACK));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const packs::Reading reading = packs::fromJson(file.readAll());
    QVERIFY2(reading.pack, qPrintable(reading.problem));
    QVERIFY(!reading.pack->questions.empty());
    for (const packs::Question& q : reading.pack->questions) {
        for (int i = 1; i <= 10; ++i) {
            const QString student = QStringLiteral("Student %1").arg(i);
            const QString truth =
                lessons::trueAnswer(packs::posed(q, packs::draw(*reading.pack, q, student)));
            QVERIFY2(!truth.isEmpty(), qPrintable(q.id + u' ' + student));
        }
    }
}

QTEST_GUILESS_MAIN(TestPacks)
#include "test_packs.moc"
