#include "LatestFileWriter.h"

#include "WholeFile.h"

#include <QDir>
#include <QFileInfo>

namespace platform {

LatestFileWriter::LatestFileWriter(QString path, QObject* parent)
    : QObject(parent), path_(std::move(path)) {
    // One writer, so that the file's writes land in the order they were asked.
    writer_.setMaxThreadCount(1);
}

LatestFileWriter::~LatestFileWriter() {
    writer_.waitForDone();
}

void LatestFileWriter::write(QByteArray bytes) {
    write([bytes = std::move(bytes)] { return std::optional(bytes); }, QString());
}

void LatestFileWriter::write(Make make, QString unmade) {
    {
        const QMutexLocker lock(&mutex_);
        pending_ = Pending{std::move(make), std::move(unmade)};
        if (writing_) {
            return;
        }
        writing_ = true;
    }
    writer_.start([this] { writePending(); });
}

bool LatestFileWriter::finish(int ms) {
    return writer_.waitForDone(ms);
}

void LatestFileWriter::writePending() {
    for (;;) {
        Pending next;
        {
            const QMutexLocker lock(&mutex_);
            if (!pending_) {
                writing_ = false;
                return;
            }
            next = std::move(*pending_);
            pending_.reset();
        }
        const std::optional<QByteArray> bytes = next.make();
        QString why = next.unmade;
        if (bytes) {
            // A folder that cannot be made shows in the write's own reason.
            QDir().mkpath(QFileInfo(path_).absolutePath());
            why = writeWholeFile(path_, *bytes);
        }
        if (!why.isEmpty()) {
            QMetaObject::invokeMethod(
                this, [this, why] { emit failed(why); }, Qt::QueuedConnection);
        }
    }
}

} // namespace platform
