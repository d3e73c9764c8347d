#pragma once

#include "os/InternetSession.h"
#include "os/Library.h"

#include <QString>

#include <memory>

namespace services {

// Fetches files from the maker's FTP server, loads a fetched file as a shared
// library, and reads web pages as text. One object serves one download: the
// connection it opens stays open until the object is destroyed, while a
// library it loaded stays loaded after it. Nothing here shows a message; a
// failure is a false or empty result, and the caller tells the user.
class wqzFTP {
public:
    // `routes` send the servers' connections elsewhere (none by default).
    explicit wqzFTP(os::Routes routes = {});
    ~wqzFTP();
    wqzFTP(const wqzFTP&) = delete;
    wqzFTP& operator=(const wqzFTP&) = delete;

    // Fetches strFileName (relative to the account's start folder) from the
    // default FTP server into the local path strStoreName, replacing a file
    // there only once the whole file has arrived.
    bool getFile(const QString& strFileName, const QString& strStoreName);
    // The same from the FTP server strSiteName, whose password is the
    // default server's only when the name is exactly the default host name.
    bool getCases(const QString& strFileName, const QString& strStoreName,
                  const QString& strSiteName);

    // Loads the file that the last successful fetch stored, from the path it
    // was stored at. False when there is none or it does not load.
    bool loadFile();
    // Unloads what loadFile() loaded; a second call does nothing.
    void freefile();

    // The page at sURL as text, one character per byte read; empty when the
    // address could not be opened.
    QString GetUrlSource(const QString& sURL);

    // Where the last successful fetch stored its file; empty until then.
    const QString& getLocalPath() const { return localPath; }
    os::library::Handle getLibrary() const { return hLibrary; }

private:
    bool fetch(const QString& strSiteName, const QString& password, const QString& strFileName,
               const QString& strStoreName);

    QString localPath;
    os::library::Handle hLibrary = nullptr;
    // The FTP session; libcurl keeps the connection inside it, so it stands
    // for the connection as well.
    std::unique_ptr<os::InternetSession> hSession;
    os::Routes routes_;
};

} // namespace services
