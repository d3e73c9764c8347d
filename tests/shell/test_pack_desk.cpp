// Exercise packs through the File menu: a pack the program cannot honour is
// refused in words and nothing waits on it; a pack opened asks the name
// once and keeps it; answers are judged and kept per pack and student; and
// the instructor's exports carry the judge's numbers.
#include "ShellHarness.h"
#include "shell/PackDesk.h"
#include "workbench/lessons/PackResults.h"
#include "workbench/lessons/Packs.h"
#include "workbench/lessons/SpreadPack.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

#include <sys/stat.h>

namespace {

namespace packs = workbench::packs;
namespace lessons = workbench::lessons;

packs::Pack spreadPack() {
    packs::Pack pack = packs::newPack(QStringLiteral("Week 3: spreads"));
    packs::Question q =
        spreadpack::question(QStringLiteral("q1"), lessons::Asks::ValueWithDaysLeft);
    q.atTodaysPrice = true;
    q.hint = QStringLiteral("Read the dashed curve at today's price.");
    pack.questions.push_back(q);
    return pack;
}

QString written(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes) {
    QFile file(dir.filePath(name));
    if (file.open(QIODevice::WriteOnly)) {
        file.write(bytes);
    }
    return file.fileName();
}

} // namespace

class TestPackDesk : public QObject {
    Q_OBJECT
private slots:
    void a_pack_that_cannot_be_honoured_is_refused_in_words_data();
    void a_pack_that_cannot_be_honoured_is_refused_in_words();
    void answers_are_judged_on_the_students_numbers_and_gathered();
};

void TestPackDesk::a_pack_that_cannot_be_honoured_is_refused_in_words_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("told");
    const QByteArray good = packs::toJson(spreadPack());
    QTest::newRow("a named pipe") << QByteArray() << "named pipe";
    QTest::newRow("larger than a pack can be")
        << QByteArray(packs::limits::largestFile + 1, ' ') << "larger than 1024 KB";
    QByteArray newer = good;
    newer.replace("\"formatVersion\": 1", "\"formatVersion\": 7");
    QTest::newRow("a newer format") << newer << "pack format 7";
    QByteArray wide = good;
    wide.replace("45,", "-5,");
    QTest::newRow("a price range below 0") << wide << "Question 1 (q1): the price range -5 to 55";
    QByteArray nothing = good;
    nothing.replace("wqz-workbench:load?", "wqz-workbench:progress?clear=1&");
    QTest::newRow("a situation that loads nothing") << nothing << "its situation loads nothing";
}

void TestPackDesk::a_pack_that_cannot_be_honoured_is_refused_in_words() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, told);
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("bad.wqzpack"));
    if (bytes.isNull()) {
        // Nobody writes to it: a reader that opened it would wait for good.
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    } else {
        path = written(dir, QStringLiteral("bad.wqzpack"), bytes);
    }
    Shell s;
    s.window->Form_Load();
    s.fake.dialogs.script(platform::Dialogs::answerOk);
    s.window->openFromOutside(path);
    QCOMPARE(s.fake.dialogs.shown().size(), 1);
    const QString text = s.fake.dialogs.shown()[0].text;
    QVERIFY2(text.startsWith(QStringLiteral("bad.wqzpack cannot be opened as an exercise pack")) &&
                 text.contains(told),
             qPrintable(text));
    // Nothing asked, nothing shown.
    QVERIFY(s.fake.dialogs.questions().isEmpty());
    QVERIFY(!s.browser.navigations.contains(shell::PackDesk::pageAddress()));
}

void TestPackDesk::answers_are_judged_on_the_students_numbers_and_gathered() {
    QTemporaryDir dir;
    const packs::Pack pack = spreadPack();
    const QString path = written(dir, QStringLiteral("week3.wqzpack"), packs::toJson(pack));
    const packs::Question& q = pack.questions.front();
    QStringList students{QStringLiteral("Ann Lee"), QStringLiteral("Bo Chen")};
    for (const QString& student : students) {
        Shell s;
        s.window->Form_Load();
        // The name is asked once and kept: a second opening asks nothing.
        s.fake.dialogs.scriptText(QStringLiteral("  ") + student + QStringLiteral(" "));
        s.window->openFromOutside(path);
        QCOMPARE(s.fake.dialogs.questions().size(), 1);
        QCOMPARE(s.browser.navigations.last(), shell::PackDesk::pageAddress());
        s.browser.finish();
        const QString fill = s.browser.scripts.value(s.browser.scripts.size() - 2);
        QVERIFY2(fill.startsWith(QStringLiteral("window.wqzPack && wqzPack.show(")),
                 qPrintable(fill));
        const lessons::Question posed = packs::posed(q, packs::draw(pack, q, student));
        QVERIFY(fill.contains(packs::numbersText(packs::draw(pack, q, student))));
        // Answered as the page sends an answer: wrong, then right.
        const QString truth = lessons::trueAnswer(posed);
        const auto send = [&](const QString& typed) {
            s.browser.ProgramLink(QStringLiteral("wqz-workbench:check?exercise=pack-q1&answer=") +
                                  typed);
            return s.browser.scripts.last();
        };
        QVERIFY(send(QStringLiteral("0.00")).contains(QStringLiteral("\"wrong\"")));
        QVERIFY(send(truth).contains(QStringLiteral("\"Right: ")));
        s.fake.dialogs.scriptSaveName(dir.filePath(student.left(3) + QStringLiteral(".csv")));
        s.action("mnuExportResults")->trigger();
        s.window->openFromOutside(path);
        QCOMPARE(s.fake.dialogs.questions().size(), 1);
        QVERIFY(s.fake.dialogs.shown().isEmpty());
    }
    QVERIFY(packs::draw(pack, q, students[0]) != packs::draw(pack, q, students[1]));

    // The instructor gathers the folder into one table.
    Shell s;
    s.window->Form_Load();
    const QString table = dir.filePath(QStringLiteral("class.csv"));
    s.fake.dialogs.scriptFolderName(dir.path());
    s.fake.dialogs.scriptSaveName(table);
    s.fake.dialogs.script(platform::Dialogs::answerOk);
    s.action("mnuGatherResults")->trigger();
    QCOMPARE(s.fake.dialogs.shown().size(), 1);
    QVERIFY2(s.fake.dialogs.shown()[0].text.startsWith(
                 QStringLiteral("The table holds the results of 2 files.")),
             qPrintable(s.fake.dialogs.shown()[0].text));
    QFile file(table);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(file.readAll());
    for (const QString& student : students) {
        QVERIFY2(text.contains(QRegularExpression(QRegularExpression::escape(student) +
                                                  QStringLiteral(",right"))),
                 qPrintable(text));
    }
}

QTEST_MAIN(TestPackDesk)
#include "test_pack_desk.moc"
