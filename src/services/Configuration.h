#pragma once

#include "Sites.h"

#include <QString>

// The maker's FTP account, how the program names itself to web servers, and
// where users report failures. The sites themselves are in Sites.h.
namespace services::configuration {

// The component libraries' FTP server: the schools' site's host.
inline QString ftpHost() {
    return sites::host(sites::Site::Schools);
}

// The account on the FTP server. The password is kept as two words and the
// character between them and joined only when it is used, so that it never
// stands whole in the program file. Servers other than ftpHost() have the
// words the other way round.
inline const QString ftpUser = QStringLiteral("wqzlib");
inline const QString ftpPasswordWords[2] = {QStringLiteral("quill"), QStringLiteral("mere42")};
inline constexpr char16_t ftpPasswordSeparator = u'#';

// How page reads name themselves to web servers.
inline const QString pageClientName = QStringLiteral("wqzPageReader");

// Where users report failures; shown in the general error message.
inline const QString supportAddress = QStringLiteral("support@quillmere.example");

} // namespace services::configuration
