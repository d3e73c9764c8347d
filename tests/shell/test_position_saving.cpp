// Saving as a desktop program does: Save to the position's own file, the
// title's mark of a change, and the question before a changed position that
// has a file is closed or replaced.
#include "ShellHarness.h"
#include "fakes/UserInput.h"

#include <QFile>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QUndoStack>
#include <QWindow>

class TestPositionSaving : public QObject {
    Q_OBJECT
private slots:
    void a_changed_position_that_has_a_file_is_saved_or_asked_about_data();
    void a_changed_position_that_has_a_file_is_saved_or_asked_about();
    void the_title_marks_whatever_a_save_would_write_differently_data();
    void the_title_marks_whatever_a_save_would_write_differently();
    void a_position_a_link_loads_is_tied_to_no_file_data();
    void a_position_a_link_loads_is_tied_to_no_file();
};

void TestPositionSaving::the_title_marks_whatever_a_save_would_write_differently_data() {
    QTest::addColumn<QString>("change");
    QTest::addColumn<bool>("marked");
    QTest::newRow("the profit diagram") << "profit" << true;
    QTest::newRow("days left before expiry") << "days" << true;
    QTest::newRow("Restart, undone") << "undone" << false;
}

void TestPositionSaving::the_title_marks_whatever_a_save_would_write_differently() {
    QFETCH(QString, change);
    QFETCH(bool, marked);
    QTemporaryDir dir;
    Shell s;
    s.window->Form_Load();
    s.window->show();
    QVERIFY(s.window->savePosition(dir.filePath(QStringLiteral("kept.wqzpos"))));
    workbench::wqzOptionPayoffs& bench = *s.window->workbench();
    if (change == u"profit") {
        s.fake.dialogs.script(platform::Dialogs::answerYes); // re-scale
        QTest::mouseClick(s.child<QRadioButton>("plotType(1)"), Qt::LeftButton);
    } else if (change == u"days") {
        workbench::beforeexpiry::Inputs inputs = bench.beforeExpiry();
        inputs.daysLeft = 10;
        bench.setBeforeExpiry(inputs);
    } else {
        QTest::mouseClick(s.child<QPushButton>("cmdRestart"), Qt::LeftButton);
        bench.undoStack().undo();
    }
    QCOMPARE(s.window->windowHandle()->title().startsWith(u"kept.wqzpos*"), marked);
}

void TestPositionSaving::a_changed_position_that_has_a_file_is_saved_or_asked_about_data() {
    QTest::addColumn<QString>("command"); // an action, "close" or "try" for a Try it link
    QTest::addColumn<int>("answer");      // to the question; 0: none asked
    QTest::addColumn<bool>("saveFails");  // the file's folder is gone
    QTest::addColumn<bool>("goesOn");
    const int save = platform::Dialogs::answerSave;
    const int cancel = platform::Dialogs::answerCancel;
    QTest::newRow("Save") << "mnuSavePosition" << 0 << false << true;
    QTest::newRow("Exit, Save") << "mnuFileExit" << save << false << true;
    QTest::newRow("Exit, Discard")
        << "mnuFileExit" << platform::Dialogs::answerDiscard << false << true;
    QTest::newRow("Exit, Cancel") << "mnuFileExit" << cancel << false << false;
    QTest::newRow("Exit, a save that fails") << "mnuFileExit" << save << true << false;
    QTest::newRow("closing, Cancel") << "close" << cancel << false << false;
    QTest::newRow("Open, Cancel") << "mnuOpenPosition" << cancel << false << false;
    QTest::newRow("Try it, Save") << "try" << save << false << true;
    QTest::newRow("Try it, Cancel") << "try" << cancel << false << false;
}

