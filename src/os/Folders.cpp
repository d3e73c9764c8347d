#include "Folders.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <dlfcn.h>
#include <link.h>
#include <sys/stat.h>
#include <unistd.h>

namespace os::folders {

namespace {

QString withSlash(QString path) {
    if (!path.endsWith(u'/')) {
        path += u'/';
    }
    return path;
}

// The file this function's code was loaded from. The dynamic linker names a
// shared library by the path it opened; the executable it leaves unnamed.
QString loadedFrom() {
    Dl_info info{};
    link_map* map = nullptr;
    if (dladdr1(reinterpret_cast<void*>(&loadedFrom), &info, reinterpret_cast<void**>(&map),
                RTLD_DL_LINKMAP) != 0 &&
        map != nullptr && map->l_name != nullptr && map->l_name[0] != '\0') {
        return QFile::decodeName(map->l_name);
    }
    return QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget();
}

} // namespace

QString systemFolder() {
    const QString folder = QFileInfo(loadedFrom()).canonicalPath();
    return folder.isEmpty() ? QString() : withSlash(folder);
}

QString tempFolder() {
    // Not QDir::tempPath(): it answers "" for a folder that does not exist,
    // which would make the root folder the place to store files.
    QString folder = qEnvironmentVariable("TMPDIR");
    if (folder.isEmpty()) {
        folder = QStringLiteral("/tmp");
    }
    return withSlash(QDir::cleanPath(folder));
}

bool isReadOnly(const QString& path) {
    const QByteArray name = QFile::encodeName(path);
    struct stat status {};
    if (name.isEmpty() || stat(name.constData(), &status) != 0 || !S_ISDIR(status.st_mode)) {
        return true;
    }
    if ((status.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) {
        return true;
    }
    return access(name.constData(), W_OK | X_OK) != 0;
}

} // namespace os::folders
