#pragma once

#include "PlotOverlay.h"

#include "platform/Palette.h"

#include <QColor>
#include <QList>
#include <QPen>
#include <QPointF>

namespace platform {
class PictureBox;
}

namespace workbench {

// The last curve's position valued before expiry at up to five dates: dashed
// lines in lighter shades of the curve's colour, over the kept picture and
// never in it. Their points are in the plot area's user coordinates and
// placed when painted, so a change of days left redraws them alone, without
// a plot.
class ExpiryCurveLayer : public PlotOverlay {
public:
    struct Curve {
        int daysLeft = 0;
        QList<QPointF> points;
        // The one the days left box and its slider move: drawn stronger.
        bool highlighted = false;
    };

    explicit ExpiryCurveLayer(platform::PictureBox* plotArea);

    // Curves with the most days left first; their shades follow that order.
    // Dimmed while newer ones are valued.
    void draw(const QList<Curve>& curves, platform::Rgb curveColor, bool dimmed = false);
    bool dimmed() const { return dimmed_; }
    void clear();
    const QList<Curve>& curves() const { return curves_; }
    // The shade it is drawn in: halfway from the curve's colour to white.
    static QColor shade(platform::Rgb curveColor);
    // The pen of the i-th of n curves: the highlighted one halfway to white,
    // the others lighter and thinner, the furthest from expiry lightest, so
    // that the dates read in order.
    static QPen pen(platform::Rgb curveColor, int i, int n, bool highlighted, double width);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    platform::PictureBox* area_;
    QList<Curve> curves_;
    platform::Rgb color_ = 0;
    bool dimmed_ = false;
};

} // namespace workbench
