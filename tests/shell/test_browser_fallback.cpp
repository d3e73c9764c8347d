// The browser when its engine plugin cannot be loaded: the workbench must go
// on, the browser area must say why, and no navigation may wait forever.
#include "TypeAddress.h"
#include "fakes/FakeClipboard.h"
#include "fakes/FakePlatform.h"
#include "fakes/FakeWindowList.h"
#include "platform/WebEngineBrowser.h"
#include "services/MTaskList.h"
#include "shell/frmLumo.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <memory>

class TestBrowserFallback : public QObject {
    Q_OBJECT
private slots:
    void a_missing_engine_ends_the_waiting_navigation_and_says_why_data();
    void a_missing_engine_ends_the_waiting_navigation_and_says_why();
    void the_window_starts_and_navigates_without_an_engine();

private:
    QTemporaryDir dir_;
};

void TestBrowserFallback::a_missing_engine_ends_the_waiting_navigation_and_says_why_data() {
    QTest::addColumn<QString>("plugin");
    QTest::newRow("no such file") << dir_.filePath(QStringLiteral("libnothing.so"));
    QFile text(dir_.filePath(QStringLiteral("libtext.so")));
    QVERIFY(text.open(QIODevice::WriteOnly));
    text.write("not a library\n");
    text.close();
    QTest::newRow("not a library") << text.fileName();
    // A real shared library that lacks the engine's entry point.
    QTest::newRow("no entry point") << QStringLiteral("libm.so.6");
}

void TestBrowserFallback::a_missing_engine_ends_the_waiting_navigation_and_says_why() {
    QFETCH(QString, plugin);
    fakes::FakePlatform facilities;
    platform::WebEngineBrowser browser(plugin);
    std::unique_ptr<QWidget> area(browser.widget());
    QSignalSpy completions(&browser, &platform::Browser::DownloadComplete);
    QSignalSpy progress(&browser, &platform::Browser::ProgressChange);

    const QString address = QStringLiteral("http://www.quillmere.example/wqzLumo/page1.htm");
    browser.navigate(address);
    QCOMPARE(completions.count(), 0);
    browser.createView();

    QVERIFY(!browser.hasView());
    QVERIFY(!browser.engineError().isEmpty());
    QCOMPARE(completions.count(), 1);
    QCOMPARE(progress.count(), 1);
    QCOMPARE(progress.at(0).at(0).toInt(), -1);
    QCOMPARE(browser.LocationURL(), address);
    auto* message = area->findChild<QLabel*>(QStringLiteral("engineError"));
    QVERIFY(message);
    QVERIFY(message->text().startsWith(QStringLiteral("The web browser could not be started")));
    QVERIFY(message->text().endsWith(browser.engineError()));

    // Every later request ends at once; a second start does not add a
    // second message.
    browser.navigate(address);
    QCOMPARE(completions.count(), 2);
    QVERIFY(!browser.goBack());
    QVERIFY(!browser.goForward());
    browser.stop();
    QCOMPARE(completions.count(), 2);
    browser.createView();
    QCOMPARE(area->findChildren<QLabel*>().size(), 1);
}

void TestBrowserFallback::the_window_starts_and_navigates_without_an_engine() {
    fakes::FakePlatform facilities;
    platform::WebEngineBrowser browser(dir_.filePath(QStringLiteral("libnothing.so")));
    fakes::FakeClipboard clipboard;
    fakes::FakeWindowList windows;
    // The settings of a first start, never the user's.
    qputenv("XDG_CONFIG_HOME", dir_.filePath(QStringLiteral("config")).toLocal8Bit());
    shell::frmLumo window(browser, clipboard, services::MTaskList::initWebAddresses(windows, {}));
    window.Form_Load();
    window.show();
    browser.createView();
    // The start-up's own navigation has ended like a failed one.
    QCOMPARE(browser.Tag(), QStringLiteral("alldone"));
    QCOMPARE(facilities.pointer.shape(), platform::MousePointer::Shape::Default);

    // Should a wait not end by itself, this ends it and the test fails.
    bool rescued = false;
    QTimer rescue;
    rescue.setSingleShot(true);
    QObject::connect(&rescue, &QTimer::timeout, [&] {
        rescued = true;
        browser.setTag(QStringLiteral("alldone"));
    });
    rescue.start(5000);
    auto* box = window.findChild<QComboBox*>(QStringLiteral("cmbNavigate"));
    QVERIFY(box);
    const QString address = QStringLiteral("http://www.wqzmodules.example/howtouse.htm");
    QVERIFY(typing::typeAddress(box, address));

    QVERIFY(!rescued);
    QCOMPARE(box->currentText(), address);
    QCOMPARE(box->findText(address), box->count() - 1);
    QCOMPARE(facilities.pointer.shape(), platform::MousePointer::Shape::Default);
    QVERIFY(facilities.dialogs.shown().isEmpty());
}

QTEST_MAIN(TestBrowserFallback)
#include "test_browser_fallback.moc"