void TestPositionSaving::a_changed_position_that_has_a_file_is_saved_or_asked_about() {
    QFETCH(QString, command);
    QFETCH(int, answer);
    QFETCH(bool, saveFails);
    QFETCH(bool, goesOn);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("kept.wqzpos"));
    const auto content = [&path] {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    };
    Shell s;
    s.window->Form_Load();
    s.browser.navigate(QStringLiteral("http://www.quillmere.example/wqzmodhtm/wqzLumo/page21.htm"));
    s.browser.finish();
    s.window->show();
    QVERIFY(s.window->savePosition(path));
    QCOMPARE(s.window->windowHandle()->title(),
             QStringLiteral("kept.wqzpos - WQZ Option Payoffs Tutorial"));
    QTest::mouseClick(s.child<QPushButton>("cmdRestart"), Qt::LeftButton);
    QCOMPARE(s.window->windowHandle()->title(),
             QStringLiteral("kept.wqzpos* - WQZ Option Payoffs Tutorial"));
    const QByteArray saved = content();
    for (int a : {answer, saveFails ? platform::Dialogs::answerOk : 0}) {
        if (a != 0) {
            s.fake.dialogs.script(a);
        }
    }
    if (saveFails) {
        QVERIFY(dir.remove());
    }
    if (command == u"close") {
        s.window->close();
    } else if (command == u"try") {
        emit s.browser.ProgramLink(
            QStringLiteral("wqz-workbench:load?strategy=Strip&diagram=profit"));
    } else {
        s.action(qPrintable(command))->trigger(); // Open goes no further: no file is chosen
    }
    QCOMPARE(s.fake.dialogs.pendingAnswers(), 0);
    QCOMPARE(s.fake.dialogs.shown().value(0).buttons,
             answer ? platform::Dialogs::Buttons::SaveDiscardCancel : platform::Dialogs::Buttons{});
    const bool written = content() != saved && !content().isEmpty();
    QCOMPARE(written, !saveFails && (answer == 0 || answer == platform::Dialogs::answerSave));
    if (command == u"try") {
        QCOMPARE(s.child<QComboBox>("cmbStandard")->currentText() == u"Strip", goesOn);
    } else if (command == u"close" || command == u"mnuFileExit") {
        QCOMPARE(gEnded, goesOn);
    }
}

void TestPositionSaving::a_position_a_link_loads_is_tied_to_no_file_data() {
    QTest::addColumn<QString>("way"); // "try", "paste", or "strategy" chosen after a Try it
    QTest::addColumn<int>("answer");  // to the question before the link replaces the position
    QTest::newRow("Try it, Save") << "try" << platform::Dialogs::answerSave;
    QTest::newRow("Try it, Discard") << "try" << platform::Dialogs::answerDiscard;
    QTest::newRow("a pasted link, Save") << "paste" << platform::Dialogs::answerSave;
    QTest::newRow("a strategy after Try it") << "strategy" << platform::Dialogs::answerSave;
}

void TestPositionSaving::a_position_a_link_loads_is_tied_to_no_file() {
    QFETCH(QString, way);
    QFETCH(int, answer);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("kept.wqzpos"));
    const auto content = [&path] {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    };
    const QString title = QStringLiteral("WQZ Option Payoffs Tutorial");
    Shell s;
    s.window->Form_Load();
    s.browser.navigate(QStringLiteral("http://www.quillmere.example/wqzmodhtm/wqzLumo/page21.htm"));
    s.browser.finish();
    s.window->show();
    QApplication::setActiveWindow(s.window.get());
    QVERIFY(QTest::qWaitForWindowActive(s.window.get()));
    QVERIFY(s.window->savePosition(path));
    QTest::mouseClick(s.child<QPushButton>("cmdRestart"), Qt::LeftButton);
    s.fake.dialogs.script(answer);
    const QString link = QStringLiteral("wqz-workbench:load?strategy=Strip&diagram=profit");
    if (way == u"paste") {
        s.clipboard.setText(link);
        s.action("mnuPasteOpData")->trigger();
    } else {
        emit s.browser.ProgramLink(link);
    }
    QCOMPARE(s.fake.dialogs.pendingAnswers(), 0);
    QCOMPARE(s.window->windowHandle()->title(), title);
    const QByteArray kept = content();
    if (way == u"strategy") {
        QTest::mouseClick(s.child<QComboBox>("cmbStandard"), Qt::LeftButton);
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("Straddle"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QCOMPARE(s.child<QComboBox>("cmbStandard")->currentText(), QStringLiteral("Straddle"));
    }
    // Nothing offers to write the link's position into the file: the next
    // link asks nothing, and Ctrl+S asks for a name (here cancelled).
    const qsizetype asked = s.fake.dialogs.shown().size();
    emit s.browser.ProgramLink(
        QStringLiteral("wqz-workbench:load?strategy=Strangle&diagram=payoff"));
    QCOMPARE(s.fake.dialogs.shown().size(), asked);
    s.fake.dialogs.scriptSaveName(QString());
    userinput::clickIn(s.window.get(), s.child<QWidget>("pbox"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_S, Qt::ControlModifier);
    QCOMPARE(s.fake.dialogs.pendingAnswers(), 0);
    QCOMPARE(content(), kept);
    QCOMPARE(s.window->windowHandle()->title(), title);
    // Undoing the links gives back the student's position in their file.
    QUndoStack& undo = s.window->workbench()->undoStack();
    while (undo.undoText() != u"Restart") {
        QVERIFY(undo.canUndo());
        undo.undo();
    }
    QVERIFY(s.window->windowHandle()->title().startsWith(
        answer == platform::Dialogs::answerSave ? u"kept.wqzpos - " : u"kept.wqzpos* - "));
}

QTEST_MAIN(TestPositionSaving)
#include "test_position_saving.moc"
