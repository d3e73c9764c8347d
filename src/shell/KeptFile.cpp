#include "KeptFile.h"

#include "platform/WholeFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdio>

namespace shell {

KeptFile::KeptFile(QString path, QObject* parent) : QObject(parent), writer_(std::move(path)) {
    connect(&writer_, &platform::LatestFileWriter::failed, this, &KeptFile::notKept);
}

KeptFile::Loaded KeptFile::load() const {
    const QString& path = writer_.path();
    const platform::FileBytes file = platform::readWholeFile(path, kept::largestFile);
    if (file.bytes) {
        return {kept::fromText(*file.bytes), QString()};
    }
    const QFileInfo there(path);
    if (!there.exists() && !there.isSymLink()) {
        return {}; // a first start
    }
    QString why = file.problem.isEmpty()
                      ? QStringLiteral("it is larger than the settings can ever be.")
                      : file.problem;
    // Renamed, never opened: a link is moved itself, whatever it points to.
    const QString aside = path + QStringLiteral(".set-aside");
    if (std::rename(QFile::encodeName(path).constData(), QFile::encodeName(aside).constData()) ==
        0) {
        why += QStringLiteral(" It has been set aside as %1.").arg(QFileInfo(aside).fileName());
    }
    return {Kept(),
            QStringLiteral("Your settings could not be read from %1: %2 The program starts with "
                           "the settings of a first start.")
                .arg(QDir::toNativeSeparators(path), why)};
}

void KeptFile::keep(const Kept& kept) {
    writer_.write([kept] { return kept::toText(kept); },
                  QStringLiteral("no text could be made of them."));
}

bool KeptFile::finishWriting(int ms) {
    return writer_.finish(ms);
}

} // namespace shell
