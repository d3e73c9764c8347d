#include "X11WindowList.h"

#include <QByteArray>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <iterator>
#include <vector>

namespace platform {

namespace {

constexpr qsizetype kMaxTitleLength = 255;
// Property reads are counted in 32-bit units. A title needs at most four bytes
// a character before it is cut, so 4 KiB always holds the part that is kept.
constexpr long kTitleUnits = 1024;
constexpr long kMaxClients = 1L << 16;

// ---- errors during a scan ----
//
// A window can be destroyed between being listed and being read; its requests
// then fail with BadWindow, which Xlib's default handler answers by ending the
// program. While a scan runs, errors on the scan's own connection are ignored:
// every read checks its status, so a failed one only leaves that window out.
// Errors on any other connection go to the handler that was installed before.

Display* gScanDisplay = nullptr;
XErrorHandler gPreviousHandler = nullptr;

int ignoreScanErrors(Display* display, XErrorEvent* error) {
    if (display == gScanDisplay) {
        return 0;
    }
    return gPreviousHandler ? gPreviousHandler(display, error) : 0;
}

class ScanErrorGuard {
public:
    explicit ScanErrorGuard(Display* display) : display_(display) {
        gScanDisplay = display_;
        gPreviousHandler = XSetErrorHandler(ignoreScanErrors);
    }
    ~ScanErrorGuard() {
        // Errors of the last requests arrive before the handler goes back.
        XSync(display_, False);
        XSetErrorHandler(gPreviousHandler);
        gScanDisplay = nullptr;
        gPreviousHandler = nullptr;
    }
    ScanErrorGuard(const ScanErrorGuard&) = delete;
    ScanErrorGuard& operator=(const ScanErrorGuard&) = delete;

private:
    Display* display_;
};

// ---- reading properties ----

struct Atoms {
    explicit Atoms(Display* display) {
        char* names[] = {const_cast<char*>("_NET_CLIENT_LIST"),
                         const_cast<char*>("_NET_CLIENT_LIST_STACKING"),
                         const_cast<char*>("_NET_SUPPORTING_WM_CHECK"),
                         const_cast<char*>("_NET_WM_NAME"),
                         const_cast<char*>("UTF8_STRING"),
                         const_cast<char*>("COMPOUND_TEXT")};
        Atom atoms[6] = {};
        XInternAtoms(display, names, 6, False, atoms);
        clientList = atoms[0];
        clientListStacking = atoms[1];
        wmCheck = atoms[2];
        netWmName = atoms[3];
        utf8String = atoms[4];
        compoundText = atoms[5];
    }
    Atom clientList;
    Atom clientListStacking;
    Atom wmCheck;
    Atom netWmName;
    Atom utf8String;
    Atom compoundText;
};

// One window property as the server returned it; empty when the window or the
// property is missing.
class Property {
public:
    Property(Display* display, Window window, Atom property, Atom requestedType, long units) {
        unsigned long bytesAfter = 0;
        if (XGetWindowProperty(display, window, property, 0, units, False, requestedType, &type_,
                               &format_, &items_, &bytesAfter, &data_) != Success) {
            type_ = None;
            format_ = 0;
            items_ = 0;
            data_ = nullptr;
        }
    }
    ~Property() {
        if (data_) {
            XFree(data_);
        }
    }
    Property(const Property&) = delete;
    Property& operator=(const Property&) = delete;

    Atom type() const { return type_; }

    // The items of an 8-bit property, up to the first NUL (WM_NAME may hold
    // several strings, of which the first is the name).
    QByteArray bytes() const {
        if (format_ != 8 || !data_) {
            return {};
        }
        QByteArray all(reinterpret_cast<const char*>(data_), qsizetype(items_));
        const qsizetype end = all.indexOf('\0');
        return end < 0 ? all : all.left(end);
    }

