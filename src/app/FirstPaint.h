#pragma once

#include <QEvent>
#include <QMetaObject>
#include <QObject>
#include <QWidget>

#include <functional>
#include <utility>

namespace app {

// Runs `then` once, after the first time `widget` has been painted and the
// window flushed to the screen.
class FirstPaint : public QObject {
public:
    FirstPaint(QWidget* widget, std::function<void()> then) : then_(std::move(then)) {
        widget->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && !seen_) {
            seen_ = true;
            watched->removeEventFilter(this);
            // The paint event comes before the widget draws and before the
            // window reaches the screen; a queued call runs after both.
            QMetaObject::invokeMethod(this, then_, Qt::QueuedConnection);
        }
        return false;
    }

private:
    std::function<void()> then_;
    bool seen_ = false;
};

} // namespace app
