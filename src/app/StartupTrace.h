#pragma once

#include "platform/Browser.h"

#include <QElapsedTimer>
#include <QFile>
#include <QObject>

#include <cstdio>
#include <ctime>

#include <unistd.h>

namespace app {

// Start-up timing for measurements, printed to stderr only when
// WQZ_TRACE_STARTUP is set. Times count from the moment the process was
// created, so loading the libraries is part of them.
class StartupTrace : public QObject {
public:
    StartupTrace() : sinceStartMs_(msBeforeMain()) { clock_.start(); }

    static bool wanted() { return qEnvironmentVariableIsSet("WQZ_TRACE_STARTUP"); }

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
        std::fprintf(stderr, "wqz: %s %lld\n", what, sinceStartMs_ + clock_.elapsed());
        std::fflush(stderr);
    }

    // How long the process had existed when this was called: the kernel's
    // start time of the process (in clock ticks since boot, field 22 of
    // /proc/self/stat) against the boot-time clock. Zero when unknown.
    static qint64 msBeforeMain() {
        QFile stat(QStringLiteral("/proc/self/stat"));
        if (!stat.open(QIODevice::ReadOnly)) {
            return 0;
        }
        const QByteArray text = stat.readAll();
        // The command name may hold blanks; the fields after it are plain.
        const qsizetype close = text.lastIndexOf(')');
        if (close < 0) {
            return 0;
        }
        const QList<QByteArray> fields = text.mid(close + 2).split(' ');
        // Fields counted after the name start with field 3 (the state).
        constexpr int kStartTimeField = 22 - 3;
        if (fields.size() <= kStartTimeField) {
            return 0;
        }
        bool ok = false;
        const qint64 startTicks = fields.at(kStartTimeField).toLongLong(&ok);
        const long ticksPerSecond = sysconf(_SC_CLK_TCK);
        timespec now{};
        if (!ok || ticksPerSecond <= 0 || clock_gettime(CLOCK_BOOTTIME, &now) != 0) {
            return 0;
        }
        const qint64 nowMs = qint64(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
        const qint64 startMs = startTicks * 1000 / ticksPerSecond;
        return nowMs > startMs ? nowMs - startMs : 0;
    }

    qint64 sinceStartMs_;
    QElapsedTimer clock_;
    bool pageReported_ = false;
};

} // namespace app
