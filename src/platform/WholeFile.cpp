#include "WholeFile.h"

#include <QSaveFile>

namespace platform {

QString writeWholeFile(const QString& path, const QByteArray& bytes) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        return file.errorString();
    }
    // The explicit flush matters: when the disk takes only part of the bytes
    // (a full disk, a file size limit) commit() alone can still put the cut
    // file in place of the old one; a failed flush is seen here.
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        const QString why = file.errorString();
        file.cancelWriting();
        return why;
    }
    if (!file.commit()) {
        return file.errorString();
    }
    return QString();
}

} // namespace platform
