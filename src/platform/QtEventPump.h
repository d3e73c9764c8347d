#pragma once

#include "EventPump.h"

namespace platform {

class QtEventPump : public EventPump {
public:
    void doEvents() override;
    void waitForEvents() override;
};

} // namespace platform
