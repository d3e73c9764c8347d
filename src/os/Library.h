#pragma once

#include <QString>

// Shared libraries loaded at run time.
namespace os::library {

using Handle = void*;

// Loads the shared library at `path` and resolves all of its symbols at once,
// so that a library whose own dependencies are missing fails here and not on
// its first call. A path without a folder means the file in the current
// folder: it is never looked up along the library search path, so what is
// loaded is the file at that path and nothing else. An empty path loads
// nothing. Returns null when nothing was loaded.
Handle load(const QString& path);

// Gives back one reference to a loaded library; null does nothing.
void unload(Handle handle);

} // namespace os::library
