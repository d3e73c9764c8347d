#include "PictureBox.h"

#include <QKeyEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace platform {

namespace {

// Maps a coordinate to a fraction of the axis, 0 at the first edge and 1 at
// the second. On a degenerate axis the value itself sits in the middle and
// everything else far outside, on the side it lies.
double fraction(double v, double first, double second) {
    const double span = second - first;
    if (span == 0 || !std::isfinite(span)) {
        if (v == first) {
            return 0.5;
        }
        return (v > first) == (second >= first) ? 1e9 : -1e9;
    }
    return (v - first) / span;
}

// Clips the segment to [lo, hi] on both axes (Liang-Barsky). Returns false when
// nothing of it is left.
bool clip(double& x1, double& y1, double& x2, double& y2, double lo, double hi) {
    double t0 = 0, t1 = 1;
    const double dx = x2 - x1, dy = y2 - y1;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {x1 - lo, hi - x1, y1 - lo, hi - y1};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0) {
                return false;
            }
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0) {
            t0 = std::max(t0, t);
        } else {
            t1 = std::min(t1, t);
        }
        if (t0 > t1) {
            return false;
        }
    }
    const double ax = x1 + t0 * dx, ay = y1 + t0 * dy;
    x2 = x1 + t1 * dx;
    y2 = y1 + t1 * dy;
    x1 = ax;
    y1 = ay;
    return true;
}

QColor toColor(Rgb rgb) { return QColor::fromRgb(QRgb(0xFF000000u | rgb)); }

} // namespace

PictureBox::PictureBox(QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::ClickFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    render();
}

void PictureBox::clear() {
    segments_.clear();
    render();
}

void PictureBox::setScale(double left, double top, double right, double bottom) {
    left_ = left;
    top_ = top;
    right_ = right;
    bottom_ = bottom;
}

void PictureBox::setDrawWidth(int pixels) { drawWidth_ = std::max(1, pixels); }

void PictureBox::setBackColor(Rgb color) {
    back_ = color;
    render();
}

QPointF PictureBox::toPixels(double x, double y) const {
    return {fraction(x, left_, right_) * width(), fraction(y, top_, bottom_) * height()};
}

void PictureBox::line(double x1, double y1, double x2, double y2, Rgb color) {
    Segment s{fraction(x1, left_, right_), fraction(y1, top_, bottom_),
              fraction(x2, left_, right_), fraction(y2, top_, bottom_), drawWidth_, color};
    // Clip in fractions, with a margin for the pen, so that the painter never
    // sees the huge or degenerate coordinates a user's range can produce.
    if (!std::isfinite(s.x1) || !std::isfinite(s.y1) || !std::isfinite(s.x2) ||
        !std::isfinite(s.y2) || !clip(s.x1, s.y1, s.x2, s.y2, -0.05, 1.05)) {
        return;
    }
    segments_.push_back(s);
    paintSegment(s);
    update();
}

void PictureBox::render() {
    const qreal dpr = devicePixelRatioF();
    image_ = QImage(QSize(std::max(1, width()), std::max(1, height())) * dpr,
                    QImage::Format_RGB32);
    image_.setDevicePixelRatio(dpr);
    image_.fill(toColor(back_));
    for (const Segment& s : segments_) {
        paintSegment(s);
    }
    update();
}

void PictureBox::paintSegment(const Segment& s) {
    QPainter p(&image_);
    // Plain, unblended pixels: the colour drawn is the colour stored.
    p.setRenderHint(QPainter::Antialiasing, false);
    QPen pen(toColor(s.color), s.width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    p.setPen(pen);
    const double w = width(), h = height();
    p.drawLine(QPointF(s.x1 * w, s.y1 * h), QPointF(s.x2 * w, s.y2 * h));
}

void PictureBox::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.drawImage(0, 0, image_);
}

void PictureBox::resizeEvent(QResizeEvent*) { render(); }

void PictureBox::keyPressEvent(QKeyEvent* event) {
    // Ctrl+letter is the control character (Ctrl+C is 3), whatever text the
    // platform attached to the event.
    const int key = event->key();
    if ((event->modifiers() & Qt::ControlModifier) && key >= Qt::Key_A && key <= Qt::Key_Z) {
        emit KeyPress(key - Qt::Key_A + 1);
        event->accept();
        return;
    }
    const QString text = event->text();
    if (text.size() == 1) {
        emit KeyPress(text.at(0).unicode());
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

} // namespace platform
