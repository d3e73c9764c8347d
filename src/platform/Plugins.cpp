#include "Plugins.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace platform {

QString programPlugin(const QString& fileName) {
    const QDir programDir(QCoreApplication::applicationDirPath());
    const QString beside = programDir.filePath(fileName);
    if (QFileInfo::exists(beside)) {
        return beside;
    }
    return QDir::cleanPath(
        programDir.filePath(QStringLiteral(WQZ_PLUGIN_DIR_FROM_PROGRAM "/") + fileName));
}

} // namespace platform
