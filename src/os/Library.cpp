#include "Library.h"

#include <QFile>

#include <dlfcn.h>

namespace os::library {

Handle load(const QString& path) {
    if (path.isEmpty()) {
        // dlopen() would hand back the program itself for an empty name.
        return nullptr;
    }
    QByteArray name = QFile::encodeName(path);
    if (!name.contains('/')) {
        name.prepend("./");
    }
    return dlopen(name.constData(), RTLD_NOW | RTLD_LOCAL);
}

Handle loadSystem(const char* fileName) {
    return dlopen(fileName, RTLD_NOW | RTLD_LOCAL);
}

void* symbol(Handle handle, const char* name) {
    return handle != nullptr ? dlsym(handle, name) : nullptr;
}

void unload(Handle handle) {
    if (handle != nullptr) {
        dlclose(handle);
    }
}

} // namespace os::library
