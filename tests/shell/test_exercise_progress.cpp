// The exercises' progress kept between runs: what the file may hold and what
// of it is read back, how answers move an exercise on, and the ids of both
// books as the page's links carry them. (A write that fails is told by the
// window: test_frmlumo.)
#include "shell/ExerciseProgress.h"
#include "workbench/lessons/ExerciseBooks.h"
#include "workbench/lessons/Lessons.h"
#include "workbench/model/WorkbenchLink.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using shell::ExerciseProgress;
using States = ExerciseProgress::States;
using Standing = ExerciseProgress::Standing;
Q_DECLARE_METATYPE(States)

namespace {

// An id of the strategy pages' book, whatever its exercises are.
QString knownId(int i = 0) {
    return QString::fromUtf16(workbench::exercises::all().at(i).id);
}

QByteArray file(const QString& entries) {
    return (QStringLiteral("{\"exercises\": {") + entries + QStringLiteral("}}")).toUtf8();
}

QString entry(const QString& id, const QString& value) {
    return QStringLiteral("\"%1\": %2").arg(id, value);
}

} // namespace

class TestExerciseProgress : public QObject {
    Q_OBJECT
private slots:
    void the_file_is_read_entry_by_entry_data();
    void the_file_is_read_entry_by_entry();
    void the_most_the_program_writes_reads_back_whole();
    void answers_move_an_exercise_on_data();
    void answers_move_an_exercise_on();
    void the_progress_survives_a_new_start_and_a_broken_file_does_not_stop_it_data();
    void the_progress_survives_a_new_start_and_a_broken_file_does_not_stop_it();
    void every_exercise_of_either_book_can_be_asked_by_its_pages_links();
};

void TestExerciseProgress::the_file_is_read_entry_by_entry_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<States>("states");
    const QString a = knownId(0);
    const QString b = knownId(1);
    const auto right = [](int wrong) { return ExerciseProgress::State{Standing::Right, wrong}; };
    const QString rightOnce = QStringLiteral("{\"state\": \"right\", \"wrongAnswers\": 1}");
    QTest::newRow("every standing")
        << file(entry(a, rightOnce) + u',' +
                entry(b, QStringLiteral("{\"state\": \"shown\", \"wrongAnswers\": 0}")))
        << States{{a, right(1)}, {b, {Standing::Shown, 0}}};
    QTest::newRow("tried") << file(entry(
                                  a, QStringLiteral("{\"state\": \"wrong\", \"wrongAnswers\": 3}")))
                           << States{{a, {Standing::Tried, 3}}};
    QTest::newRow("an id no longer known")
        << file(entry(QStringLiteral("gone-1"), rightOnce) + u',' + entry(a, rightOnce))
        << States{{a, right(1)}};
    QTest::newRow("broken") << file(entry(a, rightOnce)).chopped(1) << States{};
    QTest::newRow("empty") << QByteArray() << States{};
    QTest::newRow("not an object") << QByteArray("[1, 2]") << States{};
    QTest::newRow("exercises not an object") << QByteArray("{\"exercises\": [\"x\"]}") << States{};
    QTest::newRow("oversized, however well formed")
        << file(entry(a, rightOnce)) + QByteArray(ExerciseProgress::largestFile, ' ') << States{};
    // One entry of a wrong form is dropped; the rest stand.
    const auto dropped = [&](const char* name, const char* value) {
        QTest::newRow(name) << file(entry(a, QString::fromUtf8(value)) + u',' + entry(b, rightOnce))
                            << States{{b, right(1)}};
    };
    dropped("a state of another word", "{\"state\": \"perfect\", \"wrongAnswers\": 0}");
    dropped("a state as a number", "{\"state\": 1, \"wrongAnswers\": 0}");
    dropped("a count as text", "{\"state\": \"right\", \"wrongAnswers\": \"1\"}");
    dropped("a count with a fraction", "{\"state\": \"right\", \"wrongAnswers\": 1.5}");
    dropped("a count below 0", "{\"state\": \"right\", \"wrongAnswers\": -1}");
    dropped("a count beyond the most counted", "{\"state\": \"right\", \"wrongAnswers\": 1000}");
    dropped("tried without a wrong answer", "{\"state\": \"wrong\", \"wrongAnswers\": 0}");
    dropped("no count", "{\"state\": \"right\"}");
    dropped("more than a state", "{\"state\": \"right\", \"wrongAnswers\": 0, \"x\": 1}");
    dropped("an entry not an object", "\"right\"");
}

void TestExerciseProgress::the_file_is_read_entry_by_entry() {
    QFETCH(QByteArray, bytes);
    QFETCH(States, states);
    QCOMPARE(ExerciseProgress::fromJson(bytes, &workbench::exerciseBooks::known), states);
}

// What the program writes, its reader takes: every exercise of both books
// tried the most times counted stays far inside the size the reader reads.
void TestExerciseProgress::the_most_the_program_writes_reads_back_whole() {
    States most;
    for (const auto& e : workbench::exercises::all()) {
        most.insert(QString::fromUtf16(e.id),
                    {Standing::Tried, ExerciseProgress::mostWrongAnswers});
    }
    for (const auto& e : workbench::lessons::all()) {
        most.insert(QString::fromUtf16(e.id),
                    {Standing::Shown, ExerciseProgress::mostWrongAnswers});
    }
    const QByteArray bytes = ExerciseProgress::toJson(most);
    QVERIFY(bytes.size() * 4 < ExerciseProgress::largestFile);
    QCOMPARE(ExerciseProgress::fromJson(bytes, &workbench::exerciseBooks::known), most);
}

