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

void runGuarded(const std::function<void()>& handler) {
    try {
        handler();
    } catch (const RunTimeError& error) {
        show(error);
    } catch (const std::bad_alloc&) {
        show(RunTimeError(errc::OutOfMemory));
    }
}

} // namespace platform
