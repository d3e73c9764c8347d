// What the program keeps between runs, as a student leaves it and finds it
// again: every setting changed the way the student changes it, the window
// closed and a new one opened on the same settings folder. A settings file
// that cannot be read gives what a first start gives, and File > Recent
// Positions lists what was opened and saved.
#include "ShellHarness.h"
#include "platform/Twips.h"
#include "shell/KeptSettings.h"
#include "workbench/control/ScenarioText.h"

#include "fakes/UserInput.h"

#include <QComboBox>
#include <QDir>
#include <QDockWidget>
#include <QDoubleSpinBox>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QRadioButton>
#include <QSpinBox>

#include <sys/stat.h>

namespace {

using userinput::clickIn;
using userinput::retypeBox;

bool startUp(Shell& s) {
    s.window->Form_Load();
    s.window->show();
    return QTest::qWaitForWindowExposed(s.window.get());
}

QStringList recentEntries(const Shell& s) {
    QStringList entries;
    for (QAction* a :
         s.window->findChild<QMenu*>(QStringLiteral("mnuRecentPositions"))->actions()) {
        entries << a->text() + (a->isEnabled() ? QString() : QStringLiteral(" (disabled)"));
    }
    return entries;
}

// What the student sees of each kept setting, one line each.
QStringList seen(const Shell& s) {
    const auto checked = [&s](const char* name) {
        return QString::fromLatin1(name) + (s.action(name)->isChecked() ? " on" : " off");
    };
    const auto text = [&s](const char* name) {
        return QString::fromLatin1(name) + u' ' +
               s.child<QWidget>(name)->property("text").toString();
    };
    const auto* exercise = s.child<QComboBox>("cmbExercise");
    return {checked("mnuOptionsLargeDisplay"),
            QStringLiteral("workbench %1 x %2")
                .arg(s.window->workbench()->width())
                .arg(s.window->workbench()->height()),
            checked("mnuShowMarkers"),
            checked("mnuShowProbability"),
            text("spnDaysToday"),
            text("spnDaysLeft"),
            text("txtMoreDates"),
            text("spnRate"),
            checked("mnuBeforeExpiry"),
            QStringLiteral("optSingle %1").arg(s.child<QRadioButton>("optSingle")->isChecked()),
            text("spnVolatility"),
            text("spnDividend"),
            QStringLiteral("cmbExercise ") + exercise->currentText(),
            checked("mnuScenarios"),
            recentEntries(s).join(u'|')};
}

// The folder the open dialog starts in; the student cancels it.
QString openDialogFolder(Shell& s) {
    s.fake.dialogs.scriptOpenName(QString());
    s.action("mnuOpenPosition")->trigger();
    return s.fake.dialogs.folders().isEmpty() ? QStringLiteral("(not asked)")
                                              : s.fake.dialogs.folders().constLast();
}

QString positionName(int n) {
    return QStringLiteral("p%1.wqzpos").arg(n);
}

} // namespace

class TestKeptSettings : public QObject {
    Q_OBJECT
private slots:
    void every_kept_setting_comes_back_in_a_new_window();
    void a_first_start_keeps_nothing_and_shows_the_built_window();
    void a_setting_that_cannot_be_read_gives_the_first_starts_data();
    void a_setting_that_cannot_be_read_gives_the_first_starts();
    void a_window_left_off_every_screen_opens_where_a_first_start_does();
    void recent_positions_are_the_last_eight_newest_first_data();
    void recent_positions_are_the_last_eight_newest_first();
    void a_recent_position_no_longer_there_is_dropped_with_a_message();
    void a_settings_file_that_is_no_file_is_set_aside_data();
    void a_settings_file_that_is_no_file_is_set_aside();
    void settings_are_never_written_through_to_what_is_no_file_data();
    void settings_are_never_written_through_to_what_is_no_file();
    void the_largest_settings_are_read_back_as_written();
};

