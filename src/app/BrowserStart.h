#pragma once

#include "FirstPaint.h"

#include <QObject>

#include <memory>

class QWidget;

namespace offline {
class LoopbackSites;
}
namespace platform {
class WebEngineBrowser;
}

namespace app {

class StartupTrace;

// Brings the browser engine up once the workbench is on screen.
//
// Creating the engine's view takes a few hundred milliseconds and holds up
// everything queued behind it, so it waits until `painted` (the plot area)
// has been painted; should no paint come (a window kept off screen), it
// starts a second later anyway. With the engine comes the program's own copy
// of the maker's pages, answered on loopback under the sites' real addresses,
// so the tutorial reads the same with or without a network; should that
// server fail to start (or its plugin be missing), the pages come from the
// network.
class BrowserStart : public QObject {
public:
    // `trace`, when given, hears of the first paint.
    BrowserStart(platform::WebEngineBrowser& browser, QWidget* painted,
                 StartupTrace* trace = nullptr);
    ~BrowserStart() override;

private:
    void start();

    platform::WebEngineBrowser& browser_;
    bool started_ = false;
    std::unique_ptr<offline::LoopbackSites> sites_;
    FirstPaint firstPaint_;
};

} // namespace app
