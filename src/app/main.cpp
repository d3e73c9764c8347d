#include "FirstPaint.h"
#include "StartupTrace.h"
#include "offline/SiteServer.h"
#include "platform/FailureGuard.h"
#include "platform/QtClipboard.h"
#include "platform/QtDialogs.h"
#include "platform/QtEventPump.h"
#include "platform/QtMousePointer.h"
#include "platform/WebEngineBrowser.h"
#include "platform/X11WindowList.h"
#include "shell/frmLumo.h"
#include "workbench/wqzOptionPayoffs.h"

#include <QApplication>
#include <QTimer>

#include <memory>

int main(int argc, char* argv[]) {
    std::unique_ptr<StartupTrace> trace;
    if (StartupTrace::wanted()) {
        trace = std::make_unique<StartupTrace>();
    }
    platform::WebEngineBrowser::prepareEngine();
    QApplication app(argc, argv);
    platform::QtDialogs dialogs;
    platform::QtMousePointer pointer;
    platform::QtEventPump pump;
    platform::installDialogs(&dialogs);
    platform::installMousePointer(&pointer);
    platform::installEventPump(&pump);

    platform::QtClipboard clipboard;
    platform::X11WindowList windows;
    platform::WebEngineBrowser browser(platform::WebEngineBrowser::defaultEnginePlugin());
    // The program's own copy of the maker's pages, answered on loopback under
    // the sites' real addresses, so the tutorial reads the same with or
    // without a network. Should it fail to start, the pages come from the
    // network as before. Like the engine, it waits for the first paint.
    std::unique_ptr<offline::SiteServer> sites;
    auto startBrowser = [&] {
        if (sites) {
            return;
        }
        sites = std::make_unique<offline::SiteServer>();
        if (sites->start()) {
            platform::WebEngineBrowser::mapHostsFirst(sites->hostResolverRules().toLatin1());
        }
        browser.createView();
    };
    const QStringList arguments = app.arguments().mid(1);

    // A failure while the window is being built leaves nothing to work with:
    // say what it was and end.
    std::unique_ptr<frmLumo> window;
    try {
        window = std::make_unique<frmLumo>(browser, windows, clipboard, arguments);
        window->Form_Load();
        window->show();
    } catch (const platform::RunTimeError& error) {
        platform::dialogs().msgBox(platform::unhandledErrorText(error),
                                   platform::Dialogs::Buttons::Ok,
                                   platform::Dialogs::Icon::Critical);
        return 1;
    }
    // The workbench is on screen first; the browser engine comes up right
    // after and starts the navigation the start-up asked for. Creating the
    // engine's view takes a few hundred milliseconds and holds up everything
    // queued behind it, so it waits until the curve has been painted; should
    // no paint come (a window kept off screen), it starts a little later anyway.
    QWidget* plot = window->workbench()->findChild<QWidget*>(QStringLiteral("pbox"));
    if (!plot) {
        plot = window->workbench();
    }
    FirstPaint painted(plot, [&startBrowser, &trace] {
        if (trace) {
            trace->curvePainted();
        }
        startBrowser();
    });
    QTimer::singleShot(1000, &browser, startBrowser);
    if (trace) {
        trace->watch(browser);
    }
    return app.exec();
}
