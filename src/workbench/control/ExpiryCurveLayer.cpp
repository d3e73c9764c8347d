#include "ExpiryCurveLayer.h"

#include "platform/PictureBox.h"

#include <QPainter>
#include <QPolygonF>

namespace workbench {

ExpiryCurveLayer::ExpiryCurveLayer(platform::PictureBox* plotArea)
    : PlotOverlay(plotArea, QStringLiteral("expiryCurve")), area_(plotArea) {}

void ExpiryCurveLayer::draw(const QList<QPointF>& points, platform::Rgb curveColor) {
    points_ = points;
    color_ = curveColor;
    showOver();
}

void ExpiryCurveLayer::clear() {
    points_.clear();
    hide();
}

QColor ExpiryCurveLayer::shade(platform::Rgb curveColor) {
    const QColor c = QColor::fromRgb(0xFF000000u | curveColor);
    return QColor((c.red() + 255) / 2, (c.green() + 255) / 2, (c.blue() + 255) / 2);
}

void ExpiryCurveLayer::paintEvent(QPaintEvent*) {
    QPolygonF line;
    for (const QPointF& p : std::as_const(points_)) {
        line << area_->toPixels(p.x(), p.y());
    }
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setClipRect(rect());
    painter.setPen(QPen(shade(color_), 2, Qt::DashLine));
    painter.drawPolyline(line);
}

} // namespace workbench
