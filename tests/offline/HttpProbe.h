#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>

#include <cstddef>
#include <cstdint>

// A plain HTTP/1.1 client over a blocking socket, for tests of the sites
// server. It sends exactly the request line and Host header it is given, so
// that a test can send what a browser never would, and it needs no event
// loop, so that any thread can use it.
namespace httpprobe {

struct Response {
    // 0 when the connection failed or no status line came back.
    int status = 0;
    // Header names in lower case.
    QHash<QByteArray, QByteArray> headers;
    QByteArray body;
    // Whether the server ended the connection, rather than the probe giving
    // up waiting.
    bool closed = false;
    QByteArray header(const char* name) const { return headers.value(QByteArray(name)); }
};

// One request to `address` (an IPv4 or IPv6 literal) on `port`, with
// "Connection: close"; reads the whole answer. An empty `host` sends no Host
// header.
Response request(std::uint16_t port, const QByteArray& host, const QByteArray& target,
                 const QByteArray& method = "GET", const char* address = "127.0.0.1");

// Sends `raw` as it is, perhaps more or less than one request, to
// 127.0.0.1:`port` and reads the answer as request() does.
Response exchange(std::uint16_t port, const QByteArray& raw);

// Raises this process's limit of open descriptors to at least `count` if its
// hard limit allows; whether it is now at least that.
bool allowOpenFiles(std::size_t count);

// Whether a TCP connection to `address`:`port` is accepted.
bool connects(const char* address, std::uint16_t port);

// A connection to 127.0.0.1:`port` that has sent `sent` (perhaps nothing, or
// the start of a request) and is kept open until the caller closes it with
// ::close(); -1 when it could not be made.
int hold(std::uint16_t port, const QByteArray& sent = {});

// Whether the server has given up on a held connection: it has answered
// something, closed it or reset it.
bool givenUp(int fd);

// A page reached the way the browser reaches it: its address, and redirects
// followed.
struct Opened {
    QString address;
    Response response;
    int redirects = 0;
};

// Opens `address` (as the browser's address box would take it) through the
// server on `port`, following up to five redirects.
Opened open(std::uint16_t port, const QString& address);

// The text of the page's <title>, or an empty text.
QString title(const QByteArray& html);

} // namespace httpprobe
