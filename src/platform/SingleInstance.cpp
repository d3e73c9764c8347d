#include "SingleInstance.h"

#include "HandOverMessage.h"

#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QStandardPaths>
#include <QTimer>

#include <memory>

#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

// The running window's answer once it has the whole message, and the later
// start's word back that it has ended on it. The window opens the files
// only then: a start that gave up waiting opens them itself, and a window
// that comes back late must not open them a second time.
const QByteArray kTaken = QByteArrayLiteral("taken\n");
const QByteArray kYours = QByteArrayLiteral("yours\n");

// A folder, not a link to one, of this user's alone: nobody else can
// reach a socket in it or put one of theirs in its place.
bool ownPrivateFolder(const QString& folder) {
    struct stat info {};
    return ::lstat(QFile::encodeName(folder).constData(), &info) == 0 && S_ISDIR(info.st_mode) &&
           info.st_uid == ::geteuid() && (info.st_mode & 077) == 0;
}

// Whether the path holds something of another user's (a socket being set
// up, a live one, or anything else): that is never removed to listen in its
// place, even where this user could.
bool someoneElsesThere(const QString& path) {
    struct stat info {};
    return ::lstat(QFile::encodeName(path).constData(), &info) == 0 && info.st_uid != ::geteuid();
}

// A client cut off: told nothing, gone once its events are done.
void drop(QLocalSocket* client) {
    client->abort();
    client->deleteLater();
}

// Whether the other end of a connected local socket runs as this user.
bool sameUser(qintptr descriptor) {
    struct ucred peer {};
    socklen_t size = sizeof peer;
    return descriptor >= 0 &&
           ::getsockopt(int(descriptor), SOL_SOCKET, SO_PEERCRED, &peer, &size) == 0 &&
           size == sizeof peer && peer.uid == ::geteuid();
}

} // namespace

QString SingleInstance::socketPath(const QString& appId) {
    // XDG_RUNTIME_DIR when it is what it should be (the user's own, mode
    // 0700). Without one, a folder of the program's own in the temporary
    // folder, made private here: Qt's fallback there may exist already and
    // be someone else's, and the temporary folder itself is everyone's.
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty() || !ownPrivateFolder(folder)) {
        folder =
            QDir(QDir::tempPath()).filePath(QStringLiteral("%1-%2").arg(appId).arg(::geteuid()));
        ::mkdir(QFile::encodeName(folder).constData(), 0700);
        if (!ownPrivateFolder(folder)) {
            return QString(); // nowhere safe: every start runs a window of its own
        }
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
    if (path_.isEmpty()) {
        return Start::Alone;
    }
    // Two starts at the same moment (a file manager opening several files)
    // take turns: the first listens, the second hands over to it. A lock
    // left by a crashed run is taken over once its process is gone.
    QLockFile lock(path_ + QStringLiteral(".lock"));
    lock.setStaleLockTime(0);
    const bool locked = lock.tryLock(limits_.handOverMs);
    if (!newWindow) {
        switch (handOver(arguments)) {
        case HandOver::Taken:
            return Start::HandedOver;
        case HandOver::NoAnswer:
            return Start::NoAnswer;
        case HandOver::Nobody:
            break;
        }
    }
    if (!locked) {
        return Start::Alone;
    }
    return listen() ? Start::Listening : Start::Alone;
}

SingleInstance::HandOver SingleInstance::handOver(const QStringList& arguments) const {
    const std::optional<QByteArray> message = handover::encode(arguments);
    if (!message) {
        return HandOver::Nobody;
    }
    QLocalSocket socket;
    socket.connectToServer(path_);
    // The files go only to a window of this same user.
    if (!socket.waitForConnected(limits_.handOverMs) || !sameUser(socket.socketDescriptor())) {
        return HandOver::Nobody;
    }
    socket.write(*message);
    // The running window may be busy for a moment; one that does not answer
    // in time is left, and is told nothing more.
    QByteArray answer;
    if (socket.waitForBytesWritten(limits_.handOverMs)) {
        while (answer.size() < kTaken.size() && socket.waitForReadyRead(limits_.handOverMs)) {
            answer += socket.read(kTaken.size() - answer.size());
        }
    }
    if (answer != kTaken) {
        return HandOver::NoAnswer;
    }
    // Flushed before this start ends: no event loop runs after it.
    socket.write(kYours);
    socket.flush();
    socket.waitForBytesWritten(limits_.handOverMs);
    socket.disconnectFromServer();
    return HandOver::Taken;
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
    if (someoneListens() || someoneElsesThere(path_)) {
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
        // Clients that hold on without sending make room for a new one,
        // the oldest first: a real start never waits behind them.
        clients_.removeAll(nullptr);
        while (clients_.size() >= limits_.mostClients) {
            drop(clients_.takeFirst());
        }
        serve(client);
    }
}

void SingleInstance::serve(QLocalSocket* client) {
    if (!sameUser(client->socketDescriptor())) {
        drop(client);
        return;
    }
    clients_.append(client);
    connect(client, &QLocalSocket::disconnected, client, &QObject::deleteLater);
    // Qt's own buffer takes no more than one message either.
    client->setReadBufferSize(handover::largestMessage);
    auto* deadline = new QTimer(client);
    deadline->setSingleShot(true);
    connect(deadline, &QTimer::timeout, client, [client] { drop(client); });
    auto reader = std::make_shared<handover::Reader>();
    const auto read = [this, client, reader, deadline] {
        using State = handover::Reader::State;
        while (reader->state() == State::Reading && client->bytesAvailable() > 0) {
            reader->feed(client->read(reader->room()));
        }
        if (reader->state() == State::Reading) {
            return;
        }
        if (reader->state() == State::Refused) {
            drop(client);
            return;
        }
        const QStringList arguments = reader->arguments();
        // Answered first: whatever opening the files asks the student, the
        // later start has ended by then. The files are opened once it says
        // it has; a start gone by then has opened them itself.
        client->write(kTaken);
        // As long as the later start waits for the answer.
        deadline->start(limits_.handOverMs);
        auto word = std::make_shared<QByteArray>();
        disconnect(client, &QLocalSocket::readyRead, this, nullptr);
        const auto confirm = [this, client, word, arguments] {
            *word += client->read(kYours.size() - word->size());
            if (!kYours.startsWith(*word)) {
                drop(client);
            } else if (*word == kYours) {
                client->disconnectFromServer();
                // Told once the reading is over, so that a message box the
                // window shows does not open inside this handler.
                QTimer::singleShot(0, this, [this, arguments] { emit received(arguments); });
            }
        };
        connect(client, &QLocalSocket::readyRead, this, confirm);
        if (client->bytesAvailable() > 0) {
            confirm();
        }
    };
    connect(client, &QLocalSocket::readyRead, this, read);
    deadline->start(limits_.clientMs);
    // Bytes may have come before anyone listened for them.
    read();
}

} // namespace platform
