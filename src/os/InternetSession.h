#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

// libcurl's list type, so that users of this class need not include curl.h.
struct curl_slist;

namespace os {

struct CurlLibrary;

// A connection to `host` on `port` that goes to `toHost` on `toPort` instead,
// while every name and address the program uses stays as it is: the program
// still logs in to, and names, the host it meant.
struct Route {
    QString host;
    int port = 0;
    QString toHost;
    int toPort = 0;
};
using Routes = QList<Route>;

// One session with the internet: a client name, direct access (no proxy,
// whatever the environment asks for), and the FTP connection the last
// download opened, which stays open until the session ends. Every call
// blocks until it is done.
//
// Nothing waits forever: a connection that does not come up within a minute,
// a server that stops answering or sending for a minute, or an FTP server
// that does not open the data connection within ten seconds ends the call
// as failed.
class InternetSession {
public:
    explicit InternetSession(const QString& clientName, const Routes& routes = {});
    ~InternetSession();
    InternetSession(const InternetSession&) = delete;
    InternetSession& operator=(const InternetSession&) = delete;

    // False when the internet library could not be loaded or gave no handle;
    // nothing else works then.
    bool isOpen() const { return curl_ != nullptr; }

    // Fetches `remoteName` (relative to the account's start folder) from the
    // FTP server `host` on the service's default port, logged in as `user`,
    // in active mode and as binary, so that the file arrives byte for byte.
    // The bytes go into a temporary file beside `localPath`, which replaces
    // whatever is at `localPath` only once the whole file has arrived: a
    // failed or cut-off download leaves an existing file as it was and leaves
    // nothing behind.
    bool ftpGet(const QString& host, const QString& user, const QString& password,
                const QString& remoteName, const QString& localPath);

    // The content at `url` (http, https or ftp) as the server sent it,
    // following redirects; an HTTP error page counts as content. When the
    // transfer breaks off after it began, what arrived until then. Nothing
    // when the address could not be opened.
    std::optional<QByteArray> readUrl(const QString& url);

private:
    bool perform();

    const CurlLibrary* lib_ = nullptr;
    void* curl_ = nullptr;
    curl_slist* routes_ = nullptr;
    QByteArray clientName_;
};

} // namespace os
