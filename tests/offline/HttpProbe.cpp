#include "HttpProbe.h"

#include <QRegularExpression>
#include <QUrl>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace httpprobe {

namespace {

// A socket connected to address:port, or -1.
int connectTo(const char* address, std::uint16_t port) {
    sockaddr_storage to{};
    socklen_t size = 0;
    auto* v4 = reinterpret_cast<sockaddr_in*>(&to);
    auto* v6 = reinterpret_cast<sockaddr_in6*>(&to);
    if (inet_pton(AF_INET, address, &v4->sin_addr) == 1) {
        v4->sin_family = AF_INET;
        v4->sin_port = htons(port);
        size = sizeof(sockaddr_in);
    } else if (inet_pton(AF_INET6, address, &v6->sin6_addr) == 1) {
        v6->sin6_family = AF_INET6;
        v6->sin6_port = htons(port);
        size = sizeof(sockaddr_in6);
    } else {
        return -1;
    }
    const int fd = ::socket(to.ss_family, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        return -1;
    }
    // A server that hangs must fail the test, not stall it.
    timeval timeout{5, 0};
    setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
    setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &timeout, sizeof timeout);
    if (::connect(fd, reinterpret_cast<sockaddr*>(&to), size) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

Response parse(const QByteArray& raw) {
    Response r;
    const qsizetype end = raw.indexOf("\r\n\r\n");
    if (end < 0) {
        return r;
    }
    const QList<QByteArray> lines = raw.left(end).split('\n');
    const QList<QByteArray> status = lines.value(0).trimmed().split(' ');
    if (status.size() < 2 || !status[0].startsWith("HTTP/1.")) {
        return r;
    }
    r.status = status[1].toInt();
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const qsizetype colon = lines[i].indexOf(':');
        if (colon > 0) {
            r.headers.insert(lines[i].left(colon).trimmed().toLower(),
                             lines[i].mid(colon + 1).trimmed());
        }
    }
    r.body = raw.mid(end + 4);
    return r;
}

// Sends `out` on `fd` and reads until the server closes it; closes `fd`.
Response sendAndRead(int fd, const QByteArray& out) {
    if (fd < 0) {
        return {};
    }
    qsizetype sent = 0;
    while (sent < out.size()) {
        const ssize_t n =
            ::send(fd, out.constData() + sent, std::size_t(out.size() - sent), MSG_NOSIGNAL);
        if (n <= 0) {
            // The server may have answered before taking it all.
            break;
        }
        sent += n;
    }
    QByteArray raw;
    char buffer[8192];
    ssize_t n = 0;
    while ((n = ::recv(fd, buffer, sizeof buffer, 0)) > 0) {
        raw.append(buffer, n);
    }
    const bool closed = n == 0 || errno == ECONNRESET;
    ::close(fd);
    Response r = parse(raw);
    r.closed = closed;
    return r;
}

} // namespace

Response request(std::uint16_t port, const QByteArray& host, const QByteArray& target,
                 const QByteArray& method, const char* address) {
    QByteArray out = method + ' ' + target + " HTTP/1.1\r\n";
    if (!host.isEmpty()) {
        out += "Host: " + host + "\r\n";
    }
    out += "Connection: close\r\n\r\n";
    return sendAndRead(connectTo(address, port), out);
}

Response exchange(std::uint16_t port, const QByteArray& raw) {
    return sendAndRead(connectTo("127.0.0.1", port), raw);
}

bool allowOpenFiles(std::size_t count) {
    rlimit open{};
    if (::getrlimit(RLIMIT_NOFILE, &open) != 0) {
        return false;
    }
    if (open.rlim_cur < count) {
        open.rlim_cur = std::min<rlim_t>(count, open.rlim_max);
        ::setrlimit(RLIMIT_NOFILE, &open);
    }
    return ::getrlimit(RLIMIT_NOFILE, &open) == 0 && open.rlim_cur >= count;
}

bool connects(const char* address, std::uint16_t port) {
    const int fd = connectTo(address, port);
    if (fd < 0) {
        return false;
    }
    ::close(fd);
    return true;
}

int hold(std::uint16_t port, const QByteArray& sent) {
    const int fd = connectTo("127.0.0.1", port);
    if (fd < 0 || sent.isEmpty()) {
        return fd;
    }
    if (::send(fd, sent.constData(), std::size_t(sent.size()), MSG_NOSIGNAL) != sent.size()) {
        ::close(fd);
        return -1;
    }
    return fd;
}

bool givenUp(int fd) {
    // Whatever the server sends to a request it has not had in full, an error
    // page or the end of the stream, makes the socket readable.
    pollfd p{fd, POLLIN, 0};
    return ::poll(&p, 1, 0) != 0;
}

Opened open(std::uint16_t port, const QString& address) {
    Opened page;
    // The browser takes the address box's text this way too.
    QUrl url = QUrl::fromUserInput(address);
    for (;;) {
        page.address = url.toString(QUrl::FullyEncoded);
        QByteArray target = url.path(QUrl::FullyEncoded).toLatin1();
        if (target.isEmpty()) {
            target = "/";
        }
        if (url.hasQuery()) {
            target += '?' + url.query(QUrl::FullyEncoded).toLatin1();
        }
        page.response = request(port, url.host().toLatin1(), target);
        const QByteArray location = page.response.header("location");
        const bool redirect = page.response.status >= 300 && page.response.status < 400;
        if (!redirect || location.isEmpty() || page.redirects == 5) {
            return page;
        }
        ++page.redirects;
        url = url.resolved(QUrl::fromEncoded(location));
    }
}

QString title(const QByteArray& html) {
    static const QRegularExpression re(QStringLiteral("<title>([^<]*)</title>"),
                                       QRegularExpression::CaseInsensitiveOption);
    return re.match(QString::fromUtf8(html)).captured(1).trimmed();
}

} // namespace httpprobe
