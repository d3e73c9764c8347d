#pragma once

#include "ComponentRecovery.h"
#include "platform/RunTimeError.h"

#include <QString>

#include <cstdint>

namespace services::errors {

// The general message for a caught failure, naming the support address and
// the standard text of the code.
QString generalErrorMessage(std::int32_t code);

// Tells the user about a failure an operation has caught. `current` is the
// failure itself; `code` is the code the operation hands over, which is the
// same unless it passed through a narrower number on the way. Afterwards the
// mouse pointer is the arrow again, except when the failure says a file is
// missing (codes 53 and 48): then the missing component is offered for
// download through `recovery`, and a failure that names none leaves the
// pointer as it was.
void reportError(const platform::RunTimeError& current, std::int32_t code,
                 const ComponentRecovery& recovery = ComponentRecovery());
inline void reportError(const platform::RunTimeError& current) {
    reportError(current, current.code());
}

} // namespace services::errors
