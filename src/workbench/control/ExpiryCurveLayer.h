#pragma once

#include "PlotOverlay.h"

#include "platform/Palette.h"

#include <QList>
#include <QPointF>

namespace platform {
class PictureBox;
}

namespace workbench {

// The last curve's position valued before expiry: a dashed line in a lighter
// shade of the curve's colour, over the kept picture and never in it. Its
// points are in the plot area's user coordinates and placed when painted, so
// a change of days left redraws it alone, without a plot.
class ExpiryCurveLayer : public PlotOverlay {
public:
    explicit ExpiryCurveLayer(platform::PictureBox* plotArea);

    void draw(const QList<QPointF>& points, platform::Rgb curveColor);
    void clear();
    const QList<QPointF>& points() const { return points_; }
    // The shade it is drawn in: halfway from the curve's colour to white.
    static QColor shade(platform::Rgb curveColor);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    platform::PictureBox* area_;
    QList<QPointF> points_;
    platform::Rgb color_ = 0;
};

} // namespace workbench
