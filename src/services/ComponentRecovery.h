#pragma once

#include <QString>

// Recovery from a failure that says one of the program's component libraries
// is missing: the library is offered for download from the maker's FTP
// server, stored in the system folder (or the temporary-files folder when
// the system folder is read-only) and loaded there.
namespace wqzUtil {

// Looks for a component's keyword in `description` (case matters, the table's
// first match wins) and walks the user through its download. A description
// that names none gets a message of its own and leaves the mouse pointer as
// it was.
void recoverMissingComponent(const QString& description);

// Downloads the component library fileName and loads it from where it was
// stored. False when both folders are read-only, the download fails or the
// library does not load.
bool fetchComponentFile(const QString& fileName);

// The system folder: where the program's own libraries are loaded from,
// ending with "/".
QString getSystemFolder();

// The temporary-files folder, ending with "/".
QString getTempFolder();

} // namespace wqzUtil
