// What the desktop asks the window to open (a file named on the command line
// or handed over by a later start, a link to a position): opened as File >
// Open opens a file and as a tutorial page's "Try it" follows a link, with
// the same messages and the same question before a changed position goes.
#include "ShellHarness.h"

#include <QDirIterator>
#include <QFile>
#include <QPushButton>
#include <QRadioButton>
#include <QWindow>

namespace {

const QString kTutorialPage =
    QStringLiteral("http://www.wqzmodules.example/public/wqzmodhtm/wqzLumo/page21.htm");

QByteArray positionFile(const char* diagram = "payoff") {
    return QByteArray(R"({"format":"wqz-position","version":1,)"
                      R"("rows":[{"callQty":"1","callPrice":"10.50","strike":"50","putQty":"1",)"
                      R"("putPrice":"3.50"}],"underlyingQty":"0",)"
                      R"("range":{"top":"54","bottom":"-5","from":"1","to":"100"},)"
                      R"("diagram":")") +
           diagram + R"(","curveColor":"#ffff00"})";
}

bool write(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// All a student sees of the position: the grid, the diagram chosen, the
// analysis, the inputs before expiry and the title.
QStringList seen(const Shell& s) {
    const workbench::beforeexpiry::Inputs in = s.window->workbench()->beforeExpiry();
    return positionTexts(s) << QString::number(s.child<QRadioButton>("plotType(1)")->isChecked())
                            << s.window->workbench()->analysisText()
                            << QString::number(in.daysToday) << QString::number(in.daysLeft)
                            << QString::number(in.rate) << s.window->windowTitle();
}

QStringList texts(const Shell& s) {
    QStringList out;
    for (const auto& shown : s.fake.dialogs.shown()) {
        out << shown.text;
    }
    return out;
}

} // namespace

class TestOpenFromOutside : public QObject {
    Q_OBJECT
private slots:
    void a_file_from_outside_opens_as_file_open_opens_it_data();
    void a_file_from_outside_opens_as_file_open_opens_it();
    void a_link_from_outside_loads_as_a_pages_link_does_data();
    void a_link_from_outside_loads_as_a_pages_link_does();
    void a_link_that_asks_for_more_than_a_load_is_refused_data();
    void a_link_that_asks_for_more_than_a_load_is_refused();
    void a_changed_position_is_offered_for_saving_first();
};

void TestOpenFromOutside::a_file_from_outside_opens_as_file_open_opens_it_data() {
    QTest::addColumn<QByteArray>("content"); // null: no such file
    QTest::addColumn<bool>("opens");
    QTest::newRow("a position") << positionFile() << true;
    QTest::newRow("no such file") << QByteArray() << false;
    QTest::newRow("not a position") << QByteArray("{\"format\":\"other\"}") << false;
    QTest::newRow("not JSON at all") << QByteArray("\x89PNG\r\n") << false;
}

void TestOpenFromOutside::a_file_from_outside_opens_as_file_open_opens_it() {
    QFETCH(QByteArray, content);
    QFETCH(bool, opens);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("given.wqzpos"));
    if (!content.isNull()) {
        QVERIFY(write(path, content));
    }
    Shell menu;
    menu.window->Form_Load();
    menu.fake.dialogs.scriptOpenName(path);
    if (!opens) {
        menu.fake.dialogs.script(platform::Dialogs::answerOk);
    }
    menu.action("mnuOpenPosition")->trigger();

    Shell outside;
    outside.window->Form_Load();
    const QStringList before = seen(outside);
    if (!opens) {
        outside.fake.dialogs.script(platform::Dialogs::answerOk);
    }
    outside.window->openFromOutside(path);
    QCOMPARE(texts(outside), texts(menu));
    QCOMPARE(seen(outside), seen(menu));
    QCOMPARE(seen(outside) != before, opens);
    QCOMPARE(outside.window->windowTitle().startsWith(QStringLiteral("given.wqzpos")), opens);
}

void TestOpenFromOutside::a_link_from_outside_loads_as_a_pages_link_does_data() {
    QTest::addColumn<QString>("link");
    QTest::newRow("a strategy in profit")
        << QStringLiteral("wqz-workbench:load?strategy=Straddle&diagram=profit");
    QTest::newRow("legs with a market")
        << QStringLiteral("wqz-workbench:load?position=c3:1,p2:-2,u:1&diagram=payoff&days=30"
                          "&daysLeft=10&rate=4");
    QTest::newRow("a link no page may give")
        << QStringLiteral("wqz-workbench:load?position=c3:99999&diagram=profit");
}

