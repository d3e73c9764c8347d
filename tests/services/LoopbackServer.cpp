#include "LoopbackServer.h"

#include <QDeadlineTimer>

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

LoopbackServer::LoopbackServer(const QStringList& arguments) {
    process_.setProgram(QStringLiteral(WQZ_DEBIAN_PYTHON));
    process_.setArguments(QStringList{QStringLiteral(WQZ_TRANSFER_SERVER)} + arguments);
    process_.start();
    if (!process_.waitForStarted(5000)) {
        failure_ = QStringLiteral("cannot start ") + process_.program();
        return;
    }
    QDeadlineTimer deadline(10000);
    while (!process_.canReadLine() && !deadline.hasExpired() &&
           process_.state() == QProcess::Running) {
        process_.waitForReadyRead(int(deadline.remainingTime()));
    }
    const QByteArray first = process_.readLine().trimmed();
    port_ = first.toInt();
    if (port_ == 0) {
        process_.waitForFinished(1000);
        failure_ = QStringLiteral("the server printed no port: ") +
                   QString::fromLocal8Bit(process_.readAllStandardError());
    }
}

LoopbackServer::~LoopbackServer() {
    // The server stops when its stdin closes.
    process_.closeWriteChannel();
    if (!process_.waitForFinished(5000)) {
        process_.kill();
        process_.waitForFinished(2000);
    }
}

void LoopbackServer::readLines() {
    pending_ += process_.readAllStandardOutput();
    qsizetype end;
    while ((end = pending_.indexOf('\n')) >= 0) {
        lines_.append(QString::fromUtf8(pending_.left(end)));
        pending_.remove(0, end + 1);
    }
}

bool LoopbackServer::waitForLine(const QString& line, int times, int timeoutMs) {
    QDeadlineTimer deadline(timeoutMs);
    readLines();
    while (lines_.count(line) < times) {
        if (deadline.hasExpired() || !process_.waitForReadyRead(int(deadline.remainingTime()))) {
            return false;
        }
        readLines();
    }
    return true;
}

int LoopbackServer::count(const QString& line) {
    process_.waitForReadyRead(0);
    readLines();
    return int(lines_.count(line));
}

int closedLoopbackPort() {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    int port = 0;
    if (bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0) {
        port = ntohs(address.sin_port);
    }
    close(fd);
    return port;
}
