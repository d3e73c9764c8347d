#include "SplitHandle.h"

#include <QMouseEvent>

namespace platform {

SplitHandle::SplitHandle(Qt::Orientation movesAlong, QWidget* parent)
    : QWidget(parent), movesAlong_(movesAlong) {
    setCursor(movesAlong == Qt::Horizontal ? Qt::SplitHCursor : Qt::SplitVCursor);
    setAttribute(Qt::WA_NoSystemBackground);
    setFocusPolicy(Qt::NoFocus);
}

int SplitHandle::along(const QPoint& global) const {
    return movesAlong_ == Qt::Horizontal ? global.x() : global.y();
}

void SplitHandle::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    // Measured on the screen: the handle itself moves with the edge.
    held_ = true;
    from_ = along(event->globalPosition().toPoint());
    emit pressed();
}

void SplitHandle::mouseMoveEvent(QMouseEvent* event) {
    if (held_) {
        emit moved(along(event->globalPosition().toPoint()) - from_);
    }
}

void SplitHandle::mouseReleaseEvent(QMouseEvent* event) {
    if (held_ && event->button() == Qt::LeftButton) {
        emit moved(along(event->globalPosition().toPoint()) - from_);
        held_ = false;
    }
}

void SplitHandle::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        held_ = false;
        emit reset();
    }
}

} // namespace platform
