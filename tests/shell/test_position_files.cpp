// Positions kept in files, through the File menu as a student uses it:
// saving and opening, what cannot be opened, what cannot be saved, undoing an
// opening; and the limits that make what is saved readable again, which
// pastes and typing keep too.
#include "ShellHarness.h"
#include "workbench/model/PositionColumns.h"

#include <QFile>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QUndoStack>
#include <QWindow>

#include <csignal>

#include <sched.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>

namespace {

// Stands for a named pipe in a row of files.
const char kPipe[] = "a named pipe";

// A position file as the program writes it, with `from` replaced by `to`.
QByteArray saved(const char* from, const char* to) {
    return QByteArray(R"({"format":"wqz-position","version":1,)"
                      R"("rows":[{"callQty":"1","callPrice":"10.50","strike":"50","putQty":"0",)"
                      R"("putPrice":"3.50"}],"underlyingQty":"0",)"
                      R"("range":{"top":"54","bottom":"-5","from":"1","to":"100"},)"
                      R"("diagram":"profit","curveColor":"#ffff00",)"
                      R"("beforeExpiry":{"daysToExpiry":30,"daysLeft":0,"ratePercent":5,)"
                      R"("volatility":"implied","volatilityPercent":30}})")
        .replace(from, to);
}

// What the workbench shows beside its grid: the boxes, the diagram, the
// colour, the inputs before expiry and the window's title.
QStringList shownAround(const Shell& s) {
    const workbench::wqzOptionPayoffs& bench = *s.window->workbench();
    QStringList out;
    for (int i = 0; i < 4; ++i) {
        out << s.child<QLineEdit>(qPrintable(QStringLiteral("Text1(%1)").arg(i)))->text();
    }
    const workbench::beforeexpiry::Inputs in = bench.beforeExpiry();
    out << QString::number(s.child<QRadioButton>("plotType(1)")->isChecked())
        << QString::number(bench.plotColor(), 16) << QString::number(in.daysToday)
        << QString::number(in.daysLeft) << s.window->windowHandle()->title();
    return out;
}

// Clicks a cell of the position grid in the window on screen, as a student
// does before typing into it; the grid.
platform::FlexGrid* clickPositionCell(const Shell& s, int row, int col) {
    auto* grid = s.window->workbench()->findChild<platform::FlexGrid*>(QStringLiteral("Grid1"));
    s.window->show();
    QApplication::setActiveWindow(s.window.get());
    if (QTest::qWaitForWindowActive(s.window.get())) {
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                          grid->visualRect(grid->model()->index(row, col)).center());
    }
    return grid;
}

void pressInWindow(const Shell& s, Qt::Key key, Qt::KeyboardModifiers modifiers = {}) {
    QApplication::setActiveWindow(s.window.get());
    QVERIFY(QTest::qWaitForWindowActive(s.window.get()));
    QWidget* focused = QApplication::focusWidget();
    QTest::keyClick(focused ? focused : s.window.get(), key, modifiers);
}

} // namespace

class TestPositionFiles : public QObject {
    Q_OBJECT
private slots:
    void a_position_saved_and_opened_comes_back_and_undoes();
    void a_file_that_cannot_be_opened_changes_nothing_data();
    void a_file_that_cannot_be_opened_changes_nothing();
    void an_opened_position_keeps_its_range_and_one_undo_gives_back_all_it_changed();
    void a_save_that_fails_half_way_leaves_the_old_file_whole();
    void a_position_that_could_not_be_read_back_is_not_saved();
    void a_full_disk_is_named_and_the_old_file_kept();
    void a_table_the_grid_cannot_hold_is_not_pasted_data();
    void a_table_the_grid_cannot_hold_is_not_pasted();
    void a_cell_takes_no_more_than_a_file_keeps_data();
    void a_cell_takes_no_more_than_a_file_keeps();
    void opening_large_tables_in_turn_keeps_the_history_bounded();
};

