#include "QtEventPump.h"

#include <QCoreApplication>
#include <QEventLoop>

namespace platform {

void QtEventPump::doEvents() {
    // Deferred deletions are left to the main loop: a pass run from inside a
    // handler must not delete the object whose handler is running.
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void QtEventPump::waitForEvents() {
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
}

} // namespace platform
