#include "fakes/FakeBrowser.h"
#include "fakes/FakePlatform.h"
#include "platform/WindowList.h"
#include "services/MTaskList.h"

#include <QTest>

#include <limits>
#include <utility>

namespace {

// A desktop whose top-level titles the test chooses; counts how often it is read.
class ListedWindows : public platform::WindowList {
public:
    explicit ListedWindows(QStringList titles) : titles_(std::move(titles)) {}
    QStringList topLevelTitles() override {
        ++reads;
        return titles_;
    }
    int reads = 0;

private:
    QStringList titles_;
};

const QString site1 = QStringLiteral("http://www.quillmere.example");
const QString site2 = QStringLiteral("http://www.wqzschools.example");
const QString site3 = QStringLiteral("http://www.wqzmodules.example");
const QString site4 = QStringLiteral("http://www.quillmere.test");
const QString site5 = QStringLiteral("http://www.optionlab.example");

const QString demoPage = site1 + QStringLiteral("/wqzmodhtm/demomod.html");
// Without a launcher's site each menu reaches a page of its own.
const QString mainHelp = site1 + QStringLiteral("/wqzmodhtm/howtouse.htm");
const QString mainContents = site1 + QStringLiteral("/wqzmodhtm/wqzLumo/contents.htm");
const QString boardTopics = site1 + QStringLiteral("/discus/messages/board-topics.html");
const QString adminPage = site1 + QStringLiteral("/discus1/admin.html");
const QString sessionPage = site2 + QStringLiteral("/Public/schools/modsession.cfm");

QString forumOn(const QString& site) {
    return site + QStringLiteral("/public/forum/enterforum.cfm");
}
QString helpOn(const QString& site) {
    return site + QStringLiteral("/public/wqzmodhtm/howtouse.htm");
}
// The module's first page in the site's modules folder.
QString moduleOn(const QString& site) {
    return site + QStringLiteral("/public/wqzmodhtm/wqzLumo/page1.htm");
}
QString schoolHome(const QString& code) {
    return site2 + QStringLiteral("/public/schools/") + code + QStringLiteral("/index.htm");
}

// A launch title with the school's first field and the site field in sixth place.
QString launchTitle(const QString& first, const QString& site, QChar separator = u';') {
    return QStringList{first, "Lesson 4", "Straddles", "Spring", "Room 12", site}.join(separator);
}

const QString noForumForStudents =
    QStringLiteral("Forum not available.  Please have the instructor contact WQZ about getting "
                   "access to the forum");
const QString noForumToSetUp = QStringLiteral(
    "Forum not available.  Please contact WQZ if you want to create a discussion forum");

namespace MTaskList = services::MTaskList;

// Starts up the way the program does.
MTaskList::WebAddresses startUp(ListedWindows& windows, const QStringList& arguments = {}) {
    return MTaskList::initWebAddresses(windows, arguments);
}

} // namespace

class TestMTaskList : public QObject {
    Q_OBJECT
private slots:
    void the_first_launch_title_on_the_desktop_sets_the_addresses_data();
    void the_first_launch_title_on_the_desktop_sets_the_addresses();
    void with_command_line_arguments_the_module_site_defaults_stay_unread_data();
    void with_command_line_arguments_the_module_site_defaults_stay_unread();
    void a_title_position_outside_the_snapshot_gives_invalid_data();
    void a_title_position_outside_the_snapshot_gives_invalid();
    void a_long_title_is_kept_as_the_desktop_delivered_it();
    void the_instructor_forum_setup_follows_the_site_the_forum_is_on_data();
    void the_instructor_forum_setup_follows_the_site_the_forum_is_on();
    void the_instructor_forum_setup_goes_by_the_host_word_of_the_forum_address_data();
    void the_instructor_forum_setup_goes_by_the_host_word_of_the_forum_address();
    void the_student_forum_opens_the_forum_address_chosen_at_start();
    void with_no_forum_address_both_forum_commands_explain_there_is_none();
};

