// The main window with the real browser engine, on a virtual display, against
// a loopback server that answers for the program's site host names.
#include "BrowserHarness.h"
#include "services/Sites.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QWebEngineView>

#include <cstdio>
#include <memory>

#ifndef WQZ_SITES_SERVER
#error "WQZ_SITES_SERVER must name the loopback sites server script"
#endif

namespace {

using harness::gEnded;
using harness::kPatienceMs;
using harness::Shell;

// The loopback server; it prints its port first and then one line per request.
QProcess* gSites = nullptr;
QStringList gRequestLog;

// The page requests the server has answered (or started answering) since the
// last call. The engine asks for a site's icon on its own, at a time of its
// choosing; those requests are no navigation and are left out.
QStringList newRequests() {
    while (gSites->waitForReadyRead(100)) {
    }
    const QString text = QString::fromUtf8(gSites->readAllStandardOutput());
    QStringList lines;
    for (const QString& line : text.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        if (!line.endsWith(QStringLiteral("/favicon.ico"))) {
            lines << line;
        }
    }
    gRequestLog += lines;
    return lines;
}

const QString kFirstPage = QStringLiteral("http://www.quillmere.example/wqzmodhtm/demomod.html");
const QString kSecondPage = QStringLiteral("http://www.quillmere.example/wqzmodhtm/page2.htm");

} // namespace

class TestBrowserXvfb : public QObject {
    Q_OBJECT
private slots:
    // Every case starts from a window that has shown its first page.
    void init();
    void cleanup();

    void the_first_page_loads_with_the_site_root_listed();
    void enter_in_an_empty_box_does_nothing();
    void every_wait_ends_when_the_engine_is_done_with_the_address_data();
    void every_wait_ends_when_the_engine_is_done_with_the_address();
    void enter_on_the_page_shown_neither_reloads_nor_lists_it();
    void two_navigations_to_one_page_list_it_once();
    void a_redirect_leaves_the_final_address_in_the_box_and_its_list();
    void stop_during_an_endless_page_ends_the_wait_with_the_default_pointer();
    void the_page_after_a_stopped_one_is_waited_for_in_full();
    void closing_the_window_during_a_wait_ends_the_process();
    void back_and_forward_on_the_first_page_change_nothing();

private:
    std::unique_ptr<Shell> s;
};

void TestBrowserXvfb::init() {
    // A failed init leaves its window behind; it must be gone before the next
    // one installs its facilities.
    s.reset();
    newRequests();
    s = std::make_unique<Shell>();
    s->window->Form_Load();
    s->window->show();
    QVERIFY(QTest::qWaitForWindowExposed(s->window.get(), kPatienceMs));
    s->browser.createView();
    QVERIFY(s->view() != nullptr);
    QObject::connect(s->view(), &QWebEngineView::loadStarted, [this] { ++s->loadStarts; });
    QTRY_COMPARE_WITH_TIMEOUT(s->browser.LocationURL(), kFirstPage, kPatienceMs);
    QTRY_COMPARE_WITH_TIMEOUT(s->browser.Tag(), QStringLiteral("alldone"), kPatienceMs);
    QTRY_COMPARE_WITH_TIMEOUT(s->view()->title(), QStringLiteral("Option payoffs: first page"),
                              kPatienceMs);
    newRequests();
    s->completions = 0;
    s->loadStarts = 0;
}

void TestBrowserXvfb::cleanup() {
    if (s) {
        QVERIFY(s->facilities.dialogs.shown().isEmpty());
    }
    s.reset();
}

void TestBrowserXvfb::the_first_page_loads_with_the_site_root_listed() {
    QCOMPARE(s->addressBox()->count(), 1);
    QCOMPARE(s->addressBox()->itemText(0), services::sites::siteRoot());
    // The box names the page on screen, which is not listed.
    QCOMPARE(s->addressBox()->currentText(), kFirstPage);
    QVERIFY(gRequestLog.contains(QStringLiteral("GET /wqzmodhtm/demomod.html")));
    QCOMPARE(s->facilities.pointer.shape(), platform::MousePointer::Shape::Default);
}

void TestBrowserXvfb::enter_in_an_empty_box_does_nothing() {
    s->enterAddress(QString());
    Shell::settle();
    QVERIFY(!s->waitCutShort);
    QCOMPARE(s->loadStarts, 0);
    QCOMPARE(newRequests(), QStringList{});
    QCOMPARE(s->browser.LocationURL(), kFirstPage);
    QCOMPARE(s->addressBox()->count(), 1);
    QCOMPARE(s->facilities.pointer.shape(), platform::MousePointer::Shape::Default);
}

