#pragma once

#include "services/Sites.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QStringView>

namespace offline {

// One answer of the maker's sites.
struct Reply {
    int status = 200;
    QByteArray contentType;
    QByteArray body;
    // The absolute address a redirect sends the browser to; empty otherwise.
    QByteArray location;
};

// The pages that ship with the program, answered the way the maker's five web
// sites would answer for them, so that the browser column works without a
// network.
//
// The main site keeps the discussion board; the four module sites are laid
// out alike, with the forum entry page and the schools' home pages. The
// modules' folder (the module wqzLumo, the help page and the demonstration
// page) is the same on every site.
//
// Everything is read from the program's resources once, in the constructor;
// answer() only looks things up, so one bundle can serve several threads at
// once. No address can reach a file outside the bundle: nothing but the
// in-memory copy is ever read.
class SiteBundle {
public:
    SiteBundle();

    // The answer to a GET of `target` (the request line's path and query as
    // sent, still percent-encoded) on the site that `host` names.
    //
    // A folder address redirects to the folder's first page; a school's folder
    // under /public/schools/ to its index.htm, which names the school. Any other
    // address of the maker's sites gets a 404 whose page says it is not
    // available offline and links back to the module's first page, and so does
    // a path with a "." or ".." segment (encoded or not), an encoded slash or
    // backslash, or a control character. A host that is none of the five gets
    // a bare 404.
    Reply answer(QStringView host, QByteArrayView target) const;

    // One address for every file of the bundle that a site serves as it is, so
    // that a check can reach each of them.
    QStringList addresses() const;

private:
    using Site = services::sites::Site;
    struct Layout;
    static Layout layoutOf(Site site);

    Reply file(const QString& bundlePath) const;
    Reply redirect(Site site, const QByteArray& folderPath, const QString& firstPage) const;
    Reply schoolPage(const QString& code) const;
    Reply offlinePage(Site site, const QString& address) const;
    QString firstPageOf(const QString& folder) const;

    QHash<QString, QByteArray> files_;
    QSet<QString> folders_;
};

} // namespace offline
