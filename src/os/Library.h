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

// Loads a library of the system by its file name (as "libcurl.so.4"), looked
// up along the system's library search path. Returns null when it cannot be
// loaded.
Handle loadSystem(const char* fileName);

// The address of `name` in a loaded library; null when it has none.
void* symbol(Handle handle, const char* name);

// Gives back one reference to a loaded library; null does nothing.
void unload(Handle handle);

} // namespace os::library
