#include "FailureGuard.h"

#include "Dialogs.h"
#include "MousePointer.h"

#include <new>

namespace platform {

QString unhandledErrorText(const RunTimeError& error) {
    return QStringLiteral("Run-time error '%1':\n\n%2")
        .arg(error.code())
        .arg(standardMessage(error.code()));
}

namespace {
void show(const RunTimeError& error) {
    mousePointer().setShape(MousePointer::Shape::Default);
    dialogs().msgBox(unhandledErrorText(error), Dialogs::Buttons::Ok, Dialogs::Icon::Critical);
}
} // namespace

void showUnhandled(const std::exception& failure) {
    if (const auto* error = dynamic_cast<const RunTimeError*>(&failure)) {
        show(*error);
    } else if (dynamic_cast<const std::bad_alloc*>(&failure)) {
        show(RunTimeError(errc::OutOfMemory));
    } else {
        show(RunTimeError(errc::InternalError, QString::fromLocal8Bit(failure.what())));
    }
}

void runGuarded(const std::function<void()>& handler) {
    try {
        handler();
    } catch (const std::exception& failure) {
        showUnhandled(failure);
    }
}

} // namespace platform
