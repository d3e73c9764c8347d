#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

class QLocalServer;
class QLocalSocket;

namespace platform {

struct HandOverLimits {
    // How long a client may take to send its whole message.
    int clientMs = 2000;
    // Clients served at once; a new one takes the place of the oldest.
    int mostClients = 8;
    // How long a later start waits for the running window to connect and to
    // acknowledge its message.
    int handOverMs = 5000;
};

// One window per user: a later start hands what it was asked to open to the
// window already running, over a local socket in the user's runtime folder,
// and ends. The running window reads each message as it comes, without ever
// waiting for a client: a message that is not ours, too long or too slow is
// dropped.
class SingleInstance : public QObject {
    Q_OBJECT
public:
    using Limits = HandOverLimits;

    // The socket for `appId`, in the folder only this user can enter.
    static QString socketPath(const QString& appId);

    explicit SingleInstance(QString path, Limits limits = {}, QObject* parent = nullptr);
    ~SingleInstance() override;

    enum class Start {
        HandedOver, // a running window took `arguments`: this start ends
        Listening,  // this is the window later starts hand theirs to
        Alone,      // another window listens, or nobody can: this one runs apart
        NoAnswer,   // a window listens but did not answer in time (it may be busy):
                    // it will not open the files, and this start may try again
    };
    // Hands `arguments` to the running window unless `newWindow`, else
    // listens for later starts in its place. A socket left by a run that
    // crashed is removed.
    Start start(const QStringList& arguments, bool newWindow);
    // Takes the socket away, for a process about to end without clean-up.
    void stopListening();

signals:
    // What a later start asked to open, in its order.
    void received(const QStringList& arguments);

private:
    enum class HandOver { Taken, Nobody, NoAnswer };
    HandOver handOver(const QStringList& arguments) const;
    bool someoneListens() const;
    bool listen();
    void accept();
    void serve(QLocalSocket* client);

    const QString path_;
    const Limits limits_;
    QLocalServer* server_ = nullptr;
    QList<QPointer<QLocalSocket>> clients_; // oldest first
};

} // namespace platform
