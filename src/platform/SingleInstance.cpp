#include "SingleInstance.h"

#include "HandOverMessage.h"

#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QStandardPaths>
#include <QTimer>

#include <memory>

namespace platform {

namespace {

// The running window's answer once it has the whole message.
const QByteArray kTaken = QByteArrayLiteral("taken\n");

} // namespace

QString SingleInstance::socketPath(const QString& appId) {
    // XDG_RUNTIME_DIR is the user's own (mode 0700), so nobody else can
    // reach the socket or put one of theirs in its place; Qt makes a folder
    // of that kind under /tmp when the session has none.
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty()) {
        folder = QDir::tempPath();
    }
    return QDir(folder).filePath(appId + QStringLiteral(".open"));
}

SingleInstance::SingleInstance(QString path, Limits limits, QObject* parent)
    : QObject(parent), path_(std::move(path)), limits_(limits) {}

SingleInstance::~SingleInstance() {
    stopListening();
}

void SingleInstance::stopListening() {
    if (server_) {
        // close() removes the socket file, so the next start finds nobody.
        server_->close();
    }
}

SingleInstance::Start SingleInstance::start(const QStringList& arguments, bool newWindow) {
    // Two starts at the same moment (a file manager opening several files)
    // take turns: the first listens, the second hands over to it. A lock
    // left by a crashed run is taken over once its process is gone.
    QLockFile lock(path_ + QStringLiteral(".lock"));
    lock.setStaleLockTime(0);
    const bool locked = lock.tryLock(limits_.handOverMs);
    if (!newWindow && handOver(arguments)) {
        return Start::HandedOver;
    }
    if (!locked) {
        return Start::Alone;
    }
    return listen() ? Start::Listening : Start::Alone;
}

bool SingleInstance::handOver(const QStringList& arguments) const {
    const std::optional<QByteArray> message = handover::encode(arguments);
    if (!message) {
        return false;
    }
    QLocalSocket socket;
    socket.connectToServer(path_);
    if (!socket.waitForConnected(limits_.handOverMs)) {
        return false;
    }
    socket.write(*message);
    if (!socket.waitForBytesWritten(limits_.handOverMs)) {
        return false;
    }
    // The running window may be busy for a moment; a window that never
    // answers is treated as none, and this start opens its own.
    QByteArray answer;
    while (answer.size() < kTaken.size() && socket.waitForReadyRead(limits_.handOverMs)) {
        answer += socket.read(kTaken.size() - answer.size());
    }
    return answer == kTaken;
}

bool SingleInstance::someoneListens() const {
    QLocalSocket probe;
    probe.connectToServer(path_);
    const bool listening = probe.waitForConnected(limits_.handOverMs);
    probe.abort();
    return listening;
}

bool SingleInstance::listen() {
    // Asked before listening: Qt puts its socket in place of whatever the
    // path holds, a live window's socket included.
    if (someoneListens()) {
        return false;
    }
    server_ = new QLocalServer(this);
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    server_->setMaxPendingConnections(limits_.mostClients);
    // A socket nobody answers on is what a crashed run leaves behind.
    QLocalServer::removeServer(path_);
    if (!server_->listen(path_)) {
        delete server_;
        server_ = nullptr;
        return false;
    }
    connect(server_, &QLocalServer::newConnection, this, &SingleInstance::accept);
    return true;
}

void SingleInstance::accept() {
    while (QLocalSocket* client = server_->nextPendingConnection()) {
        if (clients_ >= limits_.mostClients) {
            client->abort();
            client->deleteLater();
            continue;
        }
        serve(client);
    }
}

void SingleInstance::serve(QLocalSocket* client) {
    ++clients_;
    connect(client, &QObject::destroyed, this, [this] { --clients_; });
    connect(client, &QLocalSocket::disconnected, client, &QObject::deleteLater);
    // Qt's own buffer takes no more than one message either.
    client->setReadBufferSize(handover::largestMessage);
    const auto drop = [client] {
        client->abort();
        client->deleteLater();
    };
    auto* deadline = new QTimer(client);
    deadline->setSingleShot(true);
    connect(deadline, &QTimer::timeout, client, drop);
    auto reader = std::make_shared<handover::Reader>();
    const auto read = [this, client, reader, drop] {
        using State = handover::Reader::State;
        while (reader->state() == State::Reading && client->bytesAvailable() > 0) {
            reader->feed(client->read(reader->room()));
        }
        if (reader->state() == State::Reading) {
            return;
        }
        if (reader->state() == State::Refused || client->bytesAvailable() > 0) {
            drop();
            return;
        }
        const QStringList arguments = reader->arguments();
        // Answered first: whatever opening the files asks the student, the
        // later start has ended by then.
        client->write(kTaken);
        client->disconnectFromServer();
        // Told once the reading is over, so that a message box the window
        // shows does not open inside this handler.
        QTimer::singleShot(0, this, [this, arguments] { emit received(arguments); });
    };
    connect(client, &QLocalSocket::readyRead, this, read);
    deadline->start(limits_.clientMs);
    // Bytes may have come before anyone listened for them.
    read();
}

} // namespace platform
