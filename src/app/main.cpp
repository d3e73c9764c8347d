#include "platform/FailureGuard.h"
#include "platform/QtDialogs.h"
#include "platform/QtEventPump.h"
#include "platform/QtMousePointer.h"
#include "shell/frmLumo.h"

#include <QApplication>

#include <memory>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    platform::QtDialogs dialogs;
    platform::QtMousePointer pointer;
    platform::QtEventPump pump;
    platform::installDialogs(&dialogs);
    platform::installMousePointer(&pointer);
    platform::installEventPump(&pump);

    // A failure while the window is being built leaves nothing to work with:
    // say what it was and end.
    std::unique_ptr<frmLumo> window;
    try {
        window = std::make_unique<frmLumo>();
        window->show();
    } catch (const platform::RunTimeError& error) {
        platform::dialogs().msgBox(platform::unhandledErrorText(error),
                                   platform::Dialogs::Buttons::Ok,
                                   platform::Dialogs::Icon::Critical);
        return 1;
    }
    return app.exec();
}
