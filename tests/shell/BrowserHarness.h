#pragma once

// The main window with the real browser engine on a virtual display: the
// shared part of the tests that drive it as a user does.

#include "TypeAddress.h"
#include "fakes/FakeClipboard.h"
#include "fakes/FakePlatform.h"
#include "fakes/FakeWindowList.h"
#include "offline/SiteServer.h"
#include "platform/QtEventPump.h"
#include "platform/WebEngineBrowser.h"
#include "services/MTaskList.h"
#include "shell/frmLumo.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWebEngineView>

#include <cstdio>
#include <memory>

#ifndef WQZ_ENGINE_PLUGIN
#error "WQZ_ENGINE_PLUGIN must name the engine's plugin"
#endif

namespace harness {

// Every wait in these tests ends by this time, whatever the engine does.
constexpr int kPatienceMs = 20000;

inline bool gEnded = false;
inline void recordEnd() {
    gEnded = true;
}

// Scripted message boxes and pointer, but the real event pump: a wait for a
// page really sleeps until the engine reports.
struct Facilities {
    Facilities() {
        platform::installDialogs(&dialogs);
        platform::installMousePointer(&pointer);
        platform::installEventPump(&pump);
    }
    ~Facilities() {
        platform::installDialogs(nullptr);
        platform::installMousePointer(nullptr);
        platform::installEventPump(nullptr);
    }
    Facilities(const Facilities&) = delete;
    Facilities& operator=(const Facilities&) = delete;

    fakes::FakeDialogs dialogs;
    fakes::FakeMousePointer pointer;
    platform::QtEventPump pump;
};

struct Shell {
    // `titles` are the desktop's windows the start-up looks through.
    // The window keeps the exercises' progress under `dataHome`, the run's
    // own scratch folder unless a test names another, and its settings in
    // the scratch folder; never the user's.
    explicit Shell(const QStringList& titles = {}, const QString& dataHome = {}) {
        qputenv("XDG_DATA_HOME", (dataHome.isEmpty() ? scratch.path() : dataHome).toLocal8Bit());
        qputenv("XDG_CONFIG_HOME", scratch.filePath(QStringLiteral("config")).toLocal8Bit());
        windows.titles = titles;
        addresses = services::MTaskList::initWebAddresses(windows, QStringList{});
        window = std::make_unique<shell::frmLumo>(browser, clipboard, addresses, &recordEnd);
        gEnded = false;
        QObject::connect(&browser, &platform::Browser::DownloadComplete, [this] { ++completions; });
    }

    QWebEngineView* view() { return browser.widget()->findChild<QWebEngineView*>(); }
    QComboBox* addressBox() const {
        return window->findChild<QComboBox*>(QStringLiteral("cmbNavigate"));
    }
    QPushButton* button(const char* name) const {
        return window->findChild<QPushButton*>(QString::fromLatin1(name));
    }
    int entriesFor(const QString& address) const {
        int n = 0;
        for (int i = 0; i < addressBox()->count(); ++i) {
            n += addressBox()->itemText(i) == address ? 1 : 0;
        }
        return n;
    }

    // Types into the address box and presses Enter, as a user does. Should the
    // navigation's wait never end, it is ended here after a long while and
    // the test learns so from waitCutShort.
    void enterAddress(const QString& text, Qt::Key key = Qt::Key_Return) {
        QTimer rescue;
        rescue.setSingleShot(true);
        QObject::connect(&rescue, &QTimer::timeout, [this] {
            waitCutShort = true;
            browser.setTag(QStringLiteral("alldone"));
        });
        rescue.start(kPatienceMs);
        QVERIFY(typing::typeAddress(addressBox(), text, key));
        rescue.stop();
    }

    // Gives a navigation that should not happen the time to show itself.
    static void settle() { QTest::qWait(500); }

    QTemporaryDir scratch;
    Facilities facilities;
    platform::WebEngineBrowser browser{QStringLiteral(WQZ_ENGINE_PLUGIN)};
    fakes::FakeClipboard clipboard;
    fakes::FakeWindowList windows;
    services::MTaskList::WebAddresses addresses;
    std::unique_ptr<shell::frmLumo> window;
    int completions = 0;
    int loadStarts = 0;
    bool waitCutShort = false;
};

// The whole of a test's main() whose pages come from the program's own
// server, with no network at all: any name the program's own rules do not
// claim fails.
template <typename Test> int offlineMain(int argc, char* argv[]) {
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS", "--host-resolver-rules=\"MAP * ~NOTFOUND\"");
    platform::WebEngineBrowser::prepareEngine();
    offline::SiteServer sites;
    if (!sites.start()) {
        std::fprintf(stderr, "the bundled sites server did not start\n");
        return 1;
    }
    platform::WebEngineBrowser::mapHostsFirst(sites.hostResolverRules().toLatin1());
    QApplication app(argc, argv);
    app.setAttribute(Qt::AA_Use96Dpi, true);
    Test tc;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&tc, argc, argv);
}

} // namespace harness
