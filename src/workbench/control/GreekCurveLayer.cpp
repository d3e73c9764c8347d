#include "GreekCurveLayer.h"

#include "platform/PictureBox.h"

#include <QPainter>
#include <QPolygonF>

#include <algorithm>
#include <cmath>

namespace workbench {

namespace {

constexpr int kTick = 4;
constexpr int kPad = 2;
constexpr int kSample = 14;

// The room above the highest value and below the lowest, as a share of
// their spread, so that the curve never runs along an edge.
constexpr double kHeadroom = 0.08;

// A greek that never strays from 0 by more than the read-out's last decimal
// gets a scale that wide, rather than one that blows its rounding up into a
// curve.
constexpr double kLeastSpread = 1e-4;

} // namespace

GreekCurveLayer::GreekCurveLayer(platform::PictureBox* plotArea)
    : PlotOverlay(plotArea, QStringLiteral("greekCurve")), area_(plotArea) {}

void GreekCurveLayer::draw(const GreekCurve& curve, bool dimmed) {
    curve_ = curve;
    dimmed_ = dimmed;
    showOver();
}

void GreekCurveLayer::clear() {
    curve_.reset();
    hide();
}

QList<double> GreekCurveLayer::axisTicks() const {
    const int most = std::clamp(height() / (fontMetrics().height() * 2), 2, 6);
    return diagramexport::ticks(curve_->bottom, curve_->top, most);
}

QStringList GreekCurveLayer::axisLabels(const QList<double>& ticks) {
    QStringList labels;
    for (const double t : ticks) {
        labels << diagramexport::tickLabel(t, ticks.size() > 1 ? ticks[1] - ticks[0] : 0);
    }
    return labels;
}

int GreekCurveLayer::labelsWidth() const {
    int widest = 0;
    for (const QString& label : axisLabels(axisTicks())) {
        widest = std::max(widest, fontMetrics().horizontalAdvance(label));
    }
    return widest + 2 * kPad;
}

QRect GreekCurveLayer::captionBox() const {
    const int w = kPad + kSample + kPad + fontMetrics().horizontalAdvance(curve_->caption) + kPad;
    return QRect(width() - 1 - kTick - kPad - labelsWidth() - w, 0, w,
                 fontMetrics().height() + kPad);
}

QMargins GreekCurveLayer::axisRoom() const {
    if (!curve_) {
        return {};
    }
    return QMargins(0, captionBox().height(), kTick + kPad + labelsWidth(), 0);
}

void GreekCurveLayer::paintEvent(QPaintEvent*) {
    if (!curve_) {
        return;
    }
    const GreekCurve& c = *curve_;
    const auto yOf = [&](double v) {
        return platform::axisFraction(v, c.top, c.bottom) * height();
    };
    QPolygonF line;
    for (const QPointF& point : c.points) {
        line << QPointF(area_->toPixels(point.x(), 0).x(), yOf(point.y()));
    }
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setClipRect(rect());
    if (dimmed_) {
        p.setOpacity(0.4);
    }
    const QColor ink = QColor::fromRgb(0xFF000000u | c.color);
    p.setPen(QPen(ink, 2, Qt::DotLine, Qt::RoundCap));
    p.drawPolyline(line);

    // The axis along the right edge. Its labels stand on the area's own
    // colour, so that they read over any curve that passes beneath.
    QColor backing = QColor::fromRgb(0xFF000000u | area_->backColor());
    backing.setAlpha(210);
    const QFontMetrics fm = fontMetrics();
    const int right = width() - 1;
    p.setPen(QPen(ink, 1));
    p.drawLine(QPointF(right + 0.5, 0), QPointF(right + 0.5, height()));
    // The caption at the axis's head, left of its labels, after a dotted
    // sample that ties it to its line.
    const QRect head = captionBox();
    const QList<double> ticks = axisTicks();
    const QStringList labels = axisLabels(ticks);
    for (qsizetype i = 0; i < ticks.size(); ++i) {
        const double y = yOf(ticks[i]);
        p.drawLine(QPointF(right - kTick, y), QPointF(right, y));
        const int w = fm.horizontalAdvance(labels[i]) + 2 * kPad;
        const int top = std::clamp(int(std::lround(y - fm.height() / 2.0)), 0,
                                   std::max(0, height() - fm.height()));
        const QRect box(right - kTick - kPad - w, top, w, fm.height());
        p.fillRect(box, backing);
        p.drawText(box, Qt::AlignCenter, labels[i]);
    }
    p.fillRect(head, backing);
    p.drawText(head.adjusted(kPad + kSample + kPad, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter,
               c.caption);
    p.setPen(QPen(ink, 2, Qt::DotLine, Qt::RoundCap));
    const double mid = head.center().y() + 0.5;
    p.drawLine(QPointF(head.left() + kPad, mid), QPointF(head.left() + kPad + kSample, mid));
}

} // namespace workbench