void TestPositionFiles::a_position_saved_and_opened_comes_back_and_undoes() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("straddle.wqzpos"));
    Shell s;
    s.window->Form_Load();
    s.window->show();
    QApplication::setActiveWindow(s.window.get());
    QVERIFY(QTest::qWaitForWindowActive(s.window.get()));
    const QStringList start = positionTexts(s);
    QTest::mouseClick(s.child<QComboBox>("cmbStandard"), Qt::LeftButton);
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("Straddle"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    const QStringList straddle = positionTexts(s);
    QVERIFY(straddle != start);
    s.fake.dialogs.scriptSaveName(path);
    s.action("mnuSavePositionAs")->trigger();
    QCOMPARE(s.window->windowHandle()->title(),
             QStringLiteral("straddle.wqzpos - WQZ Option Payoffs Tutorial"));
    QTest::mouseClick(s.child<QPushButton>("cmdRestart"), Qt::LeftButton);
    s.fake.dialogs.script(platform::Dialogs::answerDiscard); // the restart is not kept
    s.fake.dialogs.scriptOpenName(path);
    s.action("mnuOpenPosition")->trigger();
    QCOMPARE(positionTexts(s), straddle);
    // Ctrl+Z from wherever the focus is takes the opened file back.
    s.fake.dialogs.script(platform::Dialogs::answerNo);
    QApplication::setActiveWindow(s.window.get());
    QVERIFY(QTest::qWaitForWindowActive(s.window.get()));
    QWidget* keys = QApplication::focusWidget();
    QTest::keyClick(keys ? keys : s.window.get(), Qt::Key_Z, Qt::ControlModifier);
    QVERIFY(positionTexts(s) != straddle);
    QCOMPARE(s.fake.dialogs.pendingAnswers(), 1); // nothing to plot: no question asked
}

void TestPositionFiles::a_file_that_cannot_be_opened_changes_nothing_data() {
    QTest::addColumn<QByteArray>("content"); // no file at all when null
    QTest::addColumn<QString>("told");
    QTest::newRow("missing") << QByteArray() << ": There is no such file.";
    QTest::newRow("a picture") << QByteArray("\x89PNG\r\n")
                               << ": The file is not a saved position.";
    QTest::newRow("malformed") << QByteArray("{\"format\": \"wqz-position\", ")
                               << "not a saved position";
    QTest::newRow("newer") << QByteArray("{\"format\": \"wqz-position\", \"version\": 9}")
                           << "newer version of the program";
    QTest::newRow("over the limit") << QByteArray(12 * 1024 * 1024 + 1, ' ') << "larger than 12 MB";
    QTest::newRow("a named pipe") << QByteArray(kPipe) << ": It is a named pipe, not a file.";
    QTest::newRow("a range beyond the workbench's numbers")
        << saved(R"("top":"54")", R"("top":"1e39")")
        << "The range: \"top\" holds 1e39, a number too large";
    QTest::newRow("a quantity beyond the workbench's numbers")
        << saved(R"("callQty":"1")", R"("callQty":"1e39")")
        << "Row 1: \"callQty\" holds 1e39, a number too large";
    QTest::newRow("a colour that is not # and six digits")
        << saved("#ffff00", "#0xffff") << "\"curveColor\"";
    QTest::newRow("days with a fraction") << saved(R"("daysToExpiry":30)", R"("daysToExpiry":30.7)")
                                          << "\"daysToExpiry\" is not a whole number";
}

void TestPositionFiles::a_file_that_cannot_be_opened_changes_nothing() {
    QFETCH(QByteArray, content);
    QFETCH(QString, told);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bad.wqzpos"));
    if (content == kPipe) {
        // Nobody writes to it: reading it would wait for good.
        QCOMPARE(mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    } else if (!content.isNull()) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
    }
    Shell s;
    s.window->Form_Load();
    const QStringList before = positionTexts(s);
    s.fake.dialogs.scriptOpenName(path);
    s.fake.dialogs.script(platform::Dialogs::answerOk);
    s.action("mnuOpenPosition")->trigger();
    QCOMPARE(s.fake.dialogs.shown().size(), 1);
    QVERIFY2(
        s.fake.dialogs.shown()[0].text.startsWith(QStringLiteral("bad.wqzpos cannot be opened")) &&
            s.fake.dialogs.shown()[0].text.contains(told),
        qPrintable(s.fake.dialogs.shown()[0].text));
    QCOMPARE(positionTexts(s), before);
    QCOMPARE(s.window->windowTitle(), QStringLiteral("WQZ Option Payoffs Tutorial"));
    QVERIFY(!s.window->workbench()->undoStack().canUndo());
}

void TestPositionFiles::a_save_that_fails_half_way_leaves_the_old_file_whole() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("kept.wqzpos"));
    {
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("the old position");
    }
    Shell s;
    s.window->Form_Load();
    s.fake.dialogs.script(platform::Dialogs::answerOk);
    // Files may grow to 64 bytes only, so the position's text stops part way
    // (the write fails rather than the process stopping).
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit{};
    getrlimit(RLIMIT_FSIZE, &limit);
    const rlimit before = limit;
    limit.rlim_cur = 64;
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &limit), 0);
    const bool saved = s.window->savePosition(path);
    setrlimit(RLIMIT_FSIZE, &before);
    QVERIFY(!saved);
    QFile old(path);
    QVERIFY(old.open(QIODevice::ReadOnly));
    QCOMPARE(old.readAll(), QByteArray("the old position"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("kept.wqzpos")});
    QVERIFY(s.fake.dialogs.shown().value(0).text.startsWith(
        QStringLiteral("The position could not be saved as kept.wqzpos")));
}

