#include "HoverReadout.h"

#include <QEvent>
#include <QPainter>

namespace workbench {

HoverReadout::HoverReadout(QWidget* plotArea)
    : PlotOverlay(plotArea, QStringLiteral("hoverReadout")) {}

void HoverReadout::showAt(QPointF at, const QString& text) {
    at_ = at;
    text_ = text;
    showOver();
}

void HoverReadout::hideReadout() {
    text_.clear();
    hide();
}

void HoverReadout::paintEvent(QPaintEvent*) {
    QPainter p(this);
    // Dotted white over the slate background and any curve colour.
    QPen cross(QColor(255, 255, 255, 170), 1, Qt::DotLine);
    p.setPen(cross);
    p.drawLine(QPointF(at_.x(), 0), QPointF(at_.x(), height()));
    p.drawLine(QPointF(0, at_.y()), QPointF(width(), at_.y()));
    const QRect box =
        p.fontMetrics().boundingRect(rect(), Qt::AlignLeft, text_).adjusted(-4, -2, 4, 2);
    // The bottom left corner: the legend takes the top right, and a long
    // legend line reaches across the top.
    const QRect placed = box.translated(4 - box.left(), height() - 4 - box.bottom());
    p.fillRect(placed, QColor(255, 255, 255, 225));
    p.setPen(Qt::black);
    p.drawText(placed.adjusted(4, 2, -4, -2), Qt::AlignLeft | Qt::AlignVCenter, text_);
}

} // namespace workbench