    // The items of a 32-bit property of window ids; Xlib hands them over as longs.
    std::vector<Window> windows() const {
        if (format_ != 32 || !data_) {
            return {};
        }
        const auto* ids = reinterpret_cast<const unsigned long*>(data_);
        return std::vector<Window>(ids, ids + items_);
    }

private:
    Atom type_ = None;
    int format_ = 0;
    unsigned long items_ = 0;
    unsigned char* data_ = nullptr;
};

// A window manager that follows the desktop conventions names a check window
// on the root, which names itself again. A client list left behind by a window
// manager that has gone no longer passes this test.
bool windowManagerRunning(Display* display, Window root, const Atoms& atoms) {
    const auto fromRoot = Property(display, root, atoms.wmCheck, XA_WINDOW, 1).windows();
    if (fromRoot.size() != 1) {
        return false;
    }
    const auto fromCheck = Property(display, fromRoot[0], atoms.wmCheck, XA_WINDOW, 1).windows();
    return fromCheck == fromRoot;
}

// Top-most first: a launcher page opened last, or brought to the front, is the
// one the student is looking at, and the first launch title found decides.
std::vector<Window> listedWindows(Display* display, Window root, const Atoms& atoms) {
    std::vector<Window> windows;
    if (windowManagerRunning(display, root, atoms)) {
        // Both lists run the other way: the stacking list from the bottom up,
        // the plain one from the oldest window to the newest, which is the
        // nearest the plain list comes to the top.
        for (const Atom list : {atoms.clientListStacking, atoms.clientList}) {
            Property clients(display, root, list, XA_WINDOW, kMaxClients);
            if (clients.type() == XA_WINDOW) {
                windows = clients.windows();
                std::reverse(windows.begin(), windows.end());
                return windows;
            }
        }
    }
    // Without a window manager's list, the root's children, which the server
    // hands over from the bottom up.
    Window rootReturn = 0;
    Window parentReturn = 0;
    Window* list = nullptr;
    unsigned int count = 0;
    if (XQueryTree(display, root, &rootReturn, &parentReturn, &list, &count) && list) {
        windows.assign(std::reverse_iterator(list + count), std::reverse_iterator(list));
        XFree(list);
    }
    return windows;
}

// Shown, managed by the window manager and not owned by another window. A
// window from the client list is top-level even though the window manager
// has put it into a frame of its own; one from the root's children is by
// where it was found.
bool qualifies(Display* display, Window window) {
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(display, window, &attributes)) {
        return false;
    }
    if (attributes.map_state != IsViewable || attributes.override_redirect) {
        return false;
    }
    Window owner = None;
    return !XGetTransientForHint(display, window, &owner) || owner == None;
}

QString decodedWmName(Display* display, const Property& name, const Atoms& atoms) {
    const QByteArray bytes = name.bytes();
    if (name.type() == atoms.utf8String) {
        return QString::fromUtf8(bytes);
    }
    if (name.type() == atoms.compoundText && !bytes.isEmpty()) {
        XTextProperty text;
        text.value = reinterpret_cast<unsigned char*>(const_cast<char*>(bytes.constData()));
        text.encoding = atoms.compoundText;
        text.format = 8;
        text.nitems = static_cast<unsigned long>(bytes.size());
        char** list = nullptr;
        int count = 0;
        if (Xutf8TextPropertyToTextList(display, &text, &list, &count) >= Success && list) {
            const QString decoded = count > 0 ? QString::fromUtf8(list[0]) : QString();
            XFreeStringList(list);
            return decoded;
        }
    }
    // STRING is Latin-1; so is compound text as far as it has no escapes.
    return QString::fromLatin1(bytes);
}

QString titleOf(Display* display, Window window, const Atoms& atoms) {
    QString title = QString::fromUtf8(
        Property(display, window, atoms.netWmName, atoms.utf8String, kTitleUnits).bytes());
    if (title.isEmpty()) {
        Property name(display, window, XA_WM_NAME, AnyPropertyType, kTitleUnits);
        title = decodedWmName(display, name, atoms);
    }
    if (title.size() > kMaxTitleLength) {
        title.truncate(kMaxTitleLength);
        // Never keep half of a character outside the basic plane.
        if (title.back().isHighSurrogate()) {
            title.chop(1);
        }
    }
    return title;
}

} // namespace

X11WindowList::X11WindowList() : display_(XOpenDisplay(nullptr)) {}

X11WindowList::~X11WindowList() {
    if (display_) {
        XCloseDisplay(display_);
    }
}

QStringList X11WindowList::topLevelTitles() {
    QStringList titles;
    if (!display_) {
        return titles;
    }
    ScanErrorGuard guard(display_);
    const Atoms atoms(display_);
    const Window root = DefaultRootWindow(display_);
    for (const Window window : listedWindows(display_, root, atoms)) {
        if (!qualifies(display_, window)) {
            continue;
        }
        const QString title = titleOf(display_, window, atoms);
        if (!title.isEmpty()) {
            titles.append(title);
        }
    }
    return titles;
}

} // namespace platform
