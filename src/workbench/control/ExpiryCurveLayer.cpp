#include "ExpiryCurveLayer.h"

#include "platform/PictureBox.h"

#include <QPainter>
#include <QPolygonF>

namespace workbench {

namespace {

// A share of the way from the curve's colour to white.
QColor towardWhite(platform::Rgb curveColor, double share) {
    const QColor c = QColor::fromRgb(0xFF000000u | curveColor);
    const auto mix = [share](int v) { return int(v + (255 - v) * share); };
    return QColor(mix(c.red()), mix(c.green()), mix(c.blue()));
}

} // namespace

ExpiryCurveLayer::ExpiryCurveLayer(platform::PictureBox* plotArea)
    : PlotOverlay(plotArea, QStringLiteral("expiryCurve")), area_(plotArea) {}

void ExpiryCurveLayer::draw(const QList<Curve>& curves, platform::Rgb curveColor) {
    curves_ = curves;
    color_ = curveColor;
    showOver();
}

void ExpiryCurveLayer::clear() {
    curves_.clear();
    hide();
}

QColor ExpiryCurveLayer::shade(platform::Rgb curveColor) {
    return towardWhite(curveColor, 0.5);
}

QPen ExpiryCurveLayer::pen(platform::Rgb curveColor, int i, int n, bool highlighted, double width) {
    if (highlighted) {
        return QPen(shade(curveColor), width, Qt::DashLine);
    }
    // From 0.55 for the date nearest expiry to 0.8 for the furthest.
    const double share = n > 1 ? 0.8 - 0.25 * i / (n - 1) : 0.65;
    return QPen(towardWhite(curveColor, share), width * 0.7, Qt::DashLine);
}

void ExpiryCurveLayer::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setClipRect(rect());
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
