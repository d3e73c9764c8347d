#include "BrowserStart.h"
#include "CommandLine.h"
#include "StartupTrace.h"
#include "platform/FailureGuard.h"
#include "platform/GuardedApplication.h"
#include "platform/QtClipboard.h"
#include "platform/QtDialogs.h"
#include "platform/QtEventPump.h"
#include "platform/QtMousePointer.h"
#include "platform/SingleInstance.h"
#include "platform/ToolkitWarmUp.h"
#include "platform/WebEngineBrowser.h"
#include "platform/X11WindowList.h"
#include "services/MTaskList.h"
#include "shell/frmLumo.h"
#include "workbench/control/wqzOptionPayoffs.h"

#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <memory>

namespace {

platform::SingleInstance* gInstance = nullptr;

// Ends at once, as the window does, with its socket taken away first: a later
// start then finds no socket rather than one nobody answers on.
void endWithoutSocket() {
    if (gInstance) {
        gInstance->stopListening();
    }
    shell::frmLumo::endAtOnce();
}

// A window is open but has not answered: it may be busy with a long
// valuation. The student chooses; a second window is the last resort, since
// two windows saving one file write over each other.
enum class NoAnswer { TryAgain, SecondWindow, GiveUp };
NoAnswer askAfterNoAnswer() {
    QMessageBox box(QMessageBox::Question, QStringLiteral("WQZ Option Payoffs Tutorial"),
                    QStringLiteral("The tutorial's window is open but has not answered. It may be "
                                   "busy for a moment."),
                    QMessageBox::Cancel);
    box.setInformativeText(QStringLiteral(
        "Try again to open what you asked for in that window, or open a second window. Two "
        "windows that save the same position write over each other's changes."));
    QPushButton* again = box.addButton(QStringLiteral("&Try Again"), QMessageBox::AcceptRole);
    QPushButton* second =
        box.addButton(QStringLiteral("Open a &Second Window"), QMessageBox::ActionRole);
    box.setDefaultButton(again);
    box.exec();
    if (box.clickedButton() == again) {
        return NoAnswer::TryAgain;
    }
    return box.clickedButton() == second ? NoAnswer::SecondWindow : NoAnswer::GiveUp;
}

} // namespace

int main(int argc, char* argv[]) {
    std::unique_ptr<app::StartupTrace> trace;
    if (app::StartupTrace::wanted()) {
        trace = std::make_unique<app::StartupTrace>();
    }
    if (trace) {
        trace->mark("main");
    }
    platform::warmup::beforeToolkit();
    platform::WebEngineBrowser::prepareEngine();
    platform::GuardedApplication app(argc, argv);
    // A start while the window runs hands it the files and ends, before it
    // has built anything of its own.
    const app::CommandLine command = app::readCommandLine(app.arguments().mid(1));
    platform::SingleInstance instance(
        platform::SingleInstance::socketPath(QStringLiteral(WQZ_APP_ID)));
    using Start = platform::SingleInstance::Start;
    Start start = instance.start(command.toOpen, command.newWindow);
    while (start == Start::NoAnswer) {
        const NoAnswer choice = askAfterNoAnswer();
        if (choice == NoAnswer::GiveUp) {
            return 0;
        }
        if (choice == NoAnswer::SecondWindow) {
            break;
        }
        start = instance.start(command.toOpen, command.newWindow);
    }
    if (start == Start::HandedOver) {
        return 0;
    }
    // Only for a start that builds a window: the warm-up's threads outlive
    // main(), and a start that ends at once would take the toolkit from
    // under them.
    platform::warmup::afterToolkit();
    gInstance = &instance;
    if (trace) {
        trace->mark("toolkit");
    }
    // Names the installed desktop entry, so the desktop shows its name and
    // icon for the window.
    QGuiApplication::setDesktopFileName(QStringLiteral(WQZ_APP_ID));
    // The folders of the student's exercise progress and settings are named
    // after the program, whatever name it was started by; the exercises'
    // folder keeps the name it has always had.
    QCoreApplication::setApplicationName(QStringLiteral("wqzlumo"));
    platform::QtDialogs dialogs;
    platform::QtMousePointer pointer;
    platform::QtEventPump pump;
    platform::installDialogs(&dialogs);
    platform::installMousePointer(&pointer);
    platform::installEventPump(&pump);

    platform::QtClipboard clipboard;
    platform::WebEngineBrowser browser(platform::WebEngineBrowser::defaultEnginePlugin());

    // A failure while the window is being built leaves nothing to work with:
    // say what it was and end.
    std::unique_ptr<shell::frmLumo> window;
    try {
        platform::X11WindowList windows;
        auto addresses = services::MTaskList::initWebAddresses(windows, app.arguments().mid(1));
        window = std::make_unique<shell::frmLumo>(browser, clipboard, std::move(addresses),
                                                  &endWithoutSocket);
        window->Form_Load();
        if (trace) {
            trace->mark("window-built");
        }
        window->show();
    } catch (const std::exception& failure) {
        platform::showUnhandled(failure);
        return 1;
    }
    // Opened once the window is up, so that what cannot be opened is told
    // over it and the program goes on as started without files.
    const auto openAll = [&window](const QStringList& toOpen) {
        for (const QString& argument : toOpen) {
            window->openFromOutside(argument);
        }
    };
    QTimer::singleShot(0, window.get(),
                       platform::guarded([&openAll, &command] { openAll(command.toOpen); }));
    QObject::connect(&instance, &platform::SingleInstance::received, window.get(),
                     platform::guarded([&window, &openAll](const QStringList& toOpen) {
                         if (window->isMinimized()) {
                             window->showNormal();
                         }
                         window->raise();
                         window->activateWindow();
                         openAll(toOpen);
                     }));
    QWidget* plot = window->workbench()->findChild<QWidget*>(QStringLiteral("pbox"));
    app::BrowserStart browserStart(browser, plot ? plot : window->workbench(), trace.get());
    if (trace) {
        trace->watch(browser);
    }
    return app.exec();
}
