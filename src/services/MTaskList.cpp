#include "MTaskList.h"

#include "Sites.h"
#include "platform/Browser.h"
#include "platform/Dialogs.h"
#include "platform/EventPump.h"
#include "platform/WindowList.h"

namespace services::MTaskList {

namespace {

using sites::Site;
using sites::siteAddress;

// The launch title's marker, looked for without regard to case.
const QString kLaunchKey = QStringLiteral("wqz=");
// The launch title needs at least this many fields; the last one names the site.
constexpr qsizetype kLaunchFields = 6;

QString helpOn(Site site) {
    return siteAddress(site, sites::modulesFolder(site) + sites::helpPage);
}

QString modulesOn(Site site) {
    return siteAddress(site, sites::modulesFolder(site));
}

QString forumOn(Site site) {
    return siteAddress(site, sites::forumEntry);
}

} // namespace

QString WindowTitles::windowTitleAt(std::int32_t index) const {
    if (index < 1 || index > titles_.size()) {
        return QStringLiteral("Invalid");
    }
    return titles_.at(index - 1);
}

WebAddresses initWebAddresses(platform::WindowList& windows, const QStringList& arguments) {
    WebAddresses addresses;
    // Any argument at all means the program was not started by a launcher
    // page; what the arguments say does not matter here.
    if (arguments.isEmpty()) {
        addresses = readLaunchParameters(windows);
    } else {
        addresses.strHomeURL = siteAddress(Site::Modules, QStringLiteral("/"));
        addresses.strForumURL = forumOn(Site::Schools);
        addresses.strHelpURL = helpOn(Site::Modules);
        addresses.strModuleURL = modulesOn(Site::Modules);
    }
    // Where a site was chosen its modules' folder is known, and the run
    // starts on the module's first page in it.
    if (addresses.strModuleURL.endsWith(u'/')) {
        addresses.strModuleURL += sites::modulePage;
        addresses.strFirstPageURL = addresses.strModuleURL;
    }
    return addresses;
}

WebAddresses readLaunchParameters(platform::WindowList& windows) {
    // Without a launcher that names a site, each menu still reaches its own
    // page of the main site: the help page, the module's contents, and the
    // welcome page, which is also the first page shown.
    WebAddresses addresses;
    addresses.strHelpURL = helpOn(Site::Main);
    addresses.strModuleURL =
        siteAddress(Site::Main, sites::modulesFolder(Site::Main) + sites::contentsPage);
    addresses.strHomeURL =
        siteAddress(Site::Main, sites::modulesFolder(Site::Main) + sites::demoPage);
    addresses.strFirstPageURL = addresses.strHomeURL;
    addresses.strForumURL = siteAddress(Site::Main, sites::boardTopics);

    // An empty list does not fill up by waiting: without an X server or any
    // visible titled window there is nothing to come. It is read like a list
    // without the launch title.
    const WindowTitles titles = listTopWindows(windows);

    for (std::int32_t i = 1; i <= titles.windowTitleCount(); ++i) {
        const QString title = titles.windowTitleAt(i);
        if (!title.toLower().contains(kLaunchKey)) {
            continue;
        }
        QStringList fields;
        if (title.contains(QLatin1Char(';'))) {
            fields = title.split(QLatin1Char(';'));
        } else if (title.contains(QLatin1Char(','))) {
            fields = title.split(QLatin1Char(','));
        } else {
            return addresses;
        }
        if (fields.size() < kLaunchFields) {
            return addresses;
        }
        addresses.schoolCode = fields.at(0).mid(4, 4);
        setSiteAddresses(fields.at(5), addresses);
        addresses.strHomeURL += addresses.schoolCode + sites::schoolIndex;
        break;
    }
    platform::eventPump().doEvents();
    return addresses;
}

void setSiteAddresses(const QString& siteText, WebAddresses& addresses) {
    // A module site's forum, help and module pages; the modules' own site has
    // no forum of its own, its schools use the schools' site's.
    const auto useSite = [&addresses](Site forumSite, Site site) {
        addresses.strForumURL = forumOn(forumSite);
        addresses.strHelpURL = helpOn(site);
        addresses.strModuleURL = modulesOn(site);
    };
    if (siteText.contains(sites::host(Site::Main))) {
        addresses.strModuleURL = modulesOn(Site::Main);
    } else if (siteText.contains(sites::bareHost(Site::Schools))) {
        useSite(Site::Schools, Site::Schools);
    } else if (siteText.contains(sites::bareHost(Site::Modules))) {
        useSite(Site::Schools, Site::Modules);
    } else if (siteText.contains(sites::bareHost(Site::MainModules))) {
        useSite(Site::MainModules, Site::MainModules);
    } else if (siteText.contains(sites::bareHost(Site::OptionLab))) {
        useSite(Site::OptionLab, Site::OptionLab);
    }
    addresses.strHomeURL = siteAddress(Site::Schools, sites::schoolsFolder);
}

WindowTitles listTopWindows(platform::WindowList& windows) {
    return WindowTitles(windows.topLevelTitles());
}

void openStudentForum(platform::Browser& browser, const WebAddresses& addresses) {
    if (!addresses.strForumURL.isEmpty()) {
        browser.navigate(addresses.strForumURL);
    } else {
        platform::dialogs().msgBox(
            QStringLiteral("Forum not available.  Please have the instructor contact WQZ about "
                           "getting access to the forum"),
            platform::Dialogs::Buttons::Ok, platform::Dialogs::Icon::None);
    }
    platform::eventPump().doEvents();
}

void openInstructorForumSetup(platform::Browser& browser, const WebAddresses& addresses) {
    // The main site and MainModules share a host word, so a forum on
    // MainModules is also set up on the main site's administration page.
    const QString& forum = addresses.strForumURL;
    if (forum.contains(sites::word(Site::Main))) {
        browser.navigate(siteAddress(Site::Main, sites::boardAdmin));
    } else if (forum.contains(sites::word(Site::Schools)) ||
               forum.contains(sites::word(Site::Modules))) {
        browser.navigate(siteAddress(Site::Schools, sites::moduleSession));
    } else {
        platform::dialogs().msgBox(QStringLiteral("Forum not available.  Please contact WQZ if "
                                                  "you want to create a discussion forum"),
                                   platform::Dialogs::Buttons::Ok, platform::Dialogs::Icon::None);
    }
    platform::eventPump().doEvents();
}

} // namespace services::MTaskList
