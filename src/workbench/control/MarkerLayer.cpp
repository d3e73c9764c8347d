#include "MarkerLayer.h"

#include "platform/PictureBox.h"

#include <QPainter>

namespace workbench {

namespace {

constexpr double kDotRadius = 3.5;

} // namespace

MarkerLayer::MarkerLayer(platform::PictureBox* plotArea)
    : PlotOverlay(plotArea, QStringLiteral("markers")), area_(plotArea) {}

void MarkerLayer::mark(const QList<double>& strikes, const QList<QPointF>& dots) {
    strikes_ = strikes;
    dots_ = dots;
    showIfWanted();
}

void MarkerLayer::clear() {
    strikes_.clear();
    dots_.clear();
    hide();
}

void MarkerLayer::setShown(bool shown) {
    shown_ = shown;
    if (shown_) {
        showIfWanted();
    } else {
        hide();
    }
}

void MarkerLayer::showIfWanted() {
    if (shown_ && (!strikes_.isEmpty() || !dots_.isEmpty())) {
        showOver();
    }
}

void MarkerLayer::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(220, 220, 220), 1, Qt::DotLine));
    for (const double K : strikes_) {
        const double x = area_->toPixels(K, 0).x();
        p.drawLine(QPointF(x, 0), QPointF(x, height()));
    }
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(Qt::white);
    for (const QPointF& dot : dots_) {
        p.drawEllipse(area_->toPixels(dot.x(), dot.y()), kDotRadius, kDotRadius);
    }
}

} // namespace workbench
