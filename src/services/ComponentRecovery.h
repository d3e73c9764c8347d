#pragma once

#include "os/Folders.h"
#include "os/InternetSession.h"

#include <QString>

namespace services {

// Recovery from a failure that says one of the program's component libraries
// is missing: the library is offered for download from the maker's FTP
// server, stored in the system folder (or the temporary-files folder when
// the system folder is read-only) and loaded there.
class ComponentRecovery {
public:
    // `systemFolder` is where the program's own libraries are loaded from;
    // `routes` send the FTP server's connections elsewhere (none by default).
    explicit ComponentRecovery(const QString& systemFolder = os::folders::systemFolder(),
                               os::Routes routes = {});

    // Looks for a component's keyword in `description` (case matters, the
    // table's first match wins) and walks the user through its download. A
    // description that names none gets a message of its own and leaves the
    // mouse pointer as it was.
    void recoverMissingComponent(const QString& description) const;

    // Downloads the component library fileName and loads it from where it was
    // stored. False when both folders are read-only, the download fails or
    // the library does not load.
    bool fetchComponentFile(const QString& fileName) const;

    // The system folder, ending with "/".
    QString getSystemFolder() const { return systemFolder_; }
    // The temporary-files folder, ending with "/".
    QString getTempFolder() const;

private:
    QString systemFolder_;
    os::Routes routes_;
};

} // namespace services
