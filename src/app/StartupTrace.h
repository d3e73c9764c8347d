#pragma once

#include "ProcessClock.h"
#include "platform/Browser.h"

#include <QElapsedTimer>
#include <QObject>

#include <cstdio>

namespace app {

// Start-up timing for measurements, printed to stderr only when
// WQZ_TRACE_STARTUP is set. Times count from the moment the process was
// launched, so loading the libraries is part of them.
class StartupTrace : public QObject {
public:
    StartupTrace() : sinceStartMs_(msSinceLaunch()) { clock_.start(); }

    static bool wanted() { return qEnvironmentVariableIsSet("WQZ_TRACE_STARTUP"); }

    // A step on the way, named for the reader of the trace.
    void mark(const char* step) const { report(step); }
    void curvePainted() const { report("first-curve"); }

    // Reports once, when the browser has finished its first page.
    void watch(platform::Browser& browser) {
        connect(&browser, &platform::Browser::DownloadComplete, this, [this] {
            if (!pageReported_) {
                pageReported_ = true;
                report("first-page");
            }
        });
    }

private:
    void report(const char* what) const {
        const double ms = sinceStartMs_ + double(clock_.nsecsElapsed()) / 1e6;
        std::fprintf(stderr, "wqz: %s %lld\n", what, qint64(ms + 0.5));
        std::fflush(stderr);
    }

    double sinceStartMs_;
    QElapsedTimer clock_;
    bool pageReported_ = false;
};

} // namespace app
