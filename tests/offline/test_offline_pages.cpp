#include "HttpProbe.h"
#include "fakes/FakeBrowser.h"
#include "fakes/FakePlatform.h"
#include "fakes/FakeWindowList.h"
#include "offline/SiteBundle.h"
#include "offline/SiteServer.h"
#include "platform/Dialogs.h"
#include "services/MTaskList.h"
#include "services/Sites.h"

#include <QRegularExpression>
#include <QSet>
#include <QTest>
#include <QUrl>

#include <deque>
#include <utility>

namespace {

QString launchTitle(const QString& first, const QString& site) {
    return QStringList{first, "Lesson 4", "Straddles", "Spring", "Room 12", site}.join(u';');
}

bool onMakersSite(const QUrl& url) {
    return url.scheme() == u"http" && services::sites::siteNamed(url.host()).has_value();
}

// Every href and src of a page, resolved against the page's address.
QList<QUrl> linksOf(const QUrl& page, const QByteArray& html) {
    static const QRegularExpression re(
        QStringLiteral("\\b(?:href|src)\\s*=\\s*(?:\"([^\"]*)\"|'([^']*)')"),
        QRegularExpression::CaseInsensitiveOption);
    QList<QUrl> links;
    QRegularExpressionMatchIterator it = re.globalMatch(QString::fromUtf8(html));
    while (it.hasNext()) {
        const QRegularExpressionMatch m = it.next();
        const QString value = m.captured(1).isNull() ? m.captured(2) : m.captured(1);
        QUrl link = page.resolved(QUrl(value));
        link.setFragment(QString());
        links << link;
    }
    return links;
}

// The target of the page's link with rel="`rel`", or an empty text.
QString relLink(const QByteArray& html, const QString& rel) {
    const QRegularExpression re(QStringLiteral("<a rel=\"%1\" href=\"([^\"]*)\"").arg(rel));
    return re.match(QString::fromUtf8(html)).captured(1);
}

// The addresses a start-up computes.
struct StartUp {
    QStringList addresses;
    services::MTaskList::WebAddresses chosen;
};

StartUp startUp(const QStringList& titles, const QStringList& arguments,
                fakes::FakePlatform& fake) {
    fakes::FakeWindowList windows;
    windows.titles = titles;
    StartUp s;
    s.chosen = services::MTaskList::initWebAddresses(windows, arguments);
    s.addresses << s.chosen.strModuleURL << s.chosen.strHomeURL << s.chosen.strHelpURL
                << s.chosen.strForumURL << services::sites::siteRoot();
    // The instructor's setup page, where the forum's site has one.
    fakes::FakeBrowser browser;
    fake.dialogs.script(platform::Dialogs::answerOk);
    services::MTaskList::openInstructorForumSetup(browser, s.chosen);
    if (fake.dialogs.shown().isEmpty()) {
        fake.dialogs.reset();
    }
    s.addresses << browser.navigations;
    return s;
}

// How the program can be started: with arguments, without a launcher, from a
// launcher of each site, and with the school codes a launcher may give.
struct StartUpCase {
    const char* name;
    QStringList titles;
    QStringList arguments;
    // False where the help page stands in for the module.
    bool moduleIsItsFirstPage;
};

QList<StartUpCase> startUpCases() {
    QList<StartUpCase> cases{
        {"started with arguments", {}, {QStringLiteral("--lesson")}, true},
        {"no launch title", {QStringLiteral("Terminal")}, {}, false},
        {"no school code",
         {launchTitle(QStringLiteral("wqz="), QStringLiteral("wqzschools.example"))},
         {},
         true},
        {"a school code with a blank",
         {launchTitle(QStringLiteral("wqz=on 3"), QStringLiteral("quillmere.test"))},
         {},
         true},
        {"a school code with a slash and accents, unknown site",
         {launchTitle(QStringLiteral("wqz=\u00e9/\u00fc"), QStringLiteral("www.example.org"))},
         {},
         false},
    };
    static const char* const sites[] = {"",
                                        "launched for site 1",
                                        "launched for site 2",
                                        "launched for site 3",
                                        "launched for site 4",
                                        "launched for site 5"};
    for (const services::sites::Site site : services::sites::all) {
        cases.append({sites[int(site)],
                      {launchTitle(QStringLiteral("wqz=abcd"), services::sites::host(site))},
                      {},
                      true});
    }
    return cases;
}

} // namespace

