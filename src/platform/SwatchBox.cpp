#include "SwatchBox.h"

#include <QMouseEvent>

namespace platform {

SwatchBox::SwatchBox(QWidget* parent) : QFrame(parent) {
    describeToScreenReaders();
    setAutoFillBackground(true);
    setBorder(false);
    setCursor(Qt::PointingHandCursor);
}

void SwatchBox::setColor(Rgb color) {
    color_ = color;
    QPalette p = palette();
    p.setColor(QPalette::Window, QColor::fromRgb(QRgb(0xFF000000u | color)));
    setPalette(p);
}

void SwatchBox::setBorder(bool single) {
    const bool changed = single != hasBorder();
    setFrameShape(single ? QFrame::Box : QFrame::NoFrame);
    if (changed) {
        announceChosen();
    }
    setLineWidth(1);
    // A border that stands out on any of the sixteen colours.
    QPalette p = palette();
    p.setColor(QPalette::WindowText, Qt::black);
    p.setColor(QPalette::Light, Qt::white);
    setPalette(p);
}

void SwatchBox::mousePressEvent(QMouseEvent* event) {
    pressed_ = event->button() == Qt::LeftButton;
    event->accept();
}

void SwatchBox::mouseReleaseEvent(QMouseEvent* event) {
    const bool click =
        pressed_ && event->button() == Qt::LeftButton && rect().contains(event->pos());
    pressed_ = false;
    event->accept();
    if (click) {
        emit Click();
    }
}

} // namespace platform
