#pragma once

#include <QString>

#include <functional>

class QWidget;

namespace platform {

// The page view of the web engine, as the engine's plugin hands it over.
//
// Qt WebEngine is a very large library: merely linking it into the program
// costs about a hundred milliseconds before main() runs. The program therefore
// loads it only once its window is on screen, from a plugin that implements
// this interface. Nothing here may be a QObject: the plugin carries no copy of
// the program's meta-objects, so signals cross as plain callbacks.
class EngineView {
public:
    struct Events {
        // Loading progress of the page, 0 to 100.
        std::function<void(int)> progress;
        // The load has ended: finished, failed, stopped or replaced.
        std::function<void()> finished;
        // A link to an address of the program's own (see programScheme) was
        // followed, in the page itself (true) or in a frame inside it; the
        // page stays as it was and the history unchanged.
        std::function<void(const QString&, bool)> programLink;
    };

    virtual ~EngineView() = default;

    // The widget showing the pages; owned by the parent given at creation.
    virtual QWidget* widget() = 0;
    virtual void load(const QString& address) = 0;
    // False when the history has no page in that direction.
    virtual bool back() = 0;
    virtual bool forward() = 0;
    virtual void stop() = 0;
    // The address of the page shown, after redirects.
    virtual QString url() const = 0;
    // Runs the script in the page shown, beside the page's own scripts, and
    // returns at once; its result is not kept.
    virtual void runScript(const QString& script) = 0;
    // The page's text and pictures drawn this many times their size.
    virtual void setZoom(double factor) = 0;
};

// The scheme of the addresses the program answers itself, never loaded.
inline constexpr const char* kProgramScheme = "wqz-workbench";

// The plugin's one entry point: creates the view as a child of `parent`.
using CreateEngineView = EngineView* (*)(QWidget* parent, EngineView::Events events);
inline constexpr const char* kCreateEngineViewSymbol = "wqzCreateEngineView";

} // namespace platform