void TestExerciseProgress::answers_move_an_exercise_on_data() {
    QTest::addColumn<QString>("steps"); // r: right, w: wrong, s: shown on asking
    QTest::addColumn<int>("standing");
    QTest::addColumn<int>("wrong");
    QTest::newRow("right at once") << "r" << int(Standing::Right) << 0;
    QTest::newRow("wrong once") << "w" << int(Standing::Tried) << 1;
    QTest::newRow("right at the second try") << "wr" << int(Standing::Right) << 1;
    QTest::newRow("wrong twice shows it") << "ww" << int(Standing::Shown) << 2;
    QTest::newRow("asked for") << "ws" << int(Standing::Shown) << 1;
    QTest::newRow("right after it was shown") << "sr" << int(Standing::Shown) << 0;
    QTest::newRow("wrong after right is tried again") << "rw" << int(Standing::Tried) << 1;
    QTest::newRow("wrong twice after right shows it") << "rwws" << int(Standing::Shown) << 2;
    QTest::newRow("right again after a wrong one") << "rwr" << int(Standing::Right) << 1;
    QTest::newRow("counted up to the most")
        << QString(ExerciseProgress::mostWrongAnswers + 5, u'w') << int(Standing::Shown)
        << ExerciseProgress::mostWrongAnswers;
}

void TestExerciseProgress::answers_move_an_exercise_on() {
    QFETCH(QString, steps);
    QFETCH(int, standing);
    QFETCH(int, wrong);
    QTemporaryDir folder;
    ExerciseProgress progress(folder.filePath(QStringLiteral("progress.json")));
    const QString id = knownId();
    for (const QChar step : steps) {
        if (step == u's') {
            progress.shown(id);
        } else {
            progress.answered(id, step == u'r');
        }
    }
    QCOMPARE(int(progress.states().value(id).standing), standing);
    QCOMPARE(progress.states().value(id).wrongAnswers, wrong);
}

void TestExerciseProgress::
    the_progress_survives_a_new_start_and_a_broken_file_does_not_stop_it_data() {
    QTest::addColumn<QString>("damage"); // done to the file between the runs
    QTest::addColumn<bool>("kept");
    QTest::newRow("left alone") << "" << true;
    QTest::newRow("cut short") << "cut" << false;
    QTest::newRow("a folder in its place") << "folder" << false;
}

void TestExerciseProgress::the_progress_survives_a_new_start_and_a_broken_file_does_not_stop_it() {
    QFETCH(QString, damage);
    QFETCH(bool, kept);
    QTemporaryDir folder;
    // In a folder not made yet, as on a first run.
    const QString path = folder.filePath(QStringLiteral("wqz/progress.json"));
    {
        ExerciseProgress first(path);
        first.load(&workbench::exerciseBooks::known);
        first.answered(knownId(0), false);
        first.answered(knownId(1), true);
        QVERIFY(first.finishWriting(10000));
    }
    if (damage == u"cut") {
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadWrite));
        QVERIFY(f.resize(f.size() / 2));
    } else if (damage == u"folder") {
        QVERIFY(QFile::remove(path));
        QVERIFY(QDir().mkpath(path));
    }
    ExerciseProgress second(path);
    second.load(&workbench::exerciseBooks::known);
    QCOMPARE(second.states().size(), kept ? 2 : 0);
    if (kept) {
        QCOMPARE(second.states().value(knownId(0)), (ExerciseProgress::State{Standing::Tried, 1}));
        QCOMPARE(second.states().value(knownId(1)).standing, Standing::Right);
    } else if (damage != u"folder") {
        // The next answer writes it anew.
        second.answered(knownId(0), true);
        QVERIFY(second.finishWriting(10000));
        ExerciseProgress third(path);
        third.load(&workbench::exerciseBooks::known);
        QCOMPARE(third.states(), second.states());
    }
}

// The ids travel in the page's check links and the hints' links load the
// workbench, so each must pass the link reader that the window judges by.
void TestExerciseProgress::every_exercise_of_either_book_can_be_asked_by_its_pages_links() {
    QStringList ids;
    for (const auto& e : workbench::exercises::all()) {
        ids << QString::fromUtf16(e.id);
    }
    for (const auto& e : workbench::lessons::all()) {
        ids << QString::fromUtf16(e.id);
    }
    for (const QString& id : ids) {
        QVERIFY2(workbench::exerciseBooks::known(id), qPrintable(id));
        const workbench::links::Reading check = workbench::links::read(
            QUrl(QStringLiteral("wqz-workbench:check?exercise=%1&reveal=1").arg(id)), 5);
        QVERIFY2(check.check && check.check->exercise == id, qPrintable(id));
        const workbench::links::Reading tryIt =
            workbench::links::read(QUrl(workbench::exerciseBooks::tryIt(id)), 5);
        QVERIFY2(tryIt.load, qPrintable(id + u' ' + tryIt.problem));
        QVERIFY2(!workbench::exerciseBooks::hint(id).isEmpty(), qPrintable(id));
        QVERIFY2(!workbench::exerciseBooks::trueAnswer(id).isEmpty(), qPrintable(id));
    }
    QVERIFY(!workbench::exerciseBooks::known(QStringLiteral("gone-1")));
}

QTEST_GUILESS_MAIN(TestExerciseProgress)
#include "test_exercise_progress.moc"
