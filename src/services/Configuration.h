#pragma once

#include <QString>

// The maker's addresses. They live on reserved example domains, so the program
// never sends traffic to somebody else's server; tests map them to loopback.
namespace configuration {

// Where users report failures; shown in the general error message.
inline const QString supportAddress = QStringLiteral("support@quillmere.example");

} // namespace configuration
