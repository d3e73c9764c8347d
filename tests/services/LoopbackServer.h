#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

// A server from transfer_server.py running on 127.0.0.1 in its own process
// for the life of the object.
class LoopbackServer {
public:
    // An FTP server whose one account (user, password) starts in folder.
    static QStringList ftp(const QString& folder, const QString& user, const QString& password) {
        return {QStringLiteral("ftp"), folder, user, password};
    }
    // A web server for the files in folder.
    static QStringList http(const QString& folder) { return {QStringLiteral("http"), folder}; }

    explicit LoopbackServer(const QStringList& arguments);
    ~LoopbackServer();
    LoopbackServer(const LoopbackServer&) = delete;
    LoopbackServer& operator=(const LoopbackServer&) = delete;

    // 0 when the server did not start; why is then in failure().
    int port() const { return port_; }
    QString failure() const { return failure_; }

    // Waits up to timeoutMs until the server has printed `line` `times`
    // times in all (an FTP server prints "open" and "close" per control
    // connection); true once it has.
    bool waitForLine(const QString& line, int times = 1, int timeoutMs = 5000);
    // How often the server has printed `line` so far, without waiting.
    int count(const QString& line);

private:
    void readLines();

    QProcess process_;
    int port_ = 0;
    QString failure_;
    QStringList lines_;
    QByteArray pending_;
};

// A port on 127.0.0.1 that nothing listens on (it was free a moment ago).
int closedLoopbackPort();
