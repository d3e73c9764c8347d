#pragma once

#include <QByteArray>
#include <QFile>
#include <QList>

#include <ctime>

#include <unistd.h>

namespace app {

// How long this process has existed, in milliseconds, for start-up
// measurements; zero when unknown.
//
// A launcher that knows when it started the process says so in
// WQZ_LAUNCHED_AT, in seconds since the epoch with a fraction (bash writes
// $EPOCHREALTIME so, to the microsecond). Otherwise the kernel's start time of
// the process is used, which it keeps only in clock ticks (10 ms here), enough
// for one reading but too coarse to compare two programs that differ by a few
// milliseconds.
inline double msSinceLaunch() {
    const QByteArray launched = qgetenv("WQZ_LAUNCHED_AT").replace(',', '.');
    timespec now{};
    if (!launched.isEmpty()) {
        bool ok = false;
        const double at = launched.toDouble(&ok);
        if (ok && clock_gettime(CLOCK_REALTIME, &now) == 0) {
            const double nowS = double(now.tv_sec) + now.tv_nsec / 1e9;
            return nowS > at ? (nowS - at) * 1000 : 0;
        }
    }
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
    // Fields counted after the name start with field 3 (the state); the start
    // time, in clock ticks since boot, is field 22.
    constexpr int kStartTimeField = 22 - 3;
    if (fields.size() <= kStartTimeField) {
        return 0;
    }
    bool ok = false;
    const qint64 startTicks = fields.at(kStartTimeField).toLongLong(&ok);
    const long ticksPerSecond = sysconf(_SC_CLK_TCK);
    if (!ok || ticksPerSecond <= 0 || clock_gettime(CLOCK_BOOTTIME, &now) != 0) {
        return 0;
    }
    const double nowMs = double(now.tv_sec) * 1000 + now.tv_nsec / 1e6;
    const double startMs = double(startTicks) * 1000 / double(ticksPerSecond);
    return nowMs > startMs ? nowMs - startMs : 0;
}

} // namespace app