void TestOpenFromOutside::a_link_from_outside_loads_as_a_pages_link_does() {
    QFETCH(QString, link);
    Shell page;
    page.window->Form_Load();
    page.browser.navigate(kTutorialPage);
    page.browser.finish();
    page.fake.dialogs.script(platform::Dialogs::answerOk);
    emit page.browser.ProgramLink(link);
    const bool refused = !page.fake.dialogs.shown().isEmpty();

    Shell outside;
    outside.window->Form_Load();
    const QStringList before = seen(outside);
    outside.fake.dialogs.script(platform::Dialogs::answerOk);
    // As copied from a message: spaces and a line break about it.
    outside.window->openFromOutside(QStringLiteral("  ") + link + QStringLiteral("\n"));
    QCOMPARE(seen(outside), seen(page));
    QCOMPARE(seen(outside) == before, refused);
    QCOMPARE(outside.fake.dialogs.shown().size(), page.fake.dialogs.shown().size());
    if (refused) {
        QVERIFY2(texts(outside)[0].startsWith(QStringLiteral("The link cannot be followed.")),
                 qPrintable(texts(outside)[0]));
    }
}

void TestOpenFromOutside::a_link_that_asks_for_more_than_a_load_is_refused_data() {
    QTest::addColumn<QString>("link");
    QTest::newRow("an exercise's answer")
        << QStringLiteral("wqz-workbench:check?exercise=straddle-1&answer=36");
    QTest::newRow("an exercise's answer shown")
        << QStringLiteral("wqz-workbench:check?exercise=straddle-1&reveal=1");
    QTest::newRow("the progress cleared") << QStringLiteral("wqz-workbench:progress?clear=1");
    QTest::newRow("a link the workbench does not know")
        << QStringLiteral("WQZ-Workbench:format?disk=c");
}

void TestOpenFromOutside::a_link_that_asks_for_more_than_a_load_is_refused() {
    QFETCH(QString, link);
    Shell s;
    s.window->Form_Load();
    const QStringList before = seen(s);
    s.fake.dialogs.script(platform::Dialogs::answerOk);
    s.window->openFromOutside(link);
    QCOMPARE(s.fake.dialogs.shown().size(), 1);
    QVERIFY2(texts(s)[0].startsWith(QStringLiteral("The link cannot be followed. ")),
             qPrintable(texts(s)[0]));
    QCOMPARE(seen(s), before);
    QVERIFY(s.browser.scripts.isEmpty()); // no page is told of an answer
    // Nothing judged or cleared was kept.
    QDirIterator kept(s.scratch.path(), QDir::Files, QDirIterator::Subdirectories);
    QVERIFY2(!kept.hasNext(), qPrintable(kept.hasNext() ? kept.next() : QString()));
}

void TestOpenFromOutside::a_changed_position_is_offered_for_saving_first() {
    QTemporaryDir dir;
    const QString first = dir.filePath(QStringLiteral("first.wqzpos"));
    const QString second = dir.filePath(QStringLiteral("second.wqzpos"));
    QVERIFY(write(first, positionFile()));
    QVERIFY(write(second, positionFile("profit")));
    Shell s;
    s.window->Form_Load();
    s.window->openFromOutside(first);
    QTest::mouseClick(s.child<QPushButton>("cmdRestart"), Qt::LeftButton);
    const QStringList changed = seen(s);
    QVERIFY(s.window->isWindowModified());

    s.fake.dialogs.script(platform::Dialogs::answerCancel);
    s.window->openFromOutside(second);
    QCOMPARE(s.fake.dialogs.shown().size(), 1);
    QVERIFY2(texts(s)[0].contains(QStringLiteral("first.wqzpos")) &&
                 texts(s)[0].contains(QStringLiteral("before opening second.wqzpos")),
             qPrintable(texts(s)[0]));
    QCOMPARE(seen(s), changed);

    s.fake.dialogs.script(platform::Dialogs::answerDiscard);
    s.window->openFromOutside(second);
    QVERIFY(s.window->windowTitle().startsWith(QStringLiteral("second.wqzpos")));
    QVERIFY(s.child<QRadioButton>("plotType(1)")->isChecked());
}

QTEST_MAIN(TestOpenFromOutside)
#include "test_open_from_outside.moc"
