#pragma once

#include <QString>

// The maker's addresses. They live on reserved example domains, so the program
// never sends traffic to somebody else's server; tests map them to loopback.
//
// Sites 1 and 4 share their host word and differ in the top-level domain; no
// other two sites share a word and no host word contains another. The FTP
// server is site 2's host.
namespace configuration {

// Host names of the five web sites, site 1 first.
inline const QString siteHost[6] = {
    QString(),
    QStringLiteral("www.quillmere.example"),  // 1: main site
    QStringLiteral("www.wqzschools.example"), // 2: schools, forum entry, FTP
    QStringLiteral("www.wqzmodules.example"), // 3: default module and help pages
    QStringLiteral("www.quillmere.test"),     // 4: further module site
    QStringLiteral("www.optionlab.example"),  // 5: further module site
};

// The host word of a site: its host name without "www." and the domain.
inline const QString siteWord[6] = {
    QString(),
    QStringLiteral("quillmere"),
    QStringLiteral("wqzschools"),
    QStringLiteral("wqzmodules"),
    QStringLiteral("quillmere"),
    QStringLiteral("optionlab"),
};

// The component libraries' FTP server: site 2's host.
inline const QString ftpHost = siteHost[2];

// The account on the FTP server. The password is kept as two words and the
// character between them and joined only when it is used, so that it never
// stands whole in the program file. Servers other than ftpHost have the words
// the other way round.
inline const QString ftpUser = QStringLiteral("wqzlib");
inline const QString ftpPasswordWords[2] = {QStringLiteral("quill"), QStringLiteral("mere42")};
inline constexpr char16_t ftpPasswordSeparator = u'#';

// How page reads name themselves to web servers.
inline const QString pageClientName = QStringLiteral("wqzPageReader");

// The main site's root, the first entry of the address box's list.
inline const QString siteRoot = QStringLiteral("http://www.quillmere.example/");

// Where users report failures; shown in the general error message.
inline const QString supportAddress = QStringLiteral("support@quillmere.example");

} // namespace configuration
