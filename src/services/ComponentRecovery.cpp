#include "ComponentRecovery.h"

#include "os/Folders.h"
#include "platform/Dialogs.h"
#include "platform/EventPump.h"
#include "platform/MousePointer.h"
#include "wqzFTP.h"

#include <utility>

namespace services {

namespace {

using platform::Dialogs;
using Shape = platform::MousePointer::Shape;

struct Component {
    QString keyword;
    QString fileName;
};

// In the order the keywords are tried.
const Component kComponents[] = {
    {QStringLiteral("rulk"), QStringLiteral("wqzrulk32.dll")},
    {QStringLiteral("vex"), QStringLiteral("kovex.dll")},
    {QStringLiteral("wqzim"), QStringLiteral("wqzim32.dll")},
    {QStringLiteral("Lantern"), QStringLiteral("wqzTowerLantern.dll")},
};

QString componentNamedIn(const QString& description) {
    for (const Component& component : kComponents) {
        if (description.contains(component.keyword, Qt::CaseSensitive)) {
            return component.fileName;
        }
    }
    return QString();
}

int say(const QString& text, Dialogs::Buttons buttons, Dialogs::Icon icon) {
    return platform::dialogs().msgBox(text, buttons, icon);
}

} // namespace

ComponentRecovery::ComponentRecovery(const QString& systemFolder, os::Routes routes)
    : systemFolder_(systemFolder), routes_(std::move(routes)) {
    if (!systemFolder_.isEmpty() && !systemFolder_.endsWith(u'/')) {
        systemFolder_ += u'/';
    }
}

void ComponentRecovery::recoverMissingComponent(const QString& description) const {
    const QString file = componentNamedIn(description);
    if (file.isEmpty()) {
        say(QStringLiteral("An error has occurred, a necessary file could not be found.  Please "
                           "contact WQZ for support.  The system error is: ") +
                description,
            Dialogs::Buttons::Ok, Dialogs::Icon::Critical);
        return;
    }

    const int answer = say(QStringLiteral("A required file, ") + file +
                               QStringLiteral(", could not be located.  Do you want to download "
                                              "it from the internet?"),
                           Dialogs::Buttons::YesNo, Dialogs::Icon::None);
    // Only a plain Yes reaches out to the server.
    if (answer != Dialogs::answerYes) {
        say(QStringLiteral("The file ") + file +
                QStringLiteral(" is necessary.  Please download it from the Help menu of this "
                               "module"),
            Dialogs::Buttons::Ok, Dialogs::Icon::Critical);
        platform::mousePointer().setShape(Shape::Default);
        return;
    }

    // The box only asks the user to be patient; either button starts.
    say(QStringLiteral("Click to start the download.  Please wait until you are notified that the "
                       "download is complete."),
        Dialogs::Buttons::OkCancel, Dialogs::Icon::None);
    platform::mousePointer().setShape(Shape::Hourglass);
    const bool loaded = fetchComponentFile(file);
    platform::mousePointer().setShape(Shape::Default);
    if (loaded) {
        say(QStringLiteral("File successfully loaded.  You can now continue with your analysis "
                           "(you may have to click the button again)"),
            Dialogs::Buttons::Ok, Dialogs::Icon::None);
    } else {
        say(QStringLiteral("The file ") + file +
                QStringLiteral(" could not be downloaded.  Please try to download it from the Help "
                               "menu of this module"),
            Dialogs::Buttons::Ok, Dialogs::Icon::Critical);
    }
    platform::eventPump().doEvents();
    platform::mousePointer().setShape(Shape::Default);
}

bool ComponentRecovery::fetchComponentFile(const QString& fileName) const {
    QString folder = getSystemFolder();
    if (os::folders::isReadOnly(folder)) {
        folder = getTempFolder();
        if (os::folders::isReadOnly(folder)) {
            return false;
        }
    }
    wqzFTP ftp(routes_);
    if (!ftp.getFile(fileName, folder + fileName)) {
        return false;
    }
    return ftp.loadFile();
}

QString ComponentRecovery::getTempFolder() const {
    return os::folders::tempFolder();
}

} // namespace services
