#pragma once

#include <QByteArray>
#include <QString>

namespace platform {

// Writes the whole file or nothing: the bytes go to a file beside it that
// takes the name only once all of them are on disk, so a failure leaves an
// old file of that name whole. Returns what went wrong; empty when nothing did.
QString writeWholeFile(const QString& path, const QByteArray& bytes);

} // namespace platform