void TestBrowserXvfb::every_wait_ends_when_the_engine_is_done_with_the_address_data() {
    QTest::addColumn<QString>("address");
    // Addresses for which the engine starts no load and so reports no end.
    QTest::newRow("a fragment of the page shown") << kFirstPage + QStringLiteral("#top");
    QTest::newRow("a script address") << "javascript:void(0)";
    QTest::newRow("an address that cannot be parsed") << "http://[nowhere";
    QTest::newRow("the blank page") << "about:blank";
}

void TestBrowserXvfb::every_wait_ends_when_the_engine_is_done_with_the_address() {
    QFETCH(QString, address);
    s->enterAddress(address);
    QVERIFY(!s->waitCutShort);
    QCOMPARE(s->facilities.pointer.shape(), platform::MousePointer::Shape::Default);
    QCOMPARE(s->browser.Tag(), QStringLiteral("alldone"));
    // The box shows where the browser is, and the page still answers.
    QCOMPARE(s->addressBox()->currentText(), s->browser.LocationURL());
    s->enterAddress(kSecondPage);
    QVERIFY(!s->waitCutShort);
    QCOMPARE(s->browser.LocationURL(), kSecondPage);
}

void TestBrowserXvfb::enter_on_the_page_shown_neither_reloads_nor_lists_it() {
    s->enterAddress(kFirstPage);
    Shell::settle();
    QVERIFY(!s->waitCutShort);
    QCOMPARE(s->loadStarts, 0);
    QCOMPARE(s->completions, 0);
    QCOMPARE(newRequests(), QStringList{});
    QCOMPARE(s->addressBox()->count(), 1);
    QCOMPARE(s->entriesFor(kFirstPage), 0);
    QCOMPARE(s->facilities.pointer.shape(), platform::MousePointer::Shape::Default);
}

void TestBrowserXvfb::two_navigations_to_one_page_list_it_once() {
    s->enterAddress(kSecondPage);
    QVERIFY(!s->waitCutShort);
    QCOMPARE(s->browser.LocationURL(), kSecondPage);
    QCOMPARE(s->addressBox()->currentText(), kSecondPage);
    QTRY_COMPARE_WITH_TIMEOUT(s->view()->title(), QStringLiteral("Option payoffs: second page"),
                              kPatienceMs);

    s->enterAddress(kFirstPage);
    QVERIFY(!s->waitCutShort);
    QCOMPARE(s->browser.LocationURL(), kFirstPage);

    s->enterAddress(kSecondPage);
    QVERIFY(!s->waitCutShort);
    QCOMPARE(s->browser.LocationURL(), kSecondPage);
    QCOMPARE(s->entriesFor(kSecondPage), 1);
    QCOMPARE(s->entriesFor(kFirstPage), 1);
    QCOMPARE(s->addressBox()->count(), 3);
    QCOMPARE(newRequests().count(QStringLiteral("GET /wqzmodhtm/page2.htm")), 2);
    QCOMPARE(s->facilities.pointer.shape(), platform::MousePointer::Shape::Default);
}

void TestBrowserXvfb::a_redirect_leaves_the_final_address_in_the_box_and_its_list() {
    const QString typed = QStringLiteral("http://www.quillmere.example/redirect-me/");
    const QString reached = QStringLiteral("http://www.quillmere.example/redirected.htm");
    s->enterAddress(typed);
    QVERIFY(!s->waitCutShort);
    QCOMPARE(s->browser.LocationURL(), reached);
    QCOMPARE(s->addressBox()->currentText(), reached);
    QCOMPARE(s->entriesFor(reached), 1);
    QCOMPARE(s->entriesFor(typed), 0);
    QCOMPARE(s->addressBox()->count(), 2);
    const QStringList requests = newRequests();
    QVERIFY(requests.contains(QStringLiteral("GET /redirect-me/")));
    QVERIFY(requests.contains(QStringLiteral("GET /redirected.htm")));
}

void TestBrowserXvfb::stop_during_an_endless_page_ends_the_wait_with_the_default_pointer() {
    // Stop is pressed once the server is holding the page and the window is
    // waiting with the hourglass.
    bool pressed = false;
    platform::MousePointer::Shape whileWaiting = platform::MousePointer::Shape::Default;
    platform::MousePointer::Shape afterStop = platform::MousePointer::Shape::Hourglass;
    QTimer watcher;
    QObject::connect(&watcher, &QTimer::timeout, [&] {
        if (!newRequests().contains(QStringLiteral("GET /never.htm"))) {
            return;
        }
        watcher.stop();
        whileWaiting = s->facilities.pointer.shape();
        pressed = true;
        QTest::mouseClick(s->button("cmdStop"), Qt::LeftButton);
        afterStop = s->facilities.pointer.shape();
    });
    watcher.start(50);
    s->enterAddress(QStringLiteral("http://www.quillmere.example/never.htm"));
    watcher.stop();
    QVERIFY(pressed);
    QVERIFY(!s->waitCutShort);
    QCOMPARE(whileWaiting, platform::MousePointer::Shape::Hourglass);
    QCOMPARE(afterStop, platform::MousePointer::Shape::Default);
    QCOMPARE(s->facilities.pointer.shape(), platform::MousePointer::Shape::Default);
    QCOMPARE(s->browser.Tag(), QStringLiteral("alldone"));
    QVERIFY(!gEnded);
}

