#pragma once

#include <QStringList>

namespace platform {

// The titles of the desktop's top-level windows that are visible and have
// neither a parent nor an owner, the top-most first. Empty titles are left
// out; a title gives at most 255 characters.
class WindowList {
public:
    virtual ~WindowList() = default;
    virtual QStringList topLevelTitles() = 0;
};

} // namespace platform
