#include "InternetSession.h"

#include "Library.h"

#include <QSaveFile>
#include <QUrl>

#include <curl/curl.h>

#include <type_traits>

namespace os {

// libcurl, loaded on first use rather than linked. Linked, it and the thirty
// libraries it brings (TLS, Kerberos, LDAP, ...) are loaded, relocated and
// initialised at every start of the program, about 15 ms before main() runs,
// for a download that only a missing component ever asks for.
struct CurlLibrary {
    decltype(&curl_global_init) global_init = nullptr;
    decltype(&curl_easy_init) easy_init = nullptr;
    decltype(&curl_easy_setopt) easy_setopt = nullptr;
    decltype(&curl_easy_perform) easy_perform = nullptr;
    decltype(&curl_easy_getinfo) easy_getinfo = nullptr;
    decltype(&curl_easy_cleanup) easy_cleanup = nullptr;
    decltype(&curl_slist_append) slist_append = nullptr;
    decltype(&curl_slist_free_all) slist_free_all = nullptr;
};

namespace {

// Long enough for a slow line, short enough that a dead server does not hold
// the window for good.
constexpr long kConnectSeconds = 60;
constexpr long kStallSeconds = 60;
// In active mode the server connects back to us; behind a firewall that never
// happens, and there is no point in waiting long for it.
constexpr long kAcceptMilliseconds = 10000;

// The library with every function this session calls, initialised; null when
// it cannot be loaded or initialised, and then the session has no handle.
const CurlLibrary* curl() {
    static const CurlLibrary* const loaded = []() -> const CurlLibrary* {
        // The library of the system, found along its search path; it stays
        // loaded for the life of the process.
        const library::Handle handle = library::loadSystem("libcurl.so.4");
        if (handle == nullptr) {
            return nullptr;
        }
        static CurlLibrary lib;
        const auto resolve = [handle](auto& function, const char* name) {
            function = reinterpret_cast<std::remove_reference_t<decltype(function)>>(
                library::symbol(handle, name));
            return function != nullptr;
        };
        const bool complete = resolve(lib.global_init, "curl_global_init") &&
                              resolve(lib.easy_init, "curl_easy_init") &&
                              resolve(lib.easy_setopt, "curl_easy_setopt") &&
                              resolve(lib.easy_perform, "curl_easy_perform") &&
                              resolve(lib.easy_getinfo, "curl_easy_getinfo") &&
                              resolve(lib.easy_cleanup, "curl_easy_cleanup") &&
                              resolve(lib.slist_append, "curl_slist_append") &&
                              resolve(lib.slist_free_all, "curl_slist_free_all");
        if (!complete || lib.global_init(CURL_GLOBAL_DEFAULT) != CURLE_OK) {
            return nullptr;
        }
        return &lib;
    }();
    return loaded;
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
    lib_ = curl();
    if (lib_ == nullptr) {
        return;
    }
    for (const Route& route : routes) {
        const QByteArray entry = QStringLiteral("%1:%2:%3:%4")
                                     .arg(route.host)
                                     .arg(route.port)
                                     .arg(route.toHost)
                                     .arg(route.toPort)
                                     .toUtf8();
        routes_ = lib_->slist_append(routes_, entry.constData());
    }
    curl_ = lib_->easy_init();
    if (curl_ == nullptr) {
        return;
    }
    lib_->easy_setopt(curl_, CURLOPT_USERAGENT, clientName_.constData());
    // An empty proxy also overrides the proxy variables of the environment.
    lib_->easy_setopt(curl_, CURLOPT_PROXY, "");
    // The session runs on the user-interface thread; no alarm signals.
    lib_->easy_setopt(curl_, CURLOPT_NOSIGNAL, 1L);
    lib_->easy_setopt(curl_, CURLOPT_CONNECTTIMEOUT, kConnectSeconds);
    lib_->easy_setopt(curl_, CURLOPT_SERVER_RESPONSE_TIMEOUT, kStallSeconds);
    lib_->easy_setopt(curl_, CURLOPT_LOW_SPEED_LIMIT, 1L);
    lib_->easy_setopt(curl_, CURLOPT_LOW_SPEED_TIME, kStallSeconds);
}

InternetSession::~InternetSession() {
    if (lib_ == nullptr) {
        return;
    }
    if (curl_ != nullptr) {
        // Closes the FTP connection the session kept open.
        lib_->easy_cleanup(curl_);
    }
    lib_->slist_free_all(routes_);
}

bool InternetSession::perform() {
    lib_->easy_setopt(curl_, CURLOPT_CONNECT_TO, routes_);
    return lib_->easy_perform(curl_) == CURLE_OK;
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
    lib_->easy_setopt(curl_, CURLOPT_URL, address.constData());
    lib_->easy_setopt(curl_, CURLOPT_PROTOCOLS_STR, "ftp");
    lib_->easy_setopt(curl_, CURLOPT_FOLLOWLOCATION, 0L);
    lib_->easy_setopt(curl_, CURLOPT_USERNAME, userName.constData());
    lib_->easy_setopt(curl_, CURLOPT_PASSWORD, secret.constData());
    // Active mode, announcing the address the control connection runs from.
    lib_->easy_setopt(curl_, CURLOPT_FTPPORT, "-");
    lib_->easy_setopt(curl_, CURLOPT_ACCEPTTIMEOUT_MS, kAcceptMilliseconds);
    // Binary: an ASCII transfer lets the server rewrite line ends.
    lib_->easy_setopt(curl_, CURLOPT_TRANSFERTEXT, 0L);
    lib_->easy_setopt(curl_, CURLOPT_WRITEFUNCTION, writeToFile);
    lib_->easy_setopt(curl_, CURLOPT_WRITEDATA, &file);
    const bool arrived = perform();
    // The file lives in this frame, and the account belongs to this server.
    lib_->easy_setopt(curl_, CURLOPT_WRITEDATA, nullptr);
    lib_->easy_setopt(curl_, CURLOPT_USERNAME, nullptr);
    lib_->easy_setopt(curl_, CURLOPT_PASSWORD, nullptr);
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
    lib_->easy_setopt(curl_, CURLOPT_URL, address.constData());
    // Never local files or other schemes a page address could name.
    lib_->easy_setopt(curl_, CURLOPT_PROTOCOLS_STR, "http,https,ftp");
    lib_->easy_setopt(curl_, CURLOPT_REDIR_PROTOCOLS_STR, "http,https,ftp");
    lib_->easy_setopt(curl_, CURLOPT_FOLLOWLOCATION, 1L);
    lib_->easy_setopt(curl_, CURLOPT_MAXREDIRS, 10L);
    lib_->easy_setopt(curl_, CURLOPT_FTPPORT, nullptr);
    lib_->easy_setopt(curl_, CURLOPT_WRITEFUNCTION, appendToBytes);
    lib_->easy_setopt(curl_, CURLOPT_WRITEDATA, &content);
    const bool complete = perform();
    lib_->easy_setopt(curl_, CURLOPT_WRITEDATA, nullptr);
    if (complete) {
        return content;
    }
    // The server answered before the transfer broke off: the address opened.
    long status = 0;
    lib_->easy_getinfo(curl_, CURLINFO_RESPONSE_CODE, &status);
    if (status != 0) {
        return content;
    }
    return std::nullopt;
}

} // namespace os
