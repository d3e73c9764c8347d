#include "LineControl.h"

#include "Twips.h"

#include <QPainter>

#include <algorithm>

namespace platform {

LineControl::LineControl(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
}

void LineControl::setEndPoints(int x1, int y1, int x2, int y2) {
    x1_ = x1;
    y1_ = y1;
    x2_ = x2;
    y2_ = y2;
    const int left = twips::toPixels(std::min(x1, x2));
    const int top = twips::toPixels(std::min(y1, y2));
    const int right = twips::toPixels(std::max(x1, x2));
    const int bottom = twips::toPixels(std::max(y1, y2));
    setGeometry(left, top, right - left + 1, bottom - top + 1);
    update();
}

void LineControl::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setPen(QPen(palette().color(QPalette::WindowText), 1));
    const QPoint origin = pos();
    p.drawLine(QPoint(twips::toPixels(x1_), twips::toPixels(y1_)) - origin,
               QPoint(twips::toPixels(x2_), twips::toPixels(y2_)) - origin);
}

} // namespace platform