void TestMTaskList::the_first_launch_title_on_the_desktop_sets_the_addresses_data() {
    QTest::addColumn<QStringList>("titles");
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("home");
    QTest::addColumn<QString>("help");
    QTest::addColumn<QString>("modules");
    QTest::addColumn<QString>("forum");
    // A scan that ends on a malformed launch title returns at once; every
    // other start-up lets waiting events run once.
    QTest::addColumn<int>("eventPasses");

    const QString onSite3 = QStringLiteral("www.wqzmodules.example");
    const QString later = launchTitle("wqz=wxyz", QStringLiteral("www.optionlab.example"));

    QTest::newRow("semicolons, lower-case key")
        << QStringList{launchTitle("wqz=abcd", onSite3)} << "abcd" << schoolHome("abcd")
        << helpOn(site3) << moduleOn(site3) << forumOn(site2) << 1;
    QTest::newRow("semicolons, upper-case key")
        << QStringList{launchTitle("WQZ=abcd", onSite3)} << "abcd" << schoolHome("abcd")
        << helpOn(site3) << moduleOn(site3) << forumOn(site2) << 1;
    QTest::newRow("commas") << QStringList{launchTitle("wqz=abcd", onSite3, u',')} << "abcd"
                            << schoolHome("abcd") << helpOn(site3) << moduleOn(site3)
                            << forumOn(site2) << 1;
    // Split at the comma this title would have too few fields.
    QTest::newRow("both separators, split at semicolons only")
        << QStringList{launchTitle("wqz=abcd", onSite3) + ", second sitting"} << "abcd"
        << schoolHome("abcd") << helpOn(site3) << moduleOn(site3) << forumOn(site2) << 1;
    QTest::newRow("fewer than six fields end the scan")
        << QStringList{QStringLiteral("wqz=abcd;Lesson 4;Straddles;Spring;") + onSite3, later} << ""
        << demoPage << mainHelp << mainContents << boardTopics << 0;
    QTest::newRow("no separator ends the scan")
        << QStringList{QStringLiteral("Launcher wqz=abcd"), later} << "" << demoPage << mainHelp
        << mainContents << boardTopics << 0;
    QTest::newRow("two-character code")
        << QStringList{launchTitle("wqz=ab", onSite3)} << "ab" << schoolHome("ab") << helpOn(site3)
        << moduleOn(site3) << forumOn(site2) << 1;
    QTest::newRow("key alone gives no code")
        << QStringList{launchTitle("wqz=", onSite3)} << ""
        << site2 + QStringLiteral("/public/schools//index.htm") << helpOn(site3) << moduleOn(site3)
        << forumOn(site2) << 1;
    QTest::newRow("key inside the first field: the code is its characters five to eight")
        << QStringList{launchTitle("Lesson 3 wqz=abcd", onSite3)} << "on 3" << schoolHome("on 3")
        << helpOn(site3) << moduleOn(site3) << forumOn(site2) << 1;

    QTest::newRow("site 1") << QStringList{launchTitle("wqz=abcd", "www.quillmere.example")}
                            << "abcd" << schoolHome("abcd") << mainHelp
                            << site1 + QStringLiteral("/wqzmodhtm/wqzLumo/page1.htm") << boardTopics
                            << 1;
    QTest::newRow("site 1 without www is not recognised")
        << QStringList{launchTitle("wqz=abcd", "quillmere.example")} << "abcd" << schoolHome("abcd")
        << mainHelp << mainContents << boardTopics << 1;
    QTest::newRow("unrecognised site")
        << QStringList{launchTitle("wqz=abcd", "www.example.org")} << "abcd" << schoolHome("abcd")
        << mainHelp << mainContents << boardTopics << 1;
    QTest::newRow("site 2") << QStringList{launchTitle("wqz=abcd", "www.wqzschools.example")}
                            << "abcd" << schoolHome("abcd") << helpOn(site2) << moduleOn(site2)
                            << forumOn(site2) << 1;
    QTest::newRow("site 2 without www")
        << QStringList{launchTitle("wqz=abcd", "wqzschools.example")} << "abcd"
        << schoolHome("abcd") << helpOn(site2) << moduleOn(site2) << forumOn(site2) << 1;
    QTest::newRow("site 3 without www")
        << QStringList{launchTitle("wqz=abcd", "wqzmodules.example")} << "abcd"
        << schoolHome("abcd") << helpOn(site3) << moduleOn(site3) << forumOn(site2) << 1;
    QTest::newRow("site 4") << QStringList{launchTitle("wqz=abcd", "www.quillmere.test")} << "abcd"
                            << schoolHome("abcd") << helpOn(site4) << moduleOn(site4)
                            << forumOn(site4) << 1;
    QTest::newRow("site 4 without www")
        << QStringList{launchTitle("wqz=abcd", "quillmere.test")} << "abcd" << schoolHome("abcd")
        << helpOn(site4) << moduleOn(site4) << forumOn(site4) << 1;
    QTest::newRow("site 5 as an address without www")
        << QStringList{launchTitle("wqz=abcd", "http://optionlab.example/lessons")} << "abcd"
        << schoolHome("abcd") << helpOn(site5) << moduleOn(site5) << forumOn(site5) << 1;

    QTest::newRow("the first launch title decides")
        << QStringList{QStringLiteral("Inbox - Mail"),
                       launchTitle("wqz=abcd", QStringLiteral("www.optionlab.example")),
                       launchTitle("wqz=wxyz", onSite3)}
        << "abcd" << schoolHome("abcd") << helpOn(site5) << moduleOn(site5) << forumOn(site5) << 1;
    QTest::newRow("no launch title")
        << QStringList{QStringLiteral("Inbox - Mail"), QStringLiteral("Terminal; 80x24, bash")}
        << "" << demoPage << mainHelp << mainContents << boardTopics << 1;
    QTest::newRow("no window at all")
        << QStringList{} << "" << demoPage << mainHelp << mainContents << boardTopics << 1;
}

