#include "MTaskList.h"

#include "Configuration.h"
#include "platform/Dialogs.h"
#include "platform/EventPump.h"

#include <utility>

namespace MTaskList {

QString strHomeURL;
QString strHelpURL;
QString strModuleURL;
QString strForumURL;
QString schoolCode;

namespace {

// The titles of the last snapshot, in the desktop's order.
QStringList gTitles;

// The launch title's marker, looked for without regard to case.
const QString kLaunchKey = QStringLiteral("wqz=");
// The launch title needs at least this many fields; the last one names the site.
constexpr qsizetype kLaunchFields = 6;

const QString kForumPath = QStringLiteral("/public/forum/enterforum.cfm");
const QString kHelpPath = QStringLiteral("/public/wqzmodhtm/howtouse.htm");
const QString kModulePath = QStringLiteral("/public/wqzmodhtm/");

QString siteAddress(int site, const QString& path) {
    return QStringLiteral("http://") + configuration::siteHost[site] + path;
}

// A site's host name without its "www.": launch titles may name it either way.
QString bareHost(int site) {
    QString host = configuration::siteHost[site];
    if (host.startsWith(QStringLiteral("www."))) {
        host.remove(0, 4);
    }
    return host;
}

} // namespace

void initWebAddresses(platform::WindowList& windows, const QStringList& arguments) {
    strHomeURL = siteAddress(3, QStringLiteral("/"));
    strForumURL = siteAddress(2, kForumPath);
    strHelpURL = siteAddress(3, kHelpPath);
    strModuleURL = siteAddress(3, kModulePath);
    // Any argument at all means the program was not started by a launcher
    // page; what the arguments say does not matter here.
    if (arguments.isEmpty()) {
        readLaunchParameters(windows);
    }
}

void readLaunchParameters(platform::WindowList& windows) {
    strHelpURL = siteAddress(1, QStringLiteral("/wqzmodhtm/demomod.html"));
    strModuleURL = strHelpURL;
    strHomeURL = strHelpURL;
    strForumURL = siteAddress(1, QStringLiteral("/discus/messages/board-topics.html"));

    // An empty list does not fill up by waiting: without an X server or any
    // visible titled window there is nothing to come. It is read like a list
    // without the launch title.
    listTopWindows(windows);

    for (const QString& title : std::as_const(gTitles)) {
        if (!title.toLower().contains(kLaunchKey)) {
            continue;
        }
        QStringList fields;
        if (title.contains(QLatin1Char(';'))) {
            fields = title.split(QLatin1Char(';'));
        } else if (title.contains(QLatin1Char(','))) {
            fields = title.split(QLatin1Char(','));
        } else {
            return;
        }
        if (fields.size() < kLaunchFields) {
            return;
        }
        schoolCode = fields.at(0).mid(4, 4);
        setSiteAddresses(fields.at(5));
        strHomeURL = strHomeURL + schoolCode + QStringLiteral("/index.htm");
        break;
    }
    platform::eventPump().doEvents();
}

void setSiteAddresses(const QString& siteText) {
    // A module site's forum, help and module pages; site 3 has no forum of
    // its own, its schools use site 2's.
    const auto useSite = [](int forumSite, int site) {
        strForumURL = siteAddress(forumSite, kForumPath);
        strHelpURL = siteAddress(site, kHelpPath);
        strModuleURL = siteAddress(site, kModulePath);
    };
    if (siteText.contains(configuration::siteHost[1])) {
        strModuleURL = siteAddress(1, QStringLiteral("/wqzmodhtm/"));
    } else if (siteText.contains(bareHost(2))) {
        useSite(2, 2);
    } else if (siteText.contains(bareHost(3))) {
        useSite(2, 3);
    } else if (siteText.contains(bareHost(4))) {
        useSite(4, 4);
    } else if (siteText.contains(bareHost(5))) {
        useSite(5, 5);
    }
    strHomeURL = siteAddress(2, QStringLiteral("/public/schools/"));
}

void listTopWindows(platform::WindowList& windows) {
    gTitles = windows.topLevelTitles();
}

QString windowTitleAt(std::int32_t index) {
    if (index < 1 || index > gTitles.size()) {
        return QStringLiteral("Invalid");
    }
    return gTitles.at(index - 1);
}

std::int32_t windowTitleCount() {
    return std::int32_t(gTitles.size());
}

void openStudentForum(platform::Browser& browser) {
    if (!strForumURL.isEmpty()) {
        browser.navigate(strForumURL);
    } else {
        platform::dialogs().msgBox(
            QStringLiteral("Forum not available.  Please have the instructor contact WQZ about "
                           "getting access to the forum"),
            platform::Dialogs::Buttons::Ok, platform::Dialogs::Icon::None);
    }
    platform::eventPump().doEvents();
}

void openInstructorForumSetup(platform::Browser& browser) {
    // Sites 1 and 4 share a host word, so a forum on site 4 is also set up on
    // site 1's administration page.
    if (strForumURL.contains(configuration::siteWord[1])) {
        browser.navigate(siteAddress(1, QStringLiteral("/discus1/admin.html")));
    } else if (strForumURL.contains(configuration::siteWord[2]) ||
               strForumURL.contains(configuration::siteWord[3])) {
        browser.navigate(siteAddress(2, QStringLiteral("/Public/schools/modsession.cfm")));
    } else {
        platform::dialogs().msgBox(QStringLiteral("Forum not available.  Please contact WQZ if "
                                                  "you want to create a discussion forum"),
                                   platform::Dialogs::Buttons::Ok, platform::Dialogs::Icon::None);
    }
    platform::eventPump().doEvents();
}

} // namespace MTaskList
