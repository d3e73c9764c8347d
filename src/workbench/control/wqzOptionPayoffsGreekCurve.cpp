// The greek chosen under the diagram, of the position the dashed curve
// values, across the prices of the last curve on an axis of its own.
#include "wqzOptionPayoffs.h"

#include "CurveLegend.h"
#include "GreekCurveLayer.h"

#include <QComboBox>
#include <QList>
#include <QPointF>

#include <cmath>

namespace workbench {

namespace {

// As many prices as the dashed curve is valued at, so that the greek's
// bends read as smoothly as the value's at any size of the plot area.
constexpr int kGreekPoints = 200;

} // namespace

void wqzOptionPayoffs::showGreekCurve() {
    const auto greek = beforeexpiry::Greek(cmbGreek->currentData().toInt());
    if (!valuer_ || greek == beforeexpiry::Greek::None) {
        greekCurve_->clear();
        legend_->update();
        return;
    }
    const double from = lastRange_.xmin;
    const double to = lastRange_.xmax;
    const std::vector<double> values = valuer_->greekCurve(greek, from, to, kGreekPoints);
    QList<QPointF> points;
    points.reserve(kGreekPoints + 1);
    for (int i = 0; i <= kGreekPoints; ++i) {
        // A price where the model fails is left out, as the dashed curve
        // leaves it out.
        if (const double value = values[std::size_t(i)]; std::isfinite(value)) {
            points << QPointF(from + (to - from) * i / kGreekPoints, value);
        }
    }
    greekCurve_->draw(greek, points, lastColor_);
    // Under the legend and the pointer's read-out, which keep their places
    // clear of its axis.
    greekCurve_->stackUnder(legend_);
    legend_->update();
}

} // namespace workbench