void TestMTaskList::the_first_launch_title_on_the_desktop_sets_the_addresses() {
    QFETCH(QStringList, titles);
    QFETCH(QString, code);
    QFETCH(QString, home);
    QFETCH(QString, help);
    QFETCH(QString, modules);
    QFETCH(QString, forum);
    QFETCH(int, eventPasses);
    fakes::FakePlatform fake;
    ListedWindows windows(titles);

    const MTaskList::WebAddresses chosen = startUp(windows);

    QCOMPARE(chosen.schoolCode, code);
    QCOMPARE(chosen.strHomeURL, home);
    QCOMPARE(chosen.strHelpURL, help);
    QCOMPARE(chosen.strModuleURL, modules);
    QCOMPARE(chosen.strForumURL, forum);
    // The module's first page where a site was chosen, the welcome page where none was.
    QCOMPARE(chosen.strFirstPageURL, modules.endsWith(u"page1.htm") ? modules : demoPage);
    QCOMPARE(fake.pump.passes, eventPasses);
    // The desktop is read once and never waited on, whatever it shows.
    QCOMPARE(windows.reads, 1);
    QCOMPARE(fake.pump.waits, 0);
}

void TestMTaskList::with_command_line_arguments_the_module_site_defaults_stay_unread_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::newRow("an option") << QStringList{QStringLiteral("-x")};
    QTest::newRow("one empty argument") << QStringList{QString()};
    QTest::newRow("a launch title as argument")
        << QStringList{launchTitle("wqz=abcd", QStringLiteral("www.optionlab.example"))};
}

