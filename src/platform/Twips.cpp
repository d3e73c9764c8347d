#include "Twips.h"

#include <QVariant>
#include <QWidget>

#include <cmath>

namespace platform::twips {

namespace {
constexpr const char* kLeft = "twipLeft";
constexpr const char* kTop = "twipTop";
constexpr const char* kWidth = "twipWidth";
constexpr const char* kHeight = "twipHeight";
} // namespace

int toPixels(int t) {
    return int(std::lround(double(t) / perPixel));
}

int pixelsToHold(int t) {
    return int(std::ceil(double(t) / perPixel));
}

void setGeometry(QWidget* widget, const Rect& r) {
    widget->setProperty(kLeft, r.left);
    widget->setProperty(kTop, r.top);
    widget->setProperty(kWidth, r.width);
    widget->setProperty(kHeight, r.height);
    widget->setGeometry(toPixels(r));
}

QRect toPixels(const Rect& r) {
    const int x = toPixels(r.left);
    const int y = toPixels(r.top);
    return {x, y, toPixels(r.left + r.width) - x, toPixels(r.top + r.height) - y};
}

Rect geometry(const QWidget* widget) {
    const QVariant left = widget->property(kLeft);
    if (!left.isValid()) {
        const QRect g = widget->geometry();
        return {fromPixels(g.x()), fromPixels(g.y()), fromPixels(g.width()),
                fromPixels(g.height())};
    }
    return {left.toInt(), widget->property(kTop).toInt(), widget->property(kWidth).toInt(),
            widget->property(kHeight).toInt()};
}

} // namespace platform::twips
