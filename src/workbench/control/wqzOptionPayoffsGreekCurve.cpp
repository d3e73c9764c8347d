// The greek chosen under the diagram, of the position the dashed curve
// values, across the prices of the last curve on an axis of its own.
#include "wqzOptionPayoffs.h"

#include "CurveLegend.h"
#include "GreekCurveLayer.h"
#include "platform/FailureGuard.h"

#include <QComboBox>
#include <QList>
#include <QPointF>
#include <QTimer>

#include <cmath>

namespace workbench {

namespace {

// As many prices as the dashed curve is valued at, so that the greek's
// bends read as smoothly as the value's at any size of the plot area.
constexpr int kGreekPoints = 200;

} // namespace

void wqzOptionPayoffs::followGreekCurve() {
    // Without a greek or a curve to take it from, it goes at once, with the
    // dashed curve it belongs to.
    if (!valuer_ ||
        beforeexpiry::Greek(cmbGreek->currentData().toInt()) == beforeexpiry::Greek::None) {
        showGreekCurve();
        return;
    }
    // An American greek costs several whole curves of the engine's prices.
    // A held arrow or a dragged slider re-plots the dashed curve at once and
    // the greek as soon as the events waiting are done, once for however many
    // steps came in between, so that the diagram keeps up with the hand.
    if (greekCurvePending_) {
        return;
    }
    greekCurvePending_ = true;
    QTimer::singleShot(0, this, platform::guarded([this] {
                           greekCurvePending_ = false;
                           showGreekCurve();
                       }));
}

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
