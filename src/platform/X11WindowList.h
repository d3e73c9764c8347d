#pragma once

#include "WindowList.h"

// Xlib's display type, declared here so that users of this class do not take
// in Xlib's macros (None, Bool, Status ...), which clash with Qt's names.
struct _XDisplay;

namespace platform {

// The window list of the X server named by DISPLAY, read over a connection of
// its own. Without a reachable server the list is always empty.
//
// The windows come top-most first. With a window manager they follow its
// stacking list (_NET_CLIENT_LIST_STACKING), or where it keeps none its
// client list from the newest window to the oldest; without one they are the
// root's children from the top of the server's stacking order down.
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
