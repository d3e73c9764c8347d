#include "InternetSession.h"

#include <QSaveFile>
#include <QUrl>

#include <curl/curl.h>

namespace os {

namespace {

// Long enough for a slow line, short enough that a dead server does not hold
// the window for good.
constexpr long kConnectSeconds = 60;
constexpr long kStallSeconds = 60;
// In active mode the server connects back to us; behind a firewall that never
// happens, and there is no point in waiting long for it.
constexpr long kAcceptMilliseconds = 10000;

bool initialiseLibrary() {
    static const bool initialised = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
    return initialised;
}

size_t writeToFile(char* data, size_t size, size_t count, void* file) {
    const qint64 length = qint64(size * count);
    return static_cast<QSaveFile*>(file)->write(data, length) == length ? size * count : 0;
}

size_t appendToBytes(char* data, size_t size, size_t count, void* bytes) {
    static_cast<QByteArray*>(bytes)->append(data, qsizetype(size * count));
    return size * count;
}

} // namespace

InternetSession::InternetSession(const QString& clientName, const Routes& routes)
    : clientName_(clientName.toUtf8()) {
    for (const Route& route : routes) {
        const QByteArray entry = QStringLiteral("%1:%2:%3:%4")
                                     .arg(route.host)
                                     .arg(route.port)
                                     .arg(route.toHost)
                                     .arg(route.toPort)
                                     .toUtf8();
        routes_ = curl_slist_append(routes_, entry.constData());
    }
    if (!initialiseLibrary()) {
        return;
    }
    curl_ = curl_easy_init();
    if (curl_ == nullptr) {
        return;
    }
    curl_easy_setopt(curl_, CURLOPT_USERAGENT, clientName_.constData());
    // An empty proxy also overrides the proxy variables of the environment.
    curl_easy_setopt(curl_, CURLOPT_PROXY, "");
    // The session runs on the user-interface thread; no alarm signals.
    curl_easy_setopt(curl_, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl_, CURLOPT_CONNECTTIMEOUT, kConnectSeconds);
    curl_easy_setopt(curl_, CURLOPT_SERVER_RESPONSE_TIMEOUT, kStallSeconds);
    curl_easy_setopt(curl_, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(curl_, CURLOPT_LOW_SPEED_TIME, kStallSeconds);
}

InternetSession::~InternetSession() {
    if (curl_ != nullptr) {
        // Closes the FTP connection the session kept open.
        curl_easy_cleanup(curl_);
    }
    curl_slist_free_all(routes_);
}

bool InternetSession::perform() {
    curl_easy_setopt(curl_, CURLOPT_CONNECT_TO, routes_);
    return curl_easy_perform(curl_) == CURLE_OK;
}

bool InternetSession::ftpGet(const QString& host, const QString& user, const QString& password,
                             const QString& remoteName, const QString& localPath) {
    if (curl_ == nullptr) {
        return false;
    }
    // A name ending in "/" would fetch the folder's listing in place of a
    // file; a host that is no host name must not reshape the address.
    QUrl server;
    server.setScheme(QStringLiteral("ftp"));
    server.setHost(host, QUrl::StrictMode);
    server.setPath(QStringLiteral("/"));
    if (host.isEmpty() || server.host().isEmpty() || !server.isValid() || remoteName.isEmpty() ||
        remoteName.endsWith(u'/')) {
        return false;
    }
    const QByteArray address = server.toEncoded() + QUrl::toPercentEncoding(remoteName, "/");

    QSaveFile file(localPath);
    if (!file.open(QIODevice::WriteOnly)) {
        return false;
    }
    const QByteArray userName = user.toUtf8();
    const QByteArray secret = password.toUtf8();
    curl_easy_setopt(curl_, CURLOPT_URL, address.constData());
    curl_easy_setopt(curl_, CURLOPT_PROTOCOLS_STR, "ftp");
    curl_easy_setopt(curl_, CURLOPT_FOLLOWLOCATION, 0L);
    curl_easy_setopt(curl_, CURLOPT_USERNAME, userName.constData());
    curl_easy_setopt(curl_, CURLOPT_PASSWORD, secret.constData());
    // Active mode, announcing the address the control connection runs from.
    curl_easy_setopt(curl_, CURLOPT_FTPPORT, "-");
    curl_easy_setopt(curl_, CURLOPT_ACCEPTTIMEOUT_MS, kAcceptMilliseconds);
    // Binary: an ASCII transfer lets the server rewrite line ends.
    curl_easy_setopt(curl_, CURLOPT_TRANSFERTEXT, 0L);
    curl_easy_setopt(curl_, CURLOPT_WRITEFUNCTION, writeToFile);
    curl_easy_setopt(curl_, CURLOPT_WRITEDATA, &file);
    const bool arrived = perform();
    // The file lives in this frame, and the account belongs to this server.
    curl_easy_setopt(curl_, CURLOPT_WRITEDATA, nullptr);
    curl_easy_setopt(curl_, CURLOPT_USERNAME, nullptr);
    curl_easy_setopt(curl_, CURLOPT_PASSWORD, nullptr);
    // libcurl compares the bytes with the size the server announced, so a
    // transfer cut short fails above. An empty file never reaches the write
    // callback; committing still makes it.
    if (!arrived) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

std::optional<QByteArray> InternetSession::readUrl(const QString& url) {
    if (curl_ == nullptr) {
        return std::nullopt;
    }
    const QByteArray address = url.toUtf8();
    QByteArray content;
    curl_easy_setopt(curl_, CURLOPT_URL, address.constData());
    // Never local files or other schemes a page address could name.
    curl_easy_setopt(curl_, CURLOPT_PROTOCOLS_STR, "http,https,ftp");
    curl_easy_setopt(curl_, CURLOPT_REDIR_PROTOCOLS_STR, "http,https,ftp");
    curl_easy_setopt(curl_, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(curl_, CURLOPT_MAXREDIRS, 10L);
    curl_easy_setopt(curl_, CURLOPT_FTPPORT, nullptr);
    curl_easy_setopt(curl_, CURLOPT_WRITEFUNCTION, appendToBytes);
    curl_easy_setopt(curl_, CURLOPT_WRITEDATA, &content);
    const bool complete = perform();
    curl_easy_setopt(curl_, CURLOPT_WRITEDATA, nullptr);
    if (complete) {
        return content;
    }
    // The server answered before the transfer broke off: the address opened.
    long status = 0;
    curl_easy_getinfo(curl_, CURLINFO_RESPONSE_CODE, &status);
    if (status != 0) {
        return content;
    }
    return std::nullopt;
}

} // namespace os