void TestMTaskList::with_command_line_arguments_the_module_site_defaults_stay_unread() {
    QFETCH(QStringList, arguments);
    fakes::FakePlatform fake;
    ListedWindows windows({launchTitle("wqz=abcd", QStringLiteral("www.optionlab.example"))});

    const MTaskList::WebAddresses chosen = startUp(windows, arguments);

    QCOMPARE(chosen.strHomeURL, site3 + QStringLiteral("/"));
    QCOMPARE(chosen.strHelpURL, helpOn(site3));
    QCOMPARE(chosen.strModuleURL, moduleOn(site3));
    QCOMPARE(chosen.strForumURL, forumOn(site2));
    QCOMPARE(chosen.schoolCode, QString());
    QCOMPARE(windows.reads, 0);
}

void TestMTaskList::a_title_position_outside_the_snapshot_gives_invalid_data() {
    QTest::addColumn<int>("position");
    QTest::addColumn<QString>("title");
    QTest::newRow("first") << 1 << "Inbox - Mail";
    QTest::newRow("last") << 2 << "Terminal";
    QTest::newRow("zero") << 0 << "Invalid";
    QTest::newRow("negative") << -1 << "Invalid";
    QTest::newRow("smallest number") << std::numeric_limits<int>::min() << "Invalid";
    QTest::newRow("one past the end") << 3 << "Invalid";
}

void TestMTaskList::a_title_position_outside_the_snapshot_gives_invalid() {
    QFETCH(int, position);
    QFETCH(QString, title);
    ListedWindows windows({QStringLiteral("Inbox - Mail"), QStringLiteral("Terminal")});
    const MTaskList::WindowTitles titles = MTaskList::listTopWindows(windows);
    QCOMPARE(titles.windowTitleCount(), 2);
    QCOMPARE(titles.windowTitleAt(position), title);
}

void TestMTaskList::a_long_title_is_kept_as_the_desktop_delivered_it() {
    const QString longTitle = QString(300, u'x');
    ListedWindows windows({longTitle});
    QCOMPARE(MTaskList::listTopWindows(windows).windowTitleAt(1), longTitle);
}

void TestMTaskList::the_instructor_forum_setup_follows_the_site_the_forum_is_on_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QStringList>("titles");
    // Empty when the command explains instead of opening a page.
    QTest::addColumn<QString>("page");

    auto started = [](const char* site) { return QStringList{launchTitle("wqz=abcd", site)}; };
    QTest::newRow("command line") << QStringList{QStringLiteral("-x")} << QStringList{}
                                  << sessionPage;
    QTest::newRow("main site fallback") << QStringList{} << QStringList{} << adminPage;
    QTest::newRow("site 1") << QStringList{} << started("www.quillmere.example") << adminPage;
    QTest::newRow("site 2") << QStringList{} << started("www.wqzschools.example") << sessionPage;
    QTest::newRow("site 3") << QStringList{} << started("www.wqzmodules.example") << sessionPage;
    // Site 4 shares its host word with site 1, whose page serves both.
    QTest::newRow("site 4") << QStringList{} << started("www.quillmere.test") << adminPage;
    QTest::newRow("site 5") << QStringList{} << started("www.optionlab.example") << QString();
    QTest::newRow("unrecognised site") << QStringList{} << started("www.example.org") << adminPage;
}

void TestMTaskList::the_instructor_forum_setup_follows_the_site_the_forum_is_on() {
    QFETCH(QStringList, arguments);
    QFETCH(QStringList, titles);
    QFETCH(QString, page);
    fakes::FakePlatform fake;
    ListedWindows windows(titles);
    const MTaskList::WebAddresses chosen = startUp(windows, arguments);
    const int passesBefore = fake.pump.passes;
    fakes::FakeBrowser browser;
    if (page.isEmpty()) {
        fake.dialogs.script(platform::Dialogs::answerOk);
    }

    MTaskList::openInstructorForumSetup(browser, chosen);

    if (page.isEmpty()) {
        QVERIFY(browser.navigations.isEmpty());
        QCOMPARE(fake.dialogs.shown().size(), 1);
        const auto& box = fake.dialogs.shown().first();
        QCOMPARE(box.text, noForumToSetUp);
        QCOMPARE(box.buttons, platform::Dialogs::Buttons::Ok);
        QCOMPARE(box.icon, platform::Dialogs::Icon::None);
        QCOMPARE(box.title, QStringLiteral("Quillmere"));
    } else {
        QCOMPARE(browser.navigations, QStringList{page});
        QVERIFY(fake.dialogs.shown().isEmpty());
    }
    QCOMPARE(fake.pump.passes - passesBefore, 1);
}

