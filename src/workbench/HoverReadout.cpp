#include "HoverReadout.h"

#include <QEvent>
#include <QPainter>

namespace workbench {

HoverReadout::HoverReadout(QWidget* plotArea) : QWidget(plotArea) {
    setObjectName(QStringLiteral("hoverReadout"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    setGeometry(plotArea->rect());
    plotArea->installEventFilter(this);
    hide();
}

void HoverReadout::showAt(QPointF at, const QString& text) {
    at_ = at;
    text_ = text;
    setGeometry(parentWidget()->rect());
    show();
    raise();
    update();
}

void HoverReadout::hideReadout() {
    text_.clear();
    hide();
}

bool HoverReadout::eventFilter(QObject* watched, QEvent* event) {
    if (watched == parentWidget() && event->type() == QEvent::Resize) {
        setGeometry(parentWidget()->rect());
    }
    return QWidget::eventFilter(watched, event);
}

void HoverReadout::paintEvent(QPaintEvent*) {
    QPainter p(this);
    // Dotted white over the slate background and any curve colour.
    QPen cross(QColor(255, 255, 255, 170), 1, Qt::DotLine);
    p.setPen(cross);
    p.drawLine(QPointF(at_.x(), 0), QPointF(at_.x(), height()));
    p.drawLine(QPointF(0, at_.y()), QPointF(width(), at_.y()));
    const QRect box = p.fontMetrics().boundingRect(text_).adjusted(-4, -2, 4, 2);
    const QRect placed = box.translated(4 - box.left(), 4 - box.top());
    p.fillRect(placed, QColor(255, 255, 255, 225));
    p.setPen(Qt::black);
    p.drawText(placed, Qt::AlignCenter, text_);
}

} // namespace workbench
