// The floor that bench/startup.sh measures the program against: a bare Qt
// window that paints one line, timed from launch to its first paint as the
// program times its first curve, and reported in the same words.
#include "app/FirstPaint.h"
#include "app/ProcessClock.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPainter>
#include <QWidget>

#include <cstdio>

namespace {

class Line : public QWidget {
protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.setPen(QPen(Qt::darkBlue, 2));
        p.drawLine(rect().bottomLeft(), rect().topRight());
    }
};

} // namespace

int main(int argc, char* argv[]) {
    const double launchedMs = app::msSinceLaunch();
    QElapsedTimer clock;
    clock.start();
    std::fprintf(stderr, "wqz: main %lld\n", qint64(launchedMs + 0.5));
    QApplication application(argc, argv);
    std::fprintf(stderr, "wqz: toolkit %lld\n",
                 qint64(launchedMs + double(clock.nsecsElapsed()) / 1e6 + 0.5));
    Line window;
    // About the program's own window at the design size with its panel.
    window.resize(1100, 700);
    window.show();
    const app::FirstPaint painted(&window, [&] {
        const double ms = launchedMs + double(clock.nsecsElapsed()) / 1e6;
        std::fprintf(stderr, "wqz: first-curve %lld\n", qint64(ms + 0.5));
        std::fflush(stderr);
    });
    return application.exec();
}
