#pragma once

#include <QString>
#include <QStringView>

#include <array>
#include <optional>

// The maker's five web sites: what each is for, its host name, and where the
// pages the program opens live on it. They use reserved example domains, so
// the program never sends traffic to somebody else's server; tests map the
// names to loopback.
//
// Main and MainModules share their host word and differ in the top-level
// domain; no other two sites share a word and no host word contains another.
// Choosing a site by a launch title's text and the instructor's forum page
// both rest on these relations.
namespace services::sites {

enum class Site {
    // Fallback pages, the discussion board; its root is listed in the address box.
    Main = 1,
    // The schools' home pages, the forum entry, the module session page, the FTP server.
    Schools = 2,
    // The default module and help pages.
    Modules = 3,
    // Further module sites.
    MainModules = 4,
    OptionLab = 5,
};

inline constexpr std::array<Site, 5> all = {Site::Main, Site::Schools, Site::Modules,
                                            Site::MainModules, Site::OptionLab};

// The host name, "www." + word + "." + top-level domain.
QString host(Site site);
// The host name without "www.": launch titles may name a site either way.
QString bareHost(Site site);
// The host word: the host name without "www." and the top-level domain.
QString word(Site site);
// The site whose host name `name` is, in any case, with or without a port or
// a trailing dot; nothing for any other name.
std::optional<Site> siteNamed(QStringView name);

// "http://" + the site's host + path.
QString siteAddress(Site site, const QString& path);
// The main site's root, the address box's first entry.
QString siteRoot();

// The modules' folder, ending with "/": "/wqzmodhtm/" on the main site,
// "/public/wqzmodhtm/" on the module sites. Every site keeps the same pages there.
QString modulesFolder(Site site);
// Pages in the modules' folder.
inline const QString helpPage = QStringLiteral("howtouse.htm");
inline const QString demoPage = QStringLiteral("demomod.html");
// This module's tutorial pages, in the modules' folder, the first of them and
// the page that lists them all.
inline const QString tutorialFolder = QStringLiteral("wqzLumo/");
inline const QString modulePage = tutorialFolder + QStringLiteral("page1.htm");
inline const QString contentsPage = tutorialFolder + QStringLiteral("contents.htm");

// The schools' home pages: folder + school code + schoolIndex.
inline const QString schoolsFolder = QStringLiteral("/public/schools/");
inline const QString schoolIndex = QStringLiteral("/index.htm");
// The forum's pages.
inline const QString forumEntry = QStringLiteral("/public/forum/enterforum.cfm");
inline const QString boardTopics = QStringLiteral("/discus/messages/board-topics.html");
inline const QString boardAdmin = QStringLiteral("/discus1/admin.html");
inline const QString moduleSession = QStringLiteral("/Public/schools/modsession.cfm");

} // namespace services::sites
