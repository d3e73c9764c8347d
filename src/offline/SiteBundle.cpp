#include "SiteBundle.h"

#include <QDirIterator>
#include <QFile>

#include <algorithm>
#include <optional>

namespace offline {

using services::sites::siteAddress;

// Where a site keeps what. The main site has its own layout; the four module
// sites share one. The schools' pages are answered by the module sites only.
struct SiteBundle::Layout {
    QString tree;
    QString modulesAt;
    bool schools;
};

namespace {

// The resource folder the pages are compiled into.
const QString kRoot = QStringLiteral(":/offline/");
const QString kModules = QStringLiteral("modules");
const QString& kSchools = services::sites::schoolsFolder;
const QString& kIndex = services::sites::schoolIndex;

const QByteArray kHtml = QByteArrayLiteral("text/html; charset=utf-8");

QByteArray contentTypeOf(const QString& path) {
    if (path.endsWith(u".css")) {
        return QByteArrayLiteral("text/css; charset=utf-8");
    }
    if (path.endsWith(u".js")) {
        return QByteArrayLiteral("text/javascript; charset=utf-8");
    }
    if (path.endsWith(u".svg")) {
        return QByteArrayLiteral("image/svg+xml");
    }
    if (path.endsWith(u".png")) {
        return QByteArrayLiteral("image/png");
    }
    // .htm, .html and the forum's .cfm pages.
    return kHtml;
}

// The path as the site sees it, or nothing when it cannot name a page. Dot
// segments are refused rather than resolved, encoded or not: a browser
// resolves them before it sends an address, so only a hand-made request
// carries one. An encoded slash or backslash would let a single segment pose
// as several.
std::optional<QString> decodedPath(const QByteArray& raw) {
    if (!raw.startsWith('/') || raw.contains('\\')) {
        return std::nullopt;
    }
    const QByteArray lower = raw.toLower();
    if (lower.contains("%2f") || lower.contains("%5c")) {
        return std::nullopt;
    }
    const QString path = QString::fromUtf8(QByteArray::fromPercentEncoding(raw));
    const bool control = std::any_of(path.cbegin(), path.cend(), [](QChar c) {
        return c.unicode() < 0x20 || c.unicode() == 0x7f;
    });
    if (control) {
        return std::nullopt;
    }
    const QStringList segments = path.split(u'/');
    const bool dots = std::any_of(segments.cbegin(), segments.cend(),
                                  [](const QString& s) { return s == u"." || s == u".."; });
    if (dots) {
        return std::nullopt;
    }
    return path;
}

Reply htmlReply(int status, const QString& html) {
    return Reply{status, kHtml, html.toUtf8(), {}};
}

QString fill(const QByteArray& templateText, const QList<std::pair<QString, QString>>& values) {
    QString page = QString::fromUtf8(templateText);
    for (const auto& [name, value] : values) {
        page.replace(QStringLiteral("{{") + name + QStringLiteral("}}"), value);
    }
    return page;
}

} // namespace

SiteBundle::SiteBundle() {
    QDirIterator it(kRoot, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString resource = it.next();
        QFile f(resource);
        if (!f.open(QIODevice::ReadOnly)) {
            continue;
        }
        const QString path = resource.mid(kRoot.size());
        files_.insert(path, f.readAll());
        for (qsizetype slash = path.lastIndexOf(u'/'); slash > 0;
             slash = path.lastIndexOf(u'/', slash - 1)) {
            folders_.insert(path.left(slash));
        }
    }
}

SiteBundle::Layout SiteBundle::layoutOf(Site site) {
    const bool main = site == Site::Main;
    return Layout{main ? QStringLiteral("main") : QStringLiteral("module"),
                  services::sites::modulesFolder(site).chopped(1), !main};
}

Reply SiteBundle::answer(QStringView host, QByteArrayView target) const {
    const std::optional<Site> named = services::sites::siteNamed(host);
    if (!named) {
        return htmlReply(404, QStringLiteral("<!DOCTYPE html><html><head><meta charset=\"utf-8\">"
                                             "<title>Not found</title></head><body>"
                                             "<p>Not found.</p></body></html>"));
    }
    const Site site = *named;
    const Layout layout = layoutOf(site);
    const qsizetype mark = target.indexOf('?');
    const QByteArray rawPath = (mark < 0 ? target : target.first(mark)).toByteArray();
    const QByteArray rawQuery = mark < 0 ? QByteArray() : target.sliced(mark + 1).toByteArray();

    const std::optional<QString> path = decodedPath(rawPath);
    if (!path) {
        return offlinePage(site, siteAddress(site, QString::fromLatin1(rawPath)));
    }

    if (layout.schools && path->startsWith(kSchools)) {
        const QString rest = path->mid(kSchools.size());
        if (rest.endsWith(kIndex)) {
            return schoolPage(rest.chopped(kIndex.size()));
        }
        // A school code holding "?" leaves the rest of the address in the query.
        const QString query = QString::fromUtf8(QByteArray::fromPercentEncoding(rawQuery));
        if (query.endsWith(kIndex)) {
            return schoolPage(rest + u'?' + query.chopped(kIndex.size()));
        }
        // A school's folder, as a student may type it.
        if (rest.size() > 1 && rest.indexOf(u'/') == rest.size() - 1) {
            return redirect(site, rawPath.chopped(1), QStringLiteral("index.htm"));
        }
    }

    QString bundlePath;
    if (*path == layout.modulesAt || path->startsWith(layout.modulesAt + u'/')) {
        bundlePath = kModules + path->mid(layout.modulesAt.size());
    } else {
        bundlePath = layout.tree + *path;
    }
    const bool slash = bundlePath.endsWith(u'/');
    const QString folder = slash ? bundlePath.chopped(1) : bundlePath;
    if (folders_.contains(folder)) {
        // The site's root is an address the program lists itself; it shows
        // its page there rather than moving on to another address.
        if (folder == layout.tree) {
            return file(folder + kIndex);
        }
        const QString first = firstPageOf(folder);
        if (!first.isEmpty()) {
            return redirect(site, slash ? rawPath.chopped(1) : rawPath, first);
        }
        return offlinePage(site, siteAddress(site, *path));
    }
    if (!slash && files_.contains(bundlePath)) {
        return file(bundlePath);
    }
    return offlinePage(site, siteAddress(site, *path));
}

QStringList SiteBundle::addresses() const {
    QStringList out;
    for (auto it = files_.cbegin(); it != files_.cend(); ++it) {
        const QString& path = it.key();
        if (path.startsWith(kModules + u'/')) {
            out << siteAddress(Site::Modules,
                               layoutOf(Site::Modules).modulesAt + path.mid(kModules.size()));
        } else if (path.startsWith(layoutOf(Site::Main).tree + u'/')) {
            out << siteAddress(Site::Main, path.mid(layoutOf(Site::Main).tree.size()));
        } else if (path.startsWith(layoutOf(Site::Schools).tree + u'/')) {
            out << siteAddress(Site::Schools, path.mid(layoutOf(Site::Schools).tree.size()));
        }
    }
    out.sort();
    return out;
}

Reply SiteBundle::file(const QString& bundlePath) const {
    return Reply{200, contentTypeOf(bundlePath), files_.value(bundlePath), {}};
}

Reply SiteBundle::redirect(Site site, const QByteArray& folderPath,
                           const QString& firstPage) const {
    const QByteArray location =
        siteAddress(site, QString::fromLatin1(folderPath + '/') + firstPage).toLatin1();
    Reply reply =
        htmlReply(302, QStringLiteral("<!DOCTYPE html><html><head><meta charset=\"utf-8\">"
                                      "<title>Moved</title></head><body><p><a href=\"") +
                           QString::fromLatin1(location).toHtmlEscaped() +
                           QStringLiteral("\">Go on to the first page</a></p>"
                                          "</body></html>"));
    reply.location = location;
    return reply;
}

Reply SiteBundle::schoolPage(const QString& code) const {
    const bool named = !code.trimmed().isEmpty();
    const QString shown = code.toHtmlEscaped();
    return htmlReply(
        200, fill(files_.value(QStringLiteral("templates/school.htm")),
                  {{QStringLiteral("title"), named ? QStringLiteral("Home page of school ") + shown
                                                   : QStringLiteral("Your school's home page")},
                   {QStringLiteral("school"),
                    named ? QStringLiteral("school <strong>") + shown + QStringLiteral("</strong>")
                          : QStringLiteral("your school")}}));
}

Reply SiteBundle::offlinePage(Site site, const QString& address) const {
    return htmlReply(404, fill(files_.value(QStringLiteral("templates/offline.htm")),
                               {{QStringLiteral("address"), address.toHtmlEscaped()},
                                {QStringLiteral("module"),
                                 layoutOf(site).modulesAt + u'/' + services::sites::modulePage}}));
}

QString SiteBundle::firstPageOf(const QString& folder) const {
    // The modules' folder holds one module; its first page is that module's.
    const QString& module = services::sites::modulePage;
    const qsizetype slash = module.indexOf(u'/');
    if (folder == kModules) {
        return module;
    }
    if (folder == kModules + u'/' + module.left(slash)) {
        return module.mid(slash + 1);
    }
    if (files_.contains(folder + kIndex)) {
        return QStringLiteral("index.htm");
    }
    return QString();
}

} // namespace offline
