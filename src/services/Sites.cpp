#include "Sites.h"

namespace services::sites {

QString host(Site site) {
    switch (site) {
    case Site::Main:
        return QStringLiteral("www.quillmere.example");
    case Site::Schools:
        return QStringLiteral("www.wqzschools.example");
    case Site::Modules:
        return QStringLiteral("www.wqzmodules.example");
    case Site::MainModules:
        return QStringLiteral("www.quillmere.test");
    case Site::OptionLab:
        return QStringLiteral("www.optionlab.example");
    }
    return QString();
}

QString bareHost(Site site) {
    QString name = host(site);
    if (name.startsWith(QStringLiteral("www."))) {
        name.remove(0, 4);
    }
    return name;
}

QString word(Site site) {
    const QString name = bareHost(site);
    return name.left(name.indexOf(u'.'));
}

std::optional<Site> siteNamed(QStringView name) {
    // A Host header carries a port when it is not the scheme's own.
    const qsizetype colon = name.lastIndexOf(u':');
    if (colon >= 0) {
        name = name.first(colon);
    }
    if (name.endsWith(u'.')) {
        name.chop(1);
    }
    for (const Site site : all) {
        if (name.compare(host(site), Qt::CaseInsensitive) == 0) {
            return site;
        }
    }
    return std::nullopt;
}

QString siteAddress(Site site, const QString& path) {
    return QStringLiteral("http://") + host(site) + path;
}

QString siteRoot() {
    return siteAddress(Site::Main, QStringLiteral("/"));
}

QString modulesFolder(Site site) {
    return site == Site::Main ? QStringLiteral("/wqzmodhtm/")
                              : QStringLiteral("/public/wqzmodhtm/");
}

} // namespace services::sites
