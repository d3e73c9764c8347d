#pragma once

#include <QString>

// The folders a fetched component may be stored in.
namespace os::folders {

// The folder this program's code was loaded from, ending with "/": the folder
// of the shared library that holds this code, or of the executable when the
// code is linked into it. That is where the program's own libraries live.
// Empty when the loader cannot tell, which isReadOnly() counts as read-only.
QString systemFolder();

// The folder for temporary files ($TMPDIR, or /tmp when that is not set),
// ending with "/", whether or not it exists.
QString tempFolder();

// True when no new file can be made in `path`: it is not an existing folder,
// the current user may not write to it, or its permissions let nobody write.
// The last counts even for root, who could write anyway, because a folder
// whose owner took every write permission away was meant to stay as it is.
bool isReadOnly(const QString& path);

} // namespace os::folders
