#include "ProbabilityLayer.h"

#include "platform/PictureBox.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <array>
#include <vector>

namespace workbench {

ProbabilityLayer::ProbabilityLayer(platform::PictureBox* plotArea)
    : PlotOverlay(plotArea, QStringLiteral("probability")), area_(plotArea) {}

void ProbabilityLayer::setLaw(const probability::Lognormal& law) {
    law_ = law;
    showOver();
}

void ProbabilityLayer::clear() {
    law_.reset();
    hide();
}

void ProbabilityLayer::paintEvent(QPaintEvent*) {
    if (!law_ || width() < 2) {
        return;
    }
    // The density at each column of pixels, scaled so that its highest
    // point in the prices shown stands at heightShare of the area.
    const auto priceAt = [&](int x) {
        return area_->scaleLeft() +
               (area_->scaleRight() - area_->scaleLeft()) * (x + 0.5) / width();
    };
    std::vector<double> density(static_cast<std::size_t>(width()));
    for (int x = 0; x < width(); ++x) {
        density[std::size_t(x)] = law_->density(priceAt(x));
    }
    const double highest = *std::max_element(density.begin(), density.end());
    if (!(highest > 0)) {
        return;
    }
    const double foot = height();
    const double scale = heightShare * height() / highest;
    QPainterPath shape(QPointF(0, foot));
    for (int x = 0; x < width(); ++x) {
        shape.lineTo(x + 0.5, foot - density[std::size_t(x)] * scale);
    }
    shape.lineTo(width(), foot);
    shape.closeSubpath();
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.fillPath(shape, QColor(255, 255, 255, 45));
    p.setPen(QPen(QColor(255, 255, 255, 150), 1));
    p.drawPath(shape);
    // One and two standard deviations either side, where they are shown.
    p.setPen(QPen(QColor(255, 255, 255, 150), 1, Qt::DotLine));
    const QFontMetrics fm(font());
    // A label that would run into the one before it on its line goes a line
    // up, so that a narrow band keeps every mark readable.
    std::array<double, 4> lineEnds;
    lineEnds.fill(-1e9);
    for (const int k : {-2, -1, 1, 2}) {
        const double x = area_->toPixels(law_->quantile(k), 0).x();
        if (x < 0 || x > width()) {
            continue;
        }
        const QString label = (k < 0 ? QStringLiteral("\u2212") : QStringLiteral("+")) +
                              QString::number(std::abs(k)) + QStringLiteral("\u03c3");
        const double half = fm.horizontalAdvance(label) / 2.0;
        std::size_t line = 0;
        while (line + 1 < lineEnds.size() && x - half <= lineEnds[line] + 2) {
            ++line;
        }
        const double top = foot - heightShare * height() - fm.height() * double(1 + line);
        p.drawLine(QPointF(x, foot), QPointF(x, top));
        p.drawText(QPointF(x - half, top - 2), label);
        lineEnds[line] = x + half;
    }
}

} // namespace workbench