class TestOfflinePages : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void every_start_up_address_opens_a_bundled_page_data();
    void every_start_up_address_opens_a_bundled_page();
    void every_link_of_every_page_leads_to_a_bundled_page();
    void the_module_pages_run_in_order_with_next_and_previous();
    void the_pack_page_loads_its_script_before_the_exercises_one_data();
    void the_pack_page_loads_its_script_before_the_exercises_one();

private:
    offline::SiteServer server_;
    offline::SiteBundle bundle_;
};

void TestOfflinePages::initTestCase() {
    QVERIFY(server_.start());
}

void TestOfflinePages::every_start_up_address_opens_a_bundled_page_data() {
    QTest::addColumn<QStringList>("titles");
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("moduleIsItsFirstPage");
    for (const StartUpCase& c : startUpCases()) {
        QTest::newRow(c.name) << c.titles << c.arguments << c.moduleIsItsFirstPage;
    }
}

void TestOfflinePages::every_start_up_address_opens_a_bundled_page() {
    QFETCH(QStringList, titles);
    QFETCH(QStringList, arguments);
    QFETCH(bool, moduleIsItsFirstPage);
    fakes::FakePlatform fake;

    const StartUp s = startUp(titles, arguments, fake);

    for (const QString& address : s.addresses) {
        const httpprobe::Opened page = httpprobe::open(server_.port(), address);
        QVERIFY2(page.response.status == 200, qPrintable(address + QStringLiteral(" gave ") +
                                                         QString::number(page.response.status)));
        QVERIFY2(!httpprobe::title(page.response.body).isEmpty(), qPrintable(address));
        QCOMPARE(page.redirects, 0);
    }
    const QString module =
        httpprobe::title(httpprobe::open(server_.port(), s.chosen.strModuleURL).response.body);
    QCOMPARE(module == QStringLiteral("Option Payoffs: Payoff and profit diagrams"),
             moduleIsItsFirstPage);
    if (!s.chosen.schoolCode.trimmed().isEmpty()) {
        const QString home =
            httpprobe::title(httpprobe::open(server_.port(), s.chosen.strHomeURL).response.body);
        QCOMPARE(home, QStringLiteral("Home page of school ") + s.chosen.schoolCode);
    }
}

void TestOfflinePages::every_link_of_every_page_leads_to_a_bundled_page() {
    // Start from every file of the bundle, every start-up address, a school's
    // page and the page for an address that is not bundled.
    QStringList seeds = bundle_.addresses();
    fakes::FakePlatform fake;
    for (const StartUpCase& c : startUpCases()) {
        seeds << startUp(c.titles, c.arguments, fake).addresses;
    }
    seeds << QStringLiteral("http://") + services::sites::host(services::sites::Site::Schools) +
                 QStringLiteral("/public/schools/abcd/index.htm");
    const QString missing = QStringLiteral("http://") +
                            services::sites::host(services::sites::Site::MainModules) +
                            QStringLiteral("/public/wqzmodhtm/gone.htm");

    std::deque<QUrl> queue;
    QSet<QString> seen;
    for (const QString& s : std::as_const(seeds)) {
        queue.push_back(QUrl::fromUserInput(s));
    }
    QStringList broken;
    int walked = 0;
    // The offline page itself answers 404; its links must still work.
    {
        const httpprobe::Opened page = httpprobe::open(server_.port(), missing);
        QCOMPARE(page.response.status, 404);
        for (const QUrl& link : linksOf(QUrl(page.address), page.response.body)) {
            queue.push_back(link);
        }
    }
    while (!queue.empty()) {
        const QUrl url = queue.front();
        queue.pop_front();
        const QString key = url.toString(QUrl::FullyEncoded);
        if (seen.contains(key)) {
            continue;
        }
        seen.insert(key);
        // Links to the workbench are the program's own, never loaded; the
        // tutorial-content test follows them.
        if (url.scheme() == u"wqz-workbench") {
            continue;
        }
        if (!onMakersSite(url)) {
            broken << key + QStringLiteral(": not on the maker's sites");
            continue;
        }
        const httpprobe::Opened page = httpprobe::open(server_.port(), key);
        if (page.response.status != 200) {
            broken << key + QStringLiteral(": ") + QString::number(page.response.status);
            continue;
        }
        ++walked;
        if (!page.response.header("content-type").startsWith("text/html")) {
            continue;
        }
        if (httpprobe::title(page.response.body).isEmpty()) {
            broken << key + QStringLiteral(": no title");
        }
        for (const QUrl& link : linksOf(QUrl(page.address), page.response.body)) {
            queue.push_back(link);
        }
    }
    QVERIFY2(broken.isEmpty(), qPrintable(broken.join(u'\n')));
    // Every bundled file under at least one address, and the pages they link to.
    QVERIFY(walked > bundle_.addresses().size());
}

