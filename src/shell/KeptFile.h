#pragma once

#include "KeptSettings.h"
#include "platform/LatestFileWriter.h"

#include <QObject>
#include <QString>

namespace shell {

// The student's settings file: read once as the window is built, as the
// position files are read (a regular file within kept::largestFile, never
// waiting on a pipe), and written after each change off the window's
// thread, the latest settings only.
class KeptFile : public QObject {
    Q_OBJECT
public:
    explicit KeptFile(QString path, QObject* parent = nullptr);

    struct Loaded {
        Kept kept;
        // What to tell the student of a file that could not be read and was
        // set aside; empty when there was none to set aside.
        QString setAside;
    };
    // Something at the path that is no settings file (a pipe, a device, a
    // folder, a file larger than settings can be) is moved out of the way,
    // kept beside it, and the program starts on its defaults.
    Loaded load() const;

    void keep(const Kept& kept);
    // Waits up to `ms` for the writes asked for; true when none is left.
    bool finishWriting(int ms);

signals:
    // A write failed, in the system's words; the settings are still held.
    void notKept(const QString& reason);

private:
    platform::LatestFileWriter writer_;
};

} // namespace shell
