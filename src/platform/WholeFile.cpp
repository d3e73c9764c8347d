#include "WholeFile.h"

#include <QFile>
#include <QSaveFile>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

QString systemReason(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

// Qt says "Unknown error" where a write failed without telling it why; the
// system's own reason is kept from the moment it failed.
QString reasonOf(const QFileDevice& file, int error) {
    const QString said = file.errorString();
    if (error != 0 && (said.isEmpty() || said == QLatin1String("Unknown error"))) {
        return systemReason(error);
    }
    return said;
}

QString kindOf(mode_t mode) {
    if (S_ISDIR(mode)) {
        return QStringLiteral("a folder");
    }
    if (S_ISFIFO(mode)) {
        return QStringLiteral("a named pipe");
    }
    if (S_ISCHR(mode) || S_ISBLK(mode)) {
        return QStringLiteral("a device");
    }
    if (S_ISSOCK(mode)) {
        return QStringLiteral("a socket");
    }
    return QString();
}

QString notAFile(mode_t mode) {
    if (S_ISREG(mode)) {
        return QString();
    }
    const QString kind = kindOf(mode);
    return kind.isEmpty() ? QStringLiteral("it is not a file.")
                          : QStringLiteral("it is %1, not a file.").arg(kind);
}

} // namespace

QString notAFile(const QString& path) {
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0) {
        return QString();
    }
    return notAFile(info.st_mode);
}

FileBytes readWholeFile(const QString& path, qint64 limit) {
    // Not blocking: a named pipe with no writer would hold the open for good.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return {std::nullopt, systemReason(errno)};
    }
    QFile file;
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return {std::nullopt, notAFile(info.st_mode)};
    }
    if (info.st_size > limit) {
        ::close(fd);
        return {std::nullopt, QString()};
    }
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return {std::nullopt, file.errorString()};
    }
    // The size may have grown since it was looked at; one byte more tells.
    QByteArray bytes = file.read(limit + 1);
    if (bytes.size() > limit) {
        return {std::nullopt, QString()};
    }
    return {std::move(bytes), QString()};
}

QString writeWholeFile(const QString& path, const QByteArray& bytes) {
    // The save file would put a regular file in place of a device or a pipe
    // a link points to (where the user may write there), or fail on a folder
    // in words that do not say why.
    if (const QString why = notAFile(path); !why.isEmpty()) {
        return why;
    }
    QSaveFile file(path);
    errno = 0;
    if (!file.open(QIODevice::WriteOnly)) {
        return reasonOf(file, errno);
    }
    // The explicit flush matters: when the disk takes only part of the bytes
    // (a full disk, a file size limit) commit() alone can still put the cut
    // file in place of the old one; a failed flush is seen here.
    errno = 0;
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        const QString why = reasonOf(file, errno);
        file.cancelWriting();
        return why;
    }
    errno = 0;
    if (!file.commit()) {
        return reasonOf(file, errno);
    }
    return QString();
}

} // namespace platform
