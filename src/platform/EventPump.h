#pragma once

namespace platform {

// The event queue as the behaviour uses it: one pass over the waiting events,
// and a wait that sleeps until events arrive (never a busy loop).
class EventPump {
public:
    virtual ~EventPump() = default;
    // Processes the events that are waiting, then returns.
    virtual void doEvents() = 0;
    // Sleeps until at least one event arrives, processes what is there, returns.
    virtual void waitForEvents() = 0;
};

EventPump& eventPump();
void installEventPump(EventPump* pump);

} // namespace platform
