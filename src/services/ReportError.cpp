#include "ReportError.h"

#include "Configuration.h"
#include "platform/Dialogs.h"
#include "platform/EventPump.h"
#include "platform/MousePointer.h"

namespace wqzUtil {

QString generalErrorMessage(std::int32_t code) {
    return QStringLiteral("An error has occurred. If the program does not continue normally, "
                          "please report this error, and the circumstances surrounding it, to ") +
           configuration::supportAddress + QStringLiteral(".  The system error is: ") +
           platform::standardMessage(code);
}

void reportError(const platform::RunTimeError& /*current*/, std::int32_t code) {
    // A missing component (codes 53 and 48) will be offered for download here;
    // until that exists those codes take the general message like any other.
    platform::dialogs().msgBox(generalErrorMessage(code), platform::Dialogs::Buttons::Ok,
                               platform::Dialogs::Icon::Critical);
    platform::eventPump().doEvents();
    platform::mousePointer().setShape(platform::MousePointer::Shape::Default);
}

} // namespace wqzUtil
