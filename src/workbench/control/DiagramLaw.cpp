// The law of the price at expiry in a diagram drawn again from its data: as
// the plot area's own layer shades it, in grey ink on paper.
#include "DiagramExport.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>
#include <vector>

namespace workbench::diagramexport {

void paintLaw(QPainter& p, const QRectF& area, const PlotScale& scale,
              const probability::Lognormal& law, bool paper, double thin) {
    // A point of the outline every so often across the area: enough for a
    // smooth bell at any size, few enough for a small file.
    constexpr int steps = 240;
    const auto priceAt = [&](double fraction) {
        return scale.left + (scale.right - scale.left) * fraction;
    };
    std::vector<double> density(steps + 1);
    for (int i = 0; i <= steps; ++i) {
        density[std::size_t(i)] = law.density(priceAt(double(i) / steps));
    }
    const double highest = *std::max_element(density.begin(), density.end());
    if (!(highest > 0)) {
        return;
    }
    const double rise = lawHeightShare * area.height() / highest;
    QPainterPath shape(area.bottomLeft());
    for (int i = 0; i <= steps; ++i) {
        shape.lineTo(area.left() + area.width() * i / steps,
                     area.bottom() - density[std::size_t(i)] * rise);
    }
    shape.lineTo(area.bottomRight());
    shape.closeSubpath();
    const QColor ink = paper ? QColor(90, 90, 90) : QColor(255, 255, 255, 150);
    p.save();
    p.fillPath(shape, paper ? QColor(0, 0, 0, 22) : QColor(255, 255, 255, 45));
    p.setPen(QPen(ink, thin));
    p.drawPath(shape);
    // One and two standard deviations either side, where they are shown.
    p.setPen(QPen(ink, thin, Qt::DotLine));
    const QFontMetricsF fm(p.font());
    for (const int k : {-2, -1, 1, 2}) {
        const double fraction = (law.quantile(k) - scale.left) / (scale.right - scale.left);
        if (!(fraction >= 0 && fraction <= 1)) {
            continue;
        }
        const double x = area.left() + fraction * area.width();
        const double top = area.bottom() - lawHeightShare * area.height() - fm.height();
        p.drawLine(QPointF(x, area.bottom()), QPointF(x, top));
        const QString label = (k < 0 ? QStringLiteral("\u2212") : QStringLiteral("+")) +
                              QString::number(std::abs(k)) + QStringLiteral("\u03c3");
        p.drawText(QPointF(x - fm.horizontalAdvance(label) / 2, top - fm.descent()), label);
    }
    p.restore();
}

} // namespace workbench::diagramexport
