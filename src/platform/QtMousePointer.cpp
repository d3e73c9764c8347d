#include "QtMousePointer.h"

#include <QCursor>
#include <QGuiApplication>

namespace platform {

QtMousePointer::~QtMousePointer() {
    if (shape_ != Shape::Default && qGuiApp) {
        QGuiApplication::restoreOverrideCursor();
    }
}

void QtMousePointer::setShape(Shape shape) {
    if (shape == shape_) {
        return;
    }
    if (shape_ != Shape::Default) {
        QGuiApplication::restoreOverrideCursor();
    }
    if (shape == Shape::Hourglass) {
        QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    }
    shape_ = shape;
}

} // namespace platform
