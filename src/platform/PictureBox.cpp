#include "PictureBox.h"

#include "KeyCodes.h"

#include <QAccessibleWidget>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>

#include <algorithm>
#include <cmath>

namespace platform {

namespace {

// Clips the segment to [lo, hi] on both axes (Cohen-Sutherland). An end point
// outside is moved onto the edge it crosses, the edge coordinate set exactly,
// so that ends far out (1e38 and beyond) keep their direction. Returns false
// when nothing of the segment is left.
bool clip(double& x1, double& y1, double& x2, double& y2, double lo, double hi) {
    enum { Left = 1, Right = 2, Top = 4, Bottom = 8 };
    const auto code = [&](double x, double y) {
        return (x < lo ? Left : x > hi ? Right : 0) | (y < lo ? Top : y > hi ? Bottom : 0);
    };
    int c1 = code(x1, y1), c2 = code(x2, y2);
    for (int round = 0; round < 8; ++round) {
        if ((c1 | c2) == 0) {
            return true;
        }
        if (c1 & c2) {
            return false;
        }
        const bool first = c1 != 0;
        const int c = first ? c1 : c2;
        double x = 0, y = 0;
        if (c & (Left | Right)) {
            x = (c & Left) ? lo : hi;
            y = y1 + (y2 - y1) * ((x - x1) / (x2 - x1));
        } else {
            y = (c & Top) ? lo : hi;
            x = x1 + (x2 - x1) * ((y - y1) / (y2 - y1));
        }
        if (first) {
            x1 = x;
            y1 = y;
            c1 = code(x1, y1);
        } else {
            x2 = x;
            y2 = y;
            c2 = code(x2, y2);
        }
    }
    return (c1 | c2) == 0;
}

QColor toColor(Rgb rgb) {
    return QColor::fromRgb(QRgb(0xFF000000u | rgb));
}

// A screen reader hears the area as the picture it is; the toolkit would call
// it a bare container.
QAccessibleInterface* pictureAccessible(const QString& className, QObject* object) {
    if (className == QLatin1String(PictureBox::staticMetaObject.className()) &&
        object->isWidgetType()) {
        return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Graphic);
    }
    return nullptr;
}

} // namespace

// Maps a coordinate to a fraction of the axis, 0 at the first edge and 1 at
// the second. On a degenerate axis the value itself sits in the middle and
// everything else far outside, on the side it lies.
double axisFraction(double v, double first, double second) {
    const double span = second - first;
    if (span == 0 || !std::isfinite(span)) {
        if (v == first) {
            return 0.5;
        }
        return (v > first) == (second >= first) ? 1e9 : -1e9;
    }
    return (v - first) / span;
}

PictureBox::PictureBox(QWidget* parent) : QWidget(parent) {
    static const bool described = [] {
        QAccessible::installFactory(pictureAccessible);
        return true;
    }();
    (void)described;
    // Reached with Tab as well, so that Ctrl+C copies the diagram without
    // the mouse.
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    // Whoever reads values off the diagram hears of the pointer without a press.
    setMouseTracking(true);
    render();
}

void PictureBox::clear() {
    segments_.clear();
    render();
    update();
}

void PictureBox::setScale(double left, double top, double right, double bottom) {
    left_ = left;
    top_ = top;
    right_ = right;
    bottom_ = bottom;
}

void PictureBox::setDrawWidth(int pixels) {
    drawWidth_ = std::max(1, pixels);
}

void PictureBox::setBackColor(Rgb color) {
    back_ = color;
    render();
    update();
}

QPointF PictureBox::toPixels(double x, double y) const {
    return {axisFraction(x, left_, right_) * width(), axisFraction(y, top_, bottom_) * height()};
}

QPointF PictureBox::toUser(QPointF pixels) const {
    const double fx = width() > 0 ? pixels.x() / width() : 0.5;
    const double fy = height() > 0 ? pixels.y() / height() : 0.5;
    return {left_ + fx * (right_ - left_), top_ + fy * (bottom_ - top_)};
}

void PictureBox::mouseMoveEvent(QMouseEvent* event) {
    emit PointerMoved(event->position());
    QWidget::mouseMoveEvent(event);
}

void PictureBox::leaveEvent(QEvent* event) {
    emit PointerLeft();
    QWidget::leaveEvent(event);
}

void PictureBox::line(double x1, double y1, double x2, double y2, Rgb color) {
    Segment s{axisFraction(x1, left_, right_),
              axisFraction(y1, top_, bottom_),
              axisFraction(x2, left_, right_),
              axisFraction(y2, top_, bottom_),
              drawWidth_,
              color};
    // Clip in fractions, with a margin for the pen, so that the painter never
    // sees the huge or degenerate coordinates a user's range can produce.
    if (!std::isfinite(s.x1) || !std::isfinite(s.y1) || !std::isfinite(s.x2) ||
        !std::isfinite(s.y2) || !clip(s.x1, s.y1, s.x2, s.y2, -0.05, 1.05)) {
        return;
    }
    segments_.push_back(s);
    fitImageToSize();
    paintSegment(s);
    update();
}

const QImage& PictureBox::image() const {
    fitImageToSize();
    return image_;
}

void PictureBox::fitImageToSize() const {
    const qreal dpr = devicePixelRatioF();
    const QSize wanted = QSize(std::max(1, width()), std::max(1, height())) * dpr;
    if (image_.size() != wanted || image_.devicePixelRatio() != dpr) {
        render();
    }
}

void PictureBox::render() const {
    const qreal dpr = devicePixelRatioF();
    image_ = QImage(QSize(std::max(1, width()), std::max(1, height())) * dpr, QImage::Format_RGB32);
    image_.setDevicePixelRatio(dpr);
    image_.fill(toColor(back_));
    for (const Segment& s : segments_) {
        paintSegment(s);
    }
}

void PictureBox::paintSegment(const Segment& s) const {
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
    p.drawImage(0, 0, image());
    if (!hasFocus()) {
        return;
    }
    // Painted on the screen only: the persistent image, which is what gets
    // copied, never holds the frame. Our own frame rather than the style's,
    // which shows only after a Tab and not after a click; light dashes over
    // dark show on any background and any curve.
    const QRectF edge = QRectF(rect()).adjusted(1, 1, -1, -1);
    p.setPen(QPen(Qt::black, 2));
    p.drawRect(edge);
    p.setPen(QPen(Qt::white, 2, Qt::DashLine));
    p.drawRect(edge);
}

void PictureBox::focusInEvent(QFocusEvent* event) {
    QWidget::focusInEvent(event);
    update();
}

void PictureBox::focusOutEvent(QFocusEvent* event) {
    QWidget::focusOutEvent(event);
    update();
}

void PictureBox::resizeEvent(QResizeEvent*) {
    fitImageToSize();
}

void PictureBox::keyPressEvent(QKeyEvent* event) {
    // Typed as in the grid: Ctrl+C is charCopy whatever text the platform
    // attached. Keys that type nothing travel on to the parent.
    const QList<int> codes = keys::characterCodes(event->key(), event->modifiers(), event->text());
    if (codes.isEmpty()) {
        QWidget::keyPressEvent(event);
        return;
    }
    event->accept();
    QPointer<PictureBox> alive(this);
    for (const int code : codes) {
        emit KeyPress(code);
        if (!alive) {
            return;
        }
    }
}

} // namespace platform
