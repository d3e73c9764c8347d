#include "ExpiryCurveLayer.h"

#include "DiagramExport.h"
#include "platform/PictureBox.h"

#include <QPainter>
#include <QPolygonF>

namespace workbench {

ExpiryCurveLayer::ExpiryCurveLayer(platform::PictureBox* plotArea)
    : PlotOverlay(plotArea, QStringLiteral("expiryCurve")), area_(plotArea) {}

void ExpiryCurveLayer::draw(const QList<Curve>& curves, platform::Rgb curveColor, bool dimmed) {
    curves_ = curves;
    color_ = curveColor;
    dimmed_ = dimmed;
    showOver();
}

void ExpiryCurveLayer::clear() {
    curves_.clear();
    hide();
}

QColor ExpiryCurveLayer::shade(platform::Rgb curveColor) {
    return diagramexport::dashedShade(curveColor);
}

QPen ExpiryCurveLayer::pen(platform::Rgb curveColor, int i, int n, bool highlighted, double width) {
    return diagramexport::dashedPen(curveColor, i, n, highlighted, width);
}

void ExpiryCurveLayer::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setClipRect(rect());
    if (dimmed_) {
        painter.setOpacity(0.4);
    }
    const int n = int(curves_.size());
    // The highlighted curve last, over the others.
    for (const bool highlighted : {false, true}) {
        for (int i = 0; i < n; ++i) {
            const Curve& curve = curves_[i];
            if (curve.highlighted != highlighted) {
                continue;
            }
            QPolygonF line;
            for (const QPointF& p : curve.points) {
                line << area_->toPixels(p.x(), p.y());
            }
            painter.setPen(pen(color_, i, n, highlighted, 2));
            painter.drawPolyline(line);
        }
    }
}

} // namespace workbench
