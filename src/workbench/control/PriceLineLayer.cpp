#include "PriceLineLayer.h"

#include "DiagramExport.h"
#include "platform/PictureBox.h"

#include <QPainter>

#include <algorithm>

namespace workbench {

PriceLineLayer::PriceLineLayer(platform::PictureBox* plotArea)
    : PlotOverlay(plotArea, QStringLiteral("todayPrice")), area_(plotArea) {
    showOver();
}

void PriceLineLayer::setPrice(double price) {
    price_ = price;
    showOver();
}

std::optional<double> PriceLineLayer::shownPrice() const {
    const double from = std::min(area_->scaleLeft(), area_->scaleRight());
    const double to = std::max(area_->scaleLeft(), area_->scaleRight());
    if (price_ >= from && price_ <= to) {
        return price_;
    }
    return std::nullopt;
}

QString PriceLineLayer::label(double price) {
    return diagramexport::todayLabel(price);
}

void PriceLineLayer::paintEvent(QPaintEvent*) {
    const std::optional<double> price = shownPrice();
    if (!price) {
        return;
    }
    QPainter p(this);
    const QColor ink(255, 255, 255, 170);
    const double x = area_->toPixels(*price, 0).x();
    p.setPen(QPen(ink, 1));
    p.drawLine(QPointF(x, 0), QPointF(x, height()));
    // The label sits at the foot of the line, clear of the legend at the
    // top, on the side with room.
    const QString text = label(*price);
    const QFontMetrics fm(font());
    const int w = fm.horizontalAdvance(text);
    const double left = x + 3 + w < width() ? x + 3 : x - 3 - w;
    p.drawText(QPointF(left, height() - fm.descent() - 2), text);
}

} // namespace workbench
