#pragma once

// The real pointer and keyboard of the X server the tests run on, moved by
// xdotool as a user's hand would move them.

#include <QDeadlineTimer>
#include <QPoint>
#include <QProcess>
#include <QStringList>
#include <QTest>

namespace xdo {

// Runs xdotool with these steps and waits for it, the window answering the
// events it sends meanwhile.
inline bool run(const QStringList& steps) {
    QProcess tool;
    tool.start(QStringLiteral("xdotool"), steps);
    if (!tool.waitForStarted(5000)) {
        return false;
    }
    QDeadlineTimer patience(20000);
    while (tool.state() != QProcess::NotRunning && !patience.hasExpired()) {
        QTest::qWait(20);
    }
    return tool.exitStatus() == QProcess::NormalExit && tool.exitCode() == 0;
}

inline QStringList at(QPoint p) {
    return {QStringLiteral("mousemove"), QString::number(p.x()), QString::number(p.y())};
}

// Holds the left button down at `from`, moves by `by` in a few steps, and
// lets go.
inline bool drag(QPoint from, QPoint by) {
    QStringList steps = at(from);
    steps << QStringLiteral("mousedown") << QStringLiteral("1");
    for (int step = 1; step <= 4; ++step) {
        steps << at(from + by * step / 4) << QStringLiteral("sleep") << QStringLiteral("0.05");
    }
    steps << QStringLiteral("mouseup") << QStringLiteral("1");
    return run(steps);
}

} // namespace xdo
