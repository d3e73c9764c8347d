#pragma once

#include <QByteArray>
#include <QMutex>
#include <QObject>
#include <QString>
#include <QThreadPool>

#include <functional>
#include <optional>

namespace platform {

// Keeps a file of the program's own up to date without the window ever
// waiting for the disk: each write() takes the place of what is still
// waiting, and one thread of its own writes the latest bytes whole
// (writeWholeFile), so a slow disk costs writes that were overtaken, never
// time. A write that fails is told by failed() on the object's own thread.
class LatestFileWriter : public QObject {
    Q_OBJECT
public:
    explicit LatestFileWriter(QString path, QObject* parent = nullptr);
    // Waits for the last write, so that nothing asked for is lost.
    ~LatestFileWriter() override;

    const QString& path() const { return path_; }
    void write(QByteArray bytes);
    // The bytes made on the writer's thread, from what the window held when
    // it asked; nothing from `make` is a failure, told as `unmade`.
    using Make = std::function<std::optional<QByteArray>()>;
    void write(Make make, QString unmade);
    // Waits up to `ms` for the writes asked for; true when none is left.
    bool finish(int ms);

signals:
    // In the system's words ("No space left on device").
    void failed(const QString& reason);

private:
    // On the writer's thread: writes the latest bytes until none are left.
    void writePending();

    const QString path_;
    QMutex mutex_;
    struct Pending {
        Make make;
        QString unmade;
    };
    std::optional<Pending> pending_; // guarded by mutex_
    bool writing_ = false;           // guarded by mutex_
    // Last, so that it is gone, its writes done, before what they use.
    QThreadPool writer_;
};

} // namespace platform
