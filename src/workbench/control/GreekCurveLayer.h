#pragma once

#include "DiagramExport.h"
#include "PlotOverlay.h"

#include "platform/Palette.h"
#include "workbench/pricing/BeforeExpiry.h"

#include <QList>
#include <QMargins>
#include <QPointF>
#include <QString>
#include <QStringList>

#include <optional>

namespace platform {
class PictureBox;
}

namespace workbench {

// A greek of the last curve's position before expiry across the prices shown:
// a dotted line in the curve's colour on a vertical scale of its own, whose
// axis stands at the area's right edge with round ticks and the greek's name
// at its head. Over the kept picture and never in it; the prices are placed
// when painted, as the dashed curve's are.
class GreekCurveLayer : public PlotOverlay {
public:
    explicit GreekCurveLayer(platform::PictureBox* plotArea);

    // Draws the curve on the scale it carries; dimmed while a newer one is
    // being valued.
    void draw(const GreekCurve& curve, bool dimmed = false);
    bool dimmed() const { return dimmed_; }
    void clear();
    const std::optional<GreekCurve>& curve() const { return curve_; }
    // The room its axis takes in from the area's top edge (the caption) and
    // right edge (the tick labels), in pixels; none while nothing is drawn.
    // The legend keeps clear of it.
    QMargins axisRoom() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QList<double> axisTicks() const;
    static QStringList axisLabels(const QList<double>& ticks);
    int labelsWidth() const;
    // Where the caption stands: at the top, left of the axis's labels.
    QRect captionBox() const;

    platform::PictureBox* area_;
    std::optional<GreekCurve> curve_;
    bool dimmed_ = false;
};

} // namespace workbench
