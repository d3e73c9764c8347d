#include "GuardedApplication.h"

#include "FailureGuard.h"

namespace platform {

GuardedApplication::GuardedApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool GuardedApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& failure) {
        showUnhandled(failure);
        return false;
    }
}

} // namespace platform