void TestPositionFiles::
    an_opened_position_keeps_its_range_and_one_undo_gives_back_all_it_changed() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("narrow.wqzpos"));
    {
        // A call whose profit runs far past the range it was saved with.
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(saved(R"("top":"54","bottom":"-5")", R"("top":"5","bottom":"-5")")
                       .replace("#ffff00", "#0000ff")
                       .replace(R"("daysToExpiry":30,"daysLeft":0)",
                                R"("daysToExpiry":60,"daysLeft":10)"));
    }
    Shell s;
    s.window->Form_Load();
    s.window->show();
    const QStringList before = shownAround(s);
    const QStringList grid = positionTexts(s);
    s.fake.dialogs.scriptOpenName(path);
    s.action("mnuOpenPosition")->trigger(); // no question: an unscripted box fails the test
    const QStringList opened = shownAround(s);
    QCOMPARE(opened, (QStringList{"5", "-5", "1", "100", "1", "ff", "60", "10",
                                  "narrow.wqzpos - WQZ Option Payoffs Tutorial"}));
    pressInWindow(s, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(shownAround(s), before);
    QCOMPARE(positionTexts(s), grid);
    pressInWindow(s, Qt::Key_Y, Qt::ControlModifier);
    QCOMPARE(shownAround(s), opened);
}

void TestPositionFiles::a_position_that_could_not_be_read_back_is_not_saved() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("huge.wqzpos"));
    Shell s;
    s.window->Form_Load();
    // The grid takes whatever is typed; Plot would say it is too large.
    platform::FlexGrid* grid = clickPositionCell(s, 1, 0);
    s.fake.dialogs.script(platform::Dialogs::answerOk); // the read's Overflow
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("1e39"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QCOMPARE(grid->TextMatrix(1, 0), QStringLiteral("1e39"));
    s.fake.dialogs.scriptSaveName(path);
    s.fake.dialogs.script(platform::Dialogs::answerOk);
    s.action("mnuSavePositionAs")->trigger();
    QCOMPARE(s.fake.dialogs.shown().size(), 2);
    QCOMPARE(s.fake.dialogs.shown()[1].text,
             QStringLiteral("The position could not be saved as huge.wqzpos: Row 1: \"callQty\" "
                            "holds 1e39, a number too large for the workbench. Nothing was "
                            "written."));
    QVERIFY(!QFile::exists(path));
    QCOMPARE(s.window->windowTitle(), QStringLiteral("WQZ Option Payoffs Tutorial"));
}

void TestPositionFiles::a_full_disk_is_named_and_the_old_file_kept() {
    // A disk of 64 KB of this process's own, nearly full, gone when it ends.
    QTemporaryDir dir;
    if (unshare(CLONE_NEWNS) != 0 ||
        mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
        mount("tmpfs", QFile::encodeName(dir.path()).constData(), "tmpfs", 0, "size=64k") != 0) {
        QSKIP("a disk of its own needs the right to mount one");
    }
    const QString path = dir.filePath(QStringLiteral("kept.wqzpos"));
    {
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("the old position");
        QVERIFY(old.flush());
        QFile filler(dir.filePath(QStringLiteral("filler")));
        QVERIFY(filler.open(QIODevice::WriteOnly));
        while (filler.write(QByteArray(1024, 'x')) == 1024 && filler.flush()) {
        }
    }
    Shell s;
    s.window->Form_Load();
    s.fake.dialogs.scriptSaveName(path);
    s.fake.dialogs.script(platform::Dialogs::answerOk);
    s.action("mnuSavePositionAs")->trigger();
    QCOMPARE(s.fake.dialogs.shown().size(), 1);
    QCOMPARE(s.fake.dialogs.shown()[0].text,
             QStringLiteral("The position could not be saved as kept.wqzpos: No space left on "
                            "device. kept.wqzpos is kept as it was."));
    QFile old(path);
    QVERIFY(old.open(QIODevice::ReadOnly));
    QCOMPARE(old.readAll(), QByteArray("the old position"));
}

void TestPositionFiles::a_table_the_grid_cannot_hold_is_not_pasted_data() {
    QTest::addColumn<int>("lines");
    QTest::addColumn<int>("quoteLength");
    QTest::addColumn<QString>("told");
    QTest::newRow("one line more than the grid takes")
        << 5001 << 4 << "The table has 5001 lines of quotes; the grid takes at most 5000.";
    QTest::newRow("past a 16-bit count")
        << 32768 << 4 << "The table has 32768 lines of quotes; the grid takes at most 5000.";
    QTest::newRow("a quote longer than a cell keeps")
        << 3 << 65 << "The table holds a quote of more than 64 characters";
}