void TestKeptSettings::every_kept_setting_comes_back_in_a_new_window() {
    QTemporaryDir config;
    QTemporaryDir files;
    QStringList first;
    QStringList left;
    QRect place;
    workbench::beforeexpiry::Inputs inputs;
    {
        Shell s({}, {}, config.path());
        QVERIFY(startUp(s));
        first = seen(s);
        QWidget* w = s.window.get();
        clickIn(w, s.child<QSpinBox>("spnDaysToday"));
        retypeBox(QStringLiteral("60"));
        clickIn(w, s.child<QSpinBox>("spnDaysLeft"));
        retypeBox(QStringLiteral("20"));
        clickIn(w, s.child<QLineEdit>("txtMoreDates"));
        retypeBox(QStringLiteral("40, 10"));
        clickIn(w, s.child<QDoubleSpinBox>("spnRate"));
        retypeBox(QStringLiteral("2.5"));
        clickIn(w, s.child<QDoubleSpinBox>("spnDividend"));
        retypeBox(QStringLiteral("1.25"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("cmbExercise"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
        clickIn(w, s.child<QRadioButton>("optSingle"));
        clickIn(w, s.child<QDoubleSpinBox>("spnVolatility"));
        retypeBox(QStringLiteral("45"));
        clickIn(w, s.child<QSpinBox>("spnVolatilityShift"));
        retypeBox(QStringLiteral("-15"));
        clickIn(w, s.child<QSpinBox>("spnEventDays"));
        retypeBox(QStringLiteral("7"));
        clickIn(w, s.child<QDoubleSpinBox>("spnVolatilityAfter"));
        retypeBox(QStringLiteral("22.5"));
        inputs = s.window->workbench()->beforeExpiry();
        s.action("mnuOptionsLargeDisplay")->trigger();
        s.action("mnuShowMarkers")->trigger();
        s.action("mnuShowProbability")->trigger();
        s.action("mnuScenarios")->trigger();
        QCoreApplication::processEvents();
        clickIn(w, s.child<QComboBox>("cmbScenarioColumns"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        s.action("mnuBeforeExpiry")->trigger();
        QCoreApplication::processEvents();
        s.window->resize(s.window->size() + QSize(40, 30));
        s.window->move(120, 90);
        s.fake.dialogs.scriptSaveName(files.filePath(positionName(1)));
        s.action("mnuSavePositionAs")->trigger();
        left = seen(s);
        place = QRect(s.window->pos(), s.window->size());
        s.window->close();
        QVERIFY(gEnded);
    }
    // Each line of what was left differs from a first start: every setting
    // was changed, so every one was kept.
    QCOMPARE(left.size(), first.size());
    for (qsizetype i = 0; i < left.size(); ++i) {
        QVERIFY2(left[i] != first[i], qPrintable(left[i]));
    }
    QCOMPARE(inputs.moreDaysLeft, (std::vector<int>{40, 10}));
    QCOMPARE(inputs.eventDays, 7);
    QCOMPARE(inputs.volatilityAfter, 0.225);
    Shell s({}, {}, config.path());
    QVERIFY(startUp(s));
    QCOMPARE(seen(s), left);
    QVERIFY(s.window->workbench()->beforeExpiry() == inputs);
    QVERIFY(!s.window->workbench()->beforeExpiryShown());
    QVERIFY(s.child<QDockWidget>("dockBeforeExpiry")->isHidden());
    QVERIFY(s.child<QDockWidget>("dockScenarios")->isVisible());
    QVERIFY(s.child<QLabel>("lblScenarios")->text() != workbench::scenariotext::kNoCurve);
    QCOMPARE(s.child<QComboBox>("cmbScenarioColumns")->currentIndex(), 1);
    QCOMPARE(QRect(s.window->pos(), s.window->size()), place);
    QCOMPARE(openDialogFolder(s), files.path());
    QCOMPARE(s.window->findChild<QAction*>(QStringLiteral("mnuRecentPosition(0)"))->toolTip(),
             files.filePath(positionName(1)));
}

void TestKeptSettings::a_first_start_keeps_nothing_and_shows_the_built_window() {
    QTemporaryDir config;
    Shell built({}, {}, config.path());
    const QSize size = built.window->size();
    QVERIFY(startUp(built));
    QCOMPARE(built.window->size(), size);
    QCOMPARE(seen(built),
             (QStringList{"mnuOptionsLargeDisplay off",
                          QStringLiteral("workbench %1 x %2")
                              .arg(built.window->workbench()->width())
                              .arg(built.window->workbench()->height()),
                          "mnuShowMarkers on", "mnuShowProbability off", "spnDaysToday 30",
                          "spnDaysLeft 0 (none)", "txtMoreDates ", "spnRate 5.00",
                          "mnuBeforeExpiry on", "optSingle 0", "spnVolatility 30.00",
                          "spnDividend 0.00", "cmbExercise European", "mnuScenarios off",
                          "No Recent Positions (disabled)"}));
    QCOMPARE(built.window->workbench()->width(),
             platform::twips::toPixels(workbench::wqzOptionPayoffs::designWidth));
    QCOMPARE(openDialogFolder(built), QString());
    // Nothing was changed, so nothing is written before the window closes.
    QVERIFY(!QFile::exists(shell::kept::filePath()));
}

void TestKeptSettings::a_setting_that_cannot_be_read_gives_the_first_starts_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::newRow("a window place of another kind") << QByteArray("[window]\ngeometry=12\n");
    QTest::newRow("panels the window did not save")
        << QByteArray("[window]\npanels=@ByteArray(not a layout)\n");
    QTest::newRow("a display neither normal nor large") << QByteArray("[window]\ndisplay=huge\n");
    QTest::newRow("a display given as a list") << QByteArray("[window]\ndisplay=large, normal\n");
    QTest::newRow("a column wider than the window") << QByteArray("[window]\ncolumnShare=1.5\n");
    QTest::newRow("a column share that is no number") << QByteArray("[window]\ncolumnShare=nan\n");
    QTest::newRow("a fraction of a twip below") << QByteArray("[window]\nroomBelow=10.5\n");
    QTest::newRow("markers neither true nor false") << QByteArray("[diagram]\nshowMarkers=0\n");
    QTest::newRow("probability as a number") << QByteArray("[diagram]\nshowProbability=1\n");
    QTest::newRow("days to expiry in words") << QByteArray("[beforeExpiry]\ndaysToExpiry=sixty\n");
    QTest::newRow("no days to expiry") << QByteArray("[beforeExpiry]\ndaysToExpiry=0\n");
    QTest::newRow("days to expiry past ten years")
        << QByteArray("[beforeExpiry]\ndaysToExpiry=3651\n");
    QTest::newRow("days left past expiry") << QByteArray("[beforeExpiry]\ndaysLeft=31\n");
    QTest::newRow("days left below none") << QByteArray("[beforeExpiry]\ndaysLeft=-1\n");
    QTest::newRow("a fraction of a day left") << QByteArray("[beforeExpiry]\ndaysLeft=10.5\n");
    QTest::newRow("a further date past expiry")
        << QByteArray("[beforeExpiry]\nmoreDaysLeft=\"10,31\"\n");
    QTest::newRow("five further dates")
        << QByteArray("[beforeExpiry]\nmoreDaysLeft=\"1,2,3,4,5\"\n");
    QTest::newRow("a rate past its range") << QByteArray("[beforeExpiry]\nratePercent=51\n");
    QTest::newRow("a rate that is no number") << QByteArray("[beforeExpiry]\nratePercent=nan\n");
    QTest::newRow("a volatility below one percent")
        << QByteArray("[beforeExpiry]\nvolatilityPercent=0.5\n");
    QTest::newRow("a volatility of an unknown kind")
        << QByteArray("[beforeExpiry]\nvolatility=historical\n");
    QTest::newRow("a negative dividend") << QByteArray("[beforeExpiry]\ndividendPercent=-0.25\n");
    QTest::newRow("an unknown exercise") << QByteArray("[beforeExpiry]\nexercise=bermudan\n");
    QTest::newRow("a folder named relative to nothing")
        << QByteArray("[files]\nfolder=positions\n");
    QTest::newRow("a folder gone") << QByteArray("[files]\nfolder=/no/such/folder/anywhere\n");
    QTest::newRow("a recent position named relative to nothing")
        << QByteArray("[recentPositions]\n1\\path=straddle.wqzpos\nsize=1\n");
    QTest::newRow("a recent position no file can be named")
        << QByteArray("[recentPositions]\n1\\path=/tmp/caf\\xddd9.wqzpos\nsize=1\n");
    // Bytes that begin with a NUL: the length is the array's, not up to it.
    static const char garbage[] = "\x00\xff[[[=\n=\x01\n[window\ndisplay";
    QTest::newRow("not a settings file at all") << QByteArray(garbage, sizeof garbage - 1);
}

void TestKeptSettings::a_setting_that_cannot_be_read_gives_the_first_starts() {
    QFETCH(QByteArray, file);
    QTemporaryDir config;
    Shell first({}, {}, config.path());
    QVERIFY(startUp(first));
    const QStringList expected = seen(first);
    const QRect place(first.window->pos(), first.window->size());
    const QString folder = openDialogFolder(first);
    first.window.reset();

    QTemporaryDir corrupt;
    qputenv("XDG_CONFIG_HOME", corrupt.path().toLocal8Bit());
    const QString path = shell::kept::filePath();
    QVERIFY(QDir().mkpath(QFileInfo(path).absolutePath()));
    QFile settings(path);
    QVERIFY(settings.open(QIODevice::WriteOnly));
    settings.write(file);
    settings.close();
    Shell s({}, {}, corrupt.path());
    QVERIFY(startUp(s));
    QCOMPARE(seen(s), expected);
    QCOMPARE(QRect(s.window->pos(), s.window->size()), place);
    QCOMPARE(openDialogFolder(s), folder);
}

void TestKeptSettings::a_window_left_off_every_screen_opens_where_a_first_start_does() {
    QTemporaryDir config;
    QRect firstPlace;
    {
        Shell s({}, {}, config.path());
        QVERIFY(startUp(s));
        firstPlace = QRect(s.window->pos(), s.window->size());
        // The screen it was on is gone: the window is far off those there are.
        s.window->resize(s.window->size() + QSize(60, 40));
        s.window->move(-6000, -5000);
        s.window->close();
    }
    Shell s({}, {}, config.path());
    QVERIFY(startUp(s));
    QCOMPARE(QRect(s.window->pos(), s.window->size()), firstPlace);
}

void TestKeptSettings::recent_positions_are_the_last_eight_newest_first_data() {
    // Steps: sN saves pN.wqzpos with Save Position As, oN opens it with Open
    // Position, rN chooses it from Recent Positions.
    QTest::addColumn<QString>("steps");
    QTest::addColumn<QList<int>>("listed");
    QTest::newRow("each position saved comes first") << "s1 s2 s3" << QList<int>{3, 2, 1};
    QTest::newRow("eight at most")
        << "s1 s2 s3 s4 s5 s6 s7 s8 s9 s10" << QList<int>{10, 9, 8, 7, 6, 5, 4, 3};
    QTest::newRow("one opened again comes first, once") << "s1 s2 s3 o1" << QList<int>{1, 3, 2};
    QTest::newRow("one chosen from the list comes first, once")
        << "s1 s2 s3 r2" << QList<int>{2, 3, 1};
    QTest::newRow("one saved again comes first, once") << "s1 s2 s1" << QList<int>{1, 2};
}

void TestKeptSettings::recent_positions_are_the_last_eight_newest_first() {
    QFETCH(QString, steps);
    QFETCH(QList<int>, listed);
    QTemporaryDir files;
    Shell s;
    for (const QString& step : steps.split(u' ')) {
        const QString path = files.filePath(positionName(step.mid(1).toInt()));
        if (step[0] == u's') {
            s.fake.dialogs.scriptSaveName(path);
            s.action("mnuSavePositionAs")->trigger();
        } else if (step[0] == u'o') {
            s.fake.dialogs.scriptOpenName(path);
            s.action("mnuOpenPosition")->trigger();
        } else {
            QAction* chosen = nullptr;
            for (QAction* a :
                 s.window->findChild<QMenu*>(QStringLiteral("mnuRecentPositions"))->actions()) {
                if (a->toolTip() == path) {
                    chosen = a;
                }
            }
            QVERIFY2(chosen, qPrintable(step));
            chosen->trigger();
        }
        QVERIFY2(s.window->windowTitle().startsWith(QFileInfo(path).fileName()),
                 qPrintable(s.window->windowTitle()));
    }
    QStringList expected;
    for (int i = 0; i < listed.size(); ++i) {
        expected << QStringLiteral("&%1 %2").arg(i + 1).arg(positionName(listed[i]));
        QCOMPARE(s.window->findChild<QAction*>(QStringLiteral("mnuRecentPosition(%1)").arg(i))
                     ->toolTip(),
                 files.filePath(positionName(listed[i])));
    }
    QCOMPARE(recentEntries(s), expected);
    QCOMPARE(s.fake.dialogs.shown().size(), 0);
}

void TestKeptSettings::a_recent_position_no_longer_there_is_dropped_with_a_message() {
    QTemporaryDir files;
    Shell s;
    for (int n : {1, 2}) {
        s.fake.dialogs.scriptSaveName(files.filePath(positionName(n)));
        s.action("mnuSavePositionAs")->trigger();
    }
    // A changed position is not offered for saving: a file gone replaces
    // nothing (an unscripted question fails the test).
    s.fake.dialogs.script(platform::Dialogs::answerNo); // no re-scaling
    s.action("mnuInvertPosition")->trigger();
    QVERIFY(s.window->isWindowModified());
    const QString title = s.window->windowTitle();
    for (int n : {1, 2}) {
        QVERIFY(QFile::remove(files.filePath(positionName(n))));
        // The one gone is the list's last entry.
        s.fake.dialogs.script(platform::Dialogs::answerOk);
        const int last = int(recentEntries(s).size()) - 1;
        s.window->findChild<QAction*>(QStringLiteral("mnuRecentPosition(%1)").arg(last))->trigger();
        QCOMPARE(s.fake.dialogs.shown().constLast().text,
                 QStringLiteral("%1 is no longer in %2, so it has been taken off the recent "
                                "positions.")
                     .arg(positionName(n), QDir::toNativeSeparators(files.path())));
        QCOMPARE(s.window->windowTitle(), title);
        QVERIFY(s.window->isWindowModified());
    }
    QCOMPARE(recentEntries(s), QStringList{"No Recent Positions (disabled)"});
    // A pipe in a position's place is said for what it is.
    const QString pipe = files.filePath(positionName(3));
    s.fake.dialogs.scriptSaveName(pipe);
    s.action("mnuSavePositionAs")->trigger();
    QVERIFY(QFile::remove(pipe));
    QCOMPARE(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    s.fake.dialogs.script(platform::Dialogs::answerOk);
    s.window->findChild<QAction*>(QStringLiteral("mnuRecentPosition(0)"))->trigger();
    QCOMPARE(s.fake.dialogs.shown().constLast().text,
             QStringLiteral("%1 cannot be opened: It is a named pipe, not a file. It has been "
                            "taken off the recent positions.")
                 .arg(pipe));
    QCOMPARE(recentEntries(s), QStringList{"No Recent Positions (disabled)"});
    // The list is kept as it now is, once the window's writes are done.
    s.window.reset();
    Shell again({}, {}, s.scratch.filePath(QStringLiteral("config")));
    QCOMPARE(recentEntries(again), QStringList{"No Recent Positions (disabled)"});
}

void TestKeptSettings::a_settings_file_that_is_no_file_is_set_aside_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("said");
    QTest::newRow("a named pipe") << "pipe"
                                  << "it is a named pipe, not a file.";
    QTest::newRow("a link to a named pipe") << "link"
                                            << "it is a named pipe, not a file.";
    QTest::newRow("larger than settings can be") << "large"
                                                 << "it is larger than the settings can ever be.";
}

void TestKeptSettings::a_settings_file_that_is_no_file_is_set_aside() {
    QFETCH(QString, kind);
    QFETCH(QString, said);
    QTemporaryDir config;
    Shell first({}, {}, config.path());
    QVERIFY(startUp(first));
    const QStringList expected = seen(first);
    first.window.reset();

    QTemporaryDir odd;
    qputenv("XDG_CONFIG_HOME", odd.path().toLocal8Bit());
    const QString path = shell::kept::filePath();
    QVERIFY(QDir().mkpath(QFileInfo(path).absolutePath()));
    const QString pipe = odd.filePath(QStringLiteral("pipe"));
    QCOMPARE(::mkfifo(QFile::encodeName(kind == "link" ? pipe : path).constData(), 0600), 0);
    if (kind == "link") {
        QVERIFY(QFile::link(pipe, path));
    } else if (kind == "large") {
        QVERIFY(QFile::remove(path));
        QFile large(path);
        QVERIFY(large.open(QIODevice::WriteOnly));
        large.write("[window]\ndisplay=large\n" + QByteArray(shell::kept::largestFile, ';'));
    }
    // The window starts on the defaults, and says why once it is up.
    Shell s({}, {}, odd.path());
    s.fake.dialogs.script(platform::Dialogs::answerOk);
    QVERIFY(startUp(s));
    QTRY_COMPARE(s.fake.dialogs.shown().size(), 1);
    QCOMPARE(seen(s), expected);
    QCOMPARE(s.fake.dialogs.shown().constLast().text,
             QStringLiteral("Your settings could not be read from %1: %2 It has been set aside as "
                            "%3.set-aside. The program starts with the settings of a first start.")
                 .arg(QDir::toNativeSeparators(path), said, QFileInfo(path).fileName()));
    QVERIFY(QFileInfo(path + ".set-aside").isSymLink() == (kind == "link"));
    QVERIFY(!QFileInfo::exists(path));
}

void TestKeptSettings::settings_are_never_written_through_to_what_is_no_file_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("said");
    QTest::newRow("a link to a named pipe") << "pipe"
                                            << "It is a named pipe, not a file.";
    QTest::newRow("a folder in its place") << "folder"
                                           << "It is a folder, not a file.";
}

void TestKeptSettings::settings_are_never_written_through_to_what_is_no_file() {
    QFETCH(QString, kind);
    QFETCH(QString, said);
    Shell s;
    QVERIFY(startUp(s));
    // Put in place while the window runs: what it finds at the next change.
    const QString path = shell::kept::filePath();
    QVERIFY(QDir().mkpath(QFileInfo(path).absolutePath()));
    QFile::remove(path);
    const QString pipe = s.scratch.filePath(QStringLiteral("pipe"));
    if (kind == "pipe") {
        QCOMPARE(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
        QVERIFY(QFile::link(pipe, path));
    } else {
        QVERIFY(QDir().mkpath(path));
    }
    // Two changes, told once.
    s.fake.dialogs.script(platform::Dialogs::answerOk);
    s.action("mnuShowMarkers")->trigger();
    QTRY_COMPARE(s.fake.dialogs.shown().size(), 1);
    s.action("mnuShowMarkers")->trigger();
    QTest::qWait(300);
    QCOMPARE(s.fake.dialogs.shown().size(), 1);
    QCOMPARE(s.fake.dialogs.shown().constLast().text,
             QStringLiteral("Your settings cannot be kept for the next time the program runs: %1 "
                            "They are kept until the program closes.")
                 .arg(said));
    struct stat info {};
    QCOMPARE(::lstat(QFile::encodeName(kind == "pipe" ? pipe : path).constData(), &info), 0);
    QVERIFY(kind == "pipe" ? S_ISFIFO(info.st_mode) : S_ISDIR(info.st_mode));
    QVERIFY(s.action("mnuShowMarkers")->isChecked());
}

void TestKeptSettings::the_largest_settings_are_read_back_as_written() {
    // Eight recent paths and a folder as long as paths can be, in letters
    // the file escapes at their longest.
    QTemporaryDir deep;
    QString folder = deep.path();
    while (QFile::encodeName(folder).size() + 40 < shell::kept::longestPath) {
        folder += QStringLiteral("/\u00e9\u00e9\u00e9\u00e9\u00e9\u00e9\u00e9\u00e9");
    }
    QVERIFY(QDir().mkpath(folder));
    shell::Kept k;
    k.folder = folder;
    for (int i = 0; i < shell::kept::mostRecent; ++i) {
        k.recent << folder + QStringLiteral("/%1.wqzpos").arg(i);
    }
    k.geometry = QByteArray(2000, '\xff');
    const std::optional<QByteArray> text = shell::kept::toText(k);
    QVERIFY(text);
    QVERIFY2(text->size() <= shell::kept::largestFile, qPrintable(QString::number(text->size())));
    QCOMPARE(shell::kept::fromText(*text), k);
    // A path one byte too long is no place of a file.
    k.recent[0] = folder + QStringLiteral("/") + QString(60, u'x');
    QCOMPARE(shell::kept::fromText(*shell::kept::toText(k)).recent, k.recent.mid(1));
}

QTEST_MAIN(TestKeptSettings)
#include "test_kept_settings.moc"
