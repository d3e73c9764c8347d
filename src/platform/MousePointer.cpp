#include "MousePointer.h"

#include <QtGlobal>

namespace platform {

namespace {
MousePointer* gPointer = nullptr;
}

MousePointer& mousePointer() {
    Q_ASSERT_X(gPointer, "mousePointer", "no mouse pointer installed");
    return *gPointer;
}

void installMousePointer(MousePointer* pointer) {
    gPointer = pointer;
}

} // namespace platform
