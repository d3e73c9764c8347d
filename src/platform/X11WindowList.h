#pragma once

#include "WindowList.h"

// Xlib's display type, declared here so that users of this class do not take
// in Xlib's macros (None, Bool, Status ...), which clash with Qt's names.
struct _XDisplay;

namespace platform {

// The window list of the X server named by DISPLAY, read over a connection of
// its own. Without a reachable server the list is always empty.
//
// When a window manager keeps _NET_CLIENT_LIST the windows come in its order
// (the order they were first mapped); otherwise they are the root's children
// from bottom to top of the stacking order.
class X11WindowList : public WindowList {
public:
    X11WindowList();
    ~X11WindowList() override;
    X11WindowList(const X11WindowList&) = delete;
    X11WindowList& operator=(const X11WindowList&) = delete;

    QStringList topLevelTitles() override;

private:
    _XDisplay* display_ = nullptr;
};

} // namespace platform