void TestPositionFiles::a_table_the_grid_cannot_hold_is_not_pasted() {
    QFETCH(int, lines);
    QFETCH(int, quoteLength);
    QFETCH(QString, told);
    Shell s;
    s.window->Form_Load();
    const QStringList before = positionTexts(s);
    const QString premium = QStringLiteral("1.25").leftJustified(quoteLength, u'0');
    QString table;
    for (int i = 0; i < lines; ++i) {
        table += premium + QStringLiteral("\t%1\t0.5\n").arg(10 + i);
    }
    s.clipboard.putText(table);
    s.fake.dialogs.script(platform::Dialogs::answerOk);
    s.action("mnuPasteOpData")->trigger();
    QCOMPARE(s.fake.dialogs.shown().size(), 1);
    QVERIFY2(s.fake.dialogs.shown()[0].text.startsWith(told),
             qPrintable(s.fake.dialogs.shown()[0].text));
    QCOMPARE(positionTexts(s), before);
}

void TestPositionFiles::a_cell_takes_no_more_than_a_file_keeps_data() {
    QTest::addColumn<bool>("pasted");
    QTest::addColumn<int>("length");
    QTest::addColumn<QString>("kept"); // the cell's text afterwards; "typed" for its first 64
    QTest::newRow("a line of 10 MB pasted") << true << 10 * 1024 * 1024 << "1";
    QTest::newRow("65 characters pasted") << true << 65 << "1";
    QTest::newRow("70 characters typed") << false << 70 << "typed";
}

void TestPositionFiles::a_cell_takes_no_more_than_a_file_keeps() {
    QFETCH(bool, pasted);
    QFETCH(int, length);
    QFETCH(QString, kept);
    Shell s;
    s.window->Form_Load();
    platform::FlexGrid* grid = clickPositionCell(s, 3, 0); // the Naked Call's quantity: "1"
    const QString text(length, u'7');
    if (pasted) {
        s.clipboard.putText(text);
        s.fake.dialogs.script(platform::Dialogs::answerOk);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(s.fake.dialogs.shown().size(), 1);
        QVERIFY(s.fake.dialogs.shown()[0].text.startsWith(
            QStringLiteral("A cell holds at most 64 characters")));
    } else {
        QTest::keyClicks(QApplication::focusWidget(), text);
    }
    QCOMPARE(grid->TextMatrix(3, 0), kept == u"typed" ? text.left(64) : kept);
}

void TestPositionFiles::opening_large_tables_in_turn_keeps_the_history_bounded() {
    // Two files of the most rows the grid holds, opened one after the other
    // as a student flicks between them: each opening is a step that holds
    // both whole tables.
    QTemporaryDir dir;
    QStringList paths;
    for (const char* put : {"1.50", "2.50"}) {
        QByteArray rows;
        for (int r = 0; r < workbench::columns::mostRows; ++r) {
            rows +=
                (r ? "," : "") + QStringLiteral(R"({"callQty":"1","callPrice":"10.50",)"
                                                R"("strike":"%1","putQty":"0","putPrice":"%2"})")
                                     .arg(40 + r % 20)
                                     .arg(QString::fromLatin1(put))
                                     .toUtf8();
        }
        paths << dir.filePath(QStringLiteral("table%1.wqzpos").arg(paths.size()));
        QFile file(paths.back());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(saved(R"("rows":[{"callQty":"1","callPrice":"10.50","strike":"50","putQty":"0",)"
                         R"("putPrice":"3.50"}])",
                         "\"rows\":[" + rows + "]"));
    }
    Shell s;
    s.window->Form_Load();
    constexpr int openings = 24;
    for (int i = 0; i < openings; ++i) {
        s.fake.dialogs.scriptOpenName(paths[i % 2]);
        s.action("mnuOpenPosition")->trigger();
        QCOMPARE(s.fake.dialogs.pendingAnswers(), 0);
    }
    QCOMPARE(s.window->workbench()->position().rowCount(), workbench::columns::mostRows);
    QUndoStack& undo = s.window->workbench()->undoStack();
    QVERIFY2(undo.count() < openings - 4, qPrintable(QString::number(undo.count())));
    QCOMPARE(undo.undoText(), QStringLiteral("Open"));
    QAction* undoItem = s.action("mnuUndo");
    while (undo.canUndo()) {
        undo.undo();
    }
    QVERIFY(!undoItem->isEnabled());
    QCOMPARE(undoItem->text(), QStringLiteral("&Undo (older steps are not kept)"));
}

QTEST_MAIN(TestPositionFiles)
#include "test_position_files.moc"
