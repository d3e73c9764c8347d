#pragma once

#include "platform/WindowList.h"

namespace fakes {

// A desktop whose qualifying windows carry the titles the test sets.
class FakeWindowList : public platform::WindowList {
public:
    QStringList topLevelTitles() override { return titles; }
    QStringList titles;
};

} // namespace fakes