void TestMTaskList::the_instructor_forum_setup_goes_by_the_host_word_of_the_forum_address_data() {
    QTest::addColumn<QString>("forum");
    // Empty when the command explains instead of opening a page.
    QTest::addColumn<QString>("page");
    QTest::newRow("site 1's word on another host")
        << "http://forum.quillmere.org/board" << adminPage;
    QTest::newRow("site 2's word") << "http://wqzschools.example/forum" << sessionPage;
    QTest::newRow("site 3's word") << "http://www.wqzmodules.example/forum" << sessionPage;
    QTest::newRow("site 5's word") << forumOn(site5) << QString();
    QTest::newRow("a word in upper case is another word")
        << "http://www.WQZSCHOOLS.example/forum" << QString();
}

void TestMTaskList::the_instructor_forum_setup_goes_by_the_host_word_of_the_forum_address() {
    QFETCH(QString, forum);
    QFETCH(QString, page);
    fakes::FakePlatform fake;
    MTaskList::WebAddresses chosen;
    chosen.strForumURL = forum;
    fakes::FakeBrowser browser;
    if (page.isEmpty()) {
        fake.dialogs.script(platform::Dialogs::answerOk);
    }

    MTaskList::openInstructorForumSetup(browser, chosen);

    QCOMPARE(browser.navigations, page.isEmpty() ? QStringList{} : QStringList{page});
    QCOMPARE(fake.dialogs.shown().size(), page.isEmpty() ? 1 : 0);
    QCOMPARE(fake.pump.passes, 1);
}

void TestMTaskList::the_student_forum_opens_the_forum_address_chosen_at_start() {
    fakes::FakePlatform fake;
    ListedWindows windows({launchTitle("wqz=abcd", QStringLiteral("www.optionlab.example"))});
    const MTaskList::WebAddresses chosen = startUp(windows);
    const int passesBefore = fake.pump.passes;
    fakes::FakeBrowser browser;

    MTaskList::openStudentForum(browser, chosen);

    QCOMPARE(browser.navigations, QStringList{forumOn(site5)});
    QVERIFY(fake.dialogs.shown().isEmpty());
    QCOMPARE(fake.pump.passes - passesBefore, 1);
}

void TestMTaskList::with_no_forum_address_both_forum_commands_explain_there_is_none() {
    fakes::FakePlatform fake;
    ListedWindows windows({});
    MTaskList::WebAddresses chosen = startUp(windows);
    chosen.strForumURL.clear();
    const int passesBefore = fake.pump.passes;
    fakes::FakeBrowser browser;
    fake.dialogs.script(platform::Dialogs::answerOk);
    fake.dialogs.script(platform::Dialogs::answerOk);

    MTaskList::openStudentForum(browser, chosen);
    MTaskList::openInstructorForumSetup(browser, chosen);

    QVERIFY(browser.navigations.isEmpty());
    QCOMPARE(fake.dialogs.shown().size(), 2);
    for (const auto& box : fake.dialogs.shown()) {
        QCOMPARE(box.buttons, platform::Dialogs::Buttons::Ok);
        QCOMPARE(box.icon, platform::Dialogs::Icon::None);
    }
    QCOMPARE(fake.dialogs.shown().at(0).text, noForumForStudents);
    QCOMPARE(fake.dialogs.shown().at(1).text, noForumToSetUp);
    QCOMPARE(fake.pump.passes - passesBefore, 2);
}

QTEST_GUILESS_MAIN(TestMTaskList)
#include "test_mtasklist.moc"
