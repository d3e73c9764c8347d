#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace platform {

// The whole of a regular file of at most `limit` bytes, or why there is none,
// in words for the reader: nothing else (a named pipe, a device, a folder)
// is read, and opening it never waits for a writer at the other end.
struct FileBytes {
    std::optional<QByteArray> bytes;
    QString problem;
};
FileBytes readWholeFile(const QString& path, qint64 limit);

// Why what stands at `path`, followed through links, is no file to read or
// replace, in words for the reader ("it is a named pipe, not a file."); empty
// for a regular file, or where nothing stands.
QString notAFile(const QString& path);

// Writes the whole file or nothing: the bytes go to a file beside it that
// takes the name only once all of them are on disk, so a failure leaves an
// old file of that name whole. Through a link it replaces only a regular
// file: a device, a pipe or a folder is refused (notAFile). Returns what went wrong in the system's
// words
// ("No space left on device"); empty when nothing did.
QString writeWholeFile(const QString& path, const QByteArray& bytes);

} // namespace platform
