#include "wqzFTP.h"

#include "Configuration.h"

#include <utility>

namespace services {

namespace {

const QString kClientName = QStringLiteral("wqzFTP");

QString joinedPassword(int first, int second) {
    return configuration::ftpPasswordWords[first] + QChar(configuration::ftpPasswordSeparator) +
           configuration::ftpPasswordWords[second];
}

} // namespace

wqzFTP::wqzFTP(os::Routes routes) : routes_(std::move(routes)) {}
wqzFTP::~wqzFTP() = default;

bool wqzFTP::getFile(const QString& strFileName, const QString& strStoreName) {
    return fetch(configuration::ftpHost(), joinedPassword(0, 1), strFileName, strStoreName);
}

bool wqzFTP::getCases(const QString& strFileName, const QString& strStoreName,
                      const QString& strSiteName) {
    const bool defaultServer = strSiteName == configuration::ftpHost();
    return fetch(strSiteName, defaultServer ? joinedPassword(0, 1) : joinedPassword(1, 0),
                 strFileName, strStoreName);
}

bool wqzFTP::fetch(const QString& strSiteName, const QString& password, const QString& strFileName,
                   const QString& strStoreName) {
    // A second fetch on the same object goes on in the session of the first.
    if (!hSession) {
        hSession = std::make_unique<os::InternetSession>(kClientName, routes_);
    }
    if (!hSession->isOpen()) {
        return false;
    }
    if (!hSession->ftpGet(strSiteName, configuration::ftpUser, password, strFileName,
                          strStoreName)) {
        return false;
    }
    localPath = strStoreName;
    return true;
}

bool wqzFTP::loadFile() {
    hLibrary = os::library::load(localPath);
    return hLibrary != nullptr;
}

void wqzFTP::freefile() {
    os::library::unload(hLibrary);
    hLibrary = nullptr;
}

QString wqzFTP::GetUrlSource(const QString& sURL) {
    os::InternetSession session(configuration::pageClientName, routes_);
    const auto content = session.readUrl(sURL);
    // Latin-1 gives every byte the character of the same number, so the text
    // holds exactly what was read, whatever the page's own encoding.
    return content ? QString::fromLatin1(*content) : QString();
}

} // namespace services
