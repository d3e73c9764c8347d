#include "ReportError.h"

#include "ComponentRecovery.h"
#include "Configuration.h"
#include "platform/Dialogs.h"
#include "platform/EventPump.h"
#include "platform/MousePointer.h"

namespace services::errors {

QString generalErrorMessage(std::int32_t code) {
    return QStringLiteral("An error has occurred. If the program does not continue normally, "
                          "please report this error, and the circumstances surrounding it, to ") +
           configuration::supportAddress + QStringLiteral(".  The system error is: ") +
           platform::standardMessage(code);
}

void reportError(const platform::RunTimeError& current, std::int32_t code,
                 const ComponentRecovery& recovery) {
    // A file not found or a library that would not load may be a component
    // the program can fetch; the failure itself says which one.
    if (current.code() == platform::errc::FileNotFound ||
        current.code() == platform::errc::ErrorLoadingLibrary) {
        recovery.recoverMissingComponent(current.description());
        return;
    }
    platform::dialogs().msgBox(generalErrorMessage(code), platform::Dialogs::Buttons::Ok,
                               platform::Dialogs::Icon::Critical);
    platform::eventPump().doEvents();
    platform::mousePointer().setShape(platform::MousePointer::Shape::Default);
}

} // namespace services::errors