void TestBrowserXvfb::the_page_after_a_stopped_one_is_waited_for_in_full() {
    QTimer watcher;
    QObject::connect(&watcher, &QTimer::timeout, [&] {
        if (newRequests().contains(QStringLiteral("GET /never.htm"))) {
            watcher.stop();
            QTest::mouseClick(s->button("cmdStop"), Qt::LeftButton);
        }
    });
    watcher.start(50);
    s->enterAddress(QStringLiteral("http://www.quillmere.example/never.htm"));
    watcher.stop();
    QVERIFY(!s->waitCutShort);

    // The stopped load's own completion must not end the next wait early.
    s->enterAddress(kSecondPage);
    QVERIFY(!s->waitCutShort);
    QCOMPARE(s->browser.LocationURL(), kSecondPage);
    QCOMPARE(s->addressBox()->currentText(), kSecondPage);
    // The engine announces a page's title a moment after its load finished.
    QTRY_COMPARE_WITH_TIMEOUT(s->view()->title(), QStringLiteral("Option payoffs: second page"),
                              kPatienceMs);
}

void TestBrowserXvfb::closing_the_window_during_a_wait_ends_the_process() {
    bool closed = false;
    QTimer watcher;
    QObject::connect(&watcher, &QTimer::timeout, [&] {
        if (newRequests().contains(QStringLiteral("GET /never.htm"))) {
            watcher.stop();
            closed = true;
            s->window->close();
        }
    });
    watcher.start(50);
    s->enterAddress(QStringLiteral("http://www.quillmere.example/never.htm"));
    watcher.stop();
    QVERIFY(closed);
    QVERIFY(!s->waitCutShort);
    QVERIFY(gEnded);
    QVERIFY(!s->window->isVisible());
}

void TestBrowserXvfb::back_and_forward_on_the_first_page_change_nothing() {
    QTest::mouseClick(s->button("cmdBotBack"), Qt::LeftButton);
    QTest::mouseClick(s->button("cmdBotForward"), Qt::LeftButton);
    Shell::settle();
    QCOMPARE(s->browser.LocationURL(), kFirstPage);
    QCOMPARE(s->loadStarts, 0);
    QCOMPARE(newRequests(), QStringList{});
    QCOMPARE(s->addressBox()->count(), 1);
}

int main(int argc, char* argv[]) {
    // The sites come first: the engine learns where they are from its
    // switches, and those are read once, when it starts.
    QProcess sites;
    sites.setProgram(QStringLiteral("python3"));
    sites.setArguments({QStringLiteral(WQZ_SITES_SERVER)});
    sites.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    sites.start();
    QByteArray port;
    if (sites.waitForStarted(kPatienceMs)) {
        while (!sites.canReadLine() && sites.waitForReadyRead(kPatienceMs)) {
        }
        port = sites.readLine().trimmed();
    }
    bool numeric = false;
    port.toUShort(&numeric);
    if (!numeric) {
        std::fprintf(stderr, "the sites server did not start\n");
        sites.kill();
        sites.waitForFinished(kPatienceMs);
        return 1;
    }
    gSites = &sites;

    // Every site host name goes to the loopback server; any other name fails
    // to resolve, so nothing leaves this machine.
    QByteArray rules;
    for (const services::sites::Site site : services::sites::all) {
        rules += "MAP " + services::sites::host(site).toLatin1() + " 127.0.0.1:" + port + ", ";
    }
    rules += "MAP * ~NOTFOUND";
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS", "--host-resolver-rules=\"" + rules + "\"");
    platform::WebEngineBrowser::prepareEngine();

    int result = 0;
    {
        QApplication app(argc, argv);
        app.setAttribute(Qt::AA_Use96Dpi, true);
        TestBrowserXvfb tc;
        QTEST_SET_MAIN_SOURCE_PATH
        result = QTest::qExec(&tc, argc, argv);
    }

    sites.closeWriteChannel();
    if (!sites.waitForFinished(kPatienceMs)) {
        sites.kill();
        sites.waitForFinished(kPatienceMs);
    }
    return result;
}

#include "test_browser_xvfb.moc"
