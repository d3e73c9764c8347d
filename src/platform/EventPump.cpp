#include "EventPump.h"

#include <QtGlobal>

namespace platform {

namespace {
EventPump* gPump = nullptr;
}

EventPump& eventPump() {
    Q_ASSERT_X(gPump, "eventPump", "no event pump installed");
    return *gPump;
}

void installEventPump(EventPump* pump) {
    gPump = pump;
}

} // namespace platform