void TestOfflinePages::the_module_pages_run_in_order_with_next_and_previous() {
    const QString folder = QStringLiteral("http://") +
                           services::sites::host(services::sites::Site::Modules) +
                           QStringLiteral("/public/wqzmodhtm/wqzLumo/");
    static const QRegularExpression numbered(QStringLiteral("/wqzLumo/page\\d+\\.htm$"));
    const qsizetype bundled = bundle_.addresses().filter(numbered).size();

    QStringList order;
    QSet<QString> titles;
    QString previous;
    QString page = QStringLiteral("page1.htm");
    while (!page.isEmpty() && order.size() <= bundled) {
        const httpprobe::Opened opened = httpprobe::open(server_.port(), folder + page);
        QCOMPARE(opened.response.status, 200);
        QCOMPARE(relLink(opened.response.body, QStringLiteral("prev")), previous);
        titles.insert(httpprobe::title(opened.response.body));
        order << page;
        previous = page;
        page = relLink(opened.response.body, QStringLiteral("next"));
    }
    QCOMPARE(order.size(), bundled);
    QCOMPARE(titles.size(), bundled);
    for (int i = 0; i < order.size(); ++i) {
        QCOMPARE(order[i], QStringLiteral("page%1.htm").arg(i + 1));
    }
}

void TestOfflinePages::the_pack_page_loads_its_script_before_the_exercises_one_data() {
    QTest::addColumn<QString>("address");
    for (const services::sites::Site site : services::sites::all) {
        QTest::newRow(qPrintable(services::sites::host(site))) << services::sites::siteAddress(
            site, services::sites::modulesFolder(site) + services::sites::tutorialFolder +
                      QStringLiteral("pack.htm"));
    }
}

// The program fills the pack's page by calling wqzPack.show, which pack.js
// defines, and then wqzExercises.show, which marks the forms pack.js made:
// both scripts must come, and in that order.
void TestOfflinePages::the_pack_page_loads_its_script_before_the_exercises_one() {
    QFETCH(QString, address);
    static const QRegularExpression script(QStringLiteral("<script src=\"([^\"]*)\">"));

    const httpprobe::Opened page = httpprobe::open(server_.port(), address);

    QCOMPARE(page.response.status, 200);
    QCOMPARE(page.redirects, 0);
    QVERIFY(page.response.header("content-type").startsWith("text/html"));
    QStringList scripts;
    for (QRegularExpressionMatchIterator it =
             script.globalMatch(QString::fromUtf8(page.response.body));
         it.hasNext();) {
        scripts << it.next().captured(1);
    }
    QCOMPARE(scripts, (QStringList{QStringLiteral("pack.js"), QStringLiteral("exercises.js")}));
    const QList<QByteArray> defines{"window.wqzPack", "window.wqzExercises"};
    for (int i = 0; i < scripts.size(); ++i) {
        const httpprobe::Opened js =
            httpprobe::open(server_.port(), QUrl(address).resolved(QUrl(scripts[i])).toString());
        QCOMPARE(js.response.status, 200);
        QVERIFY(js.response.header("content-type").startsWith("text/javascript"));
        QVERIFY2(js.response.body.contains(defines[i]), defines[i].constData());
    }
}

QTEST_MAIN(TestOfflinePages)
#include "test_offline_pages.moc"
