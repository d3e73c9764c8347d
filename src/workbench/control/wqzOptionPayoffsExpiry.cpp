// The last curve before expiry and the chances at expiry: the choices that
// say how it is valued and what is shown of it.
#include "wqzOptionPayoffs.h"

#include "Readout.h"
#include "ScenarioText.h"
#include "platform/MousePointer.h"
#include "platform/Numbers.h"

#include <QScopeGuard>

#include <cmath>

namespace workbench {

QString wqzOptionPayoffs::asLastPlotted() {
    return readout::asLastPlotted();
}

void wqzOptionPayoffs::setBeforeExpiry(const beforeexpiry::Inputs& inputs) {
    const LastPlot::Change change(*plot_);
    // The curve of legs that expire apart values the later ones at the first
    // expiry: while the grid still shows it, a new market draws it again in
    // its place, in the scale it has. The dates alone leave it as it is.
    beforeexpiry::Inputs dates = plot_->inputs();
    dates.daysLeft = inputs.daysLeft;
    dates.moreDaysLeft = inputs.moreDaysLeft;
    const bool staggered = plot_->staggered();
    plot_->setInputs(inputs);
    if (!(dates == inputs) && (staggered || plot_->staggered()) && !plotting_ && plotted_ &&
        shown().samePosition(*plotted_)) {
        plot_->removeLastDrawn();
        plot(Scale::Keep);
    }
}

void wqzOptionPayoffs::setBeforeExpiryShown(bool shown) {
    plot_->setBeforeExpiryShown(shown);
}

void wqzOptionPayoffs::setProbabilityShown(bool shown) {
    plot_->setProbabilityShown(shown);
}

void wqzOptionPayoffs::settle() const {
    // A file, a print or the clipboard waits for what is being valued, with
    // the hourglass, rather than write the values before it.
    if (plot_->valuing() || plot_->busy()) {
        platform::MousePointer& pointer = platform::mousePointer();
        const platform::MousePointer::Shape was = pointer.shape();
        pointer.setShape(platform::MousePointer::Shape::Hourglass);
        const auto restore = qScopeGuard([&] { pointer.setShape(was); });
        plot_->settle();
    }
}

const QString& wqzOptionPayoffs::settledAnalysisText() const {
    // What arrives is told at once, and the words follow it.
    settle();
    return analysisText_;
}

const diagramexport::Diagram& wqzOptionPayoffs::diagram() const {
    settle();
    return plot_->diagram();
}

std::vector<beforeexpiry::RowVolatility> wqzOptionPayoffs::impliedVolatilities() const {
    // Before the first plot and after a clear the grid's position is valued.
    return plot_->curve() ? plot_->impliedRows()
                          : beforeexpiry::impliedVolatilities(position_, plot_->inputs());
}

std::vector<beforeexpiry::RowNotValued> wqzOptionPayoffs::rowsNotValued() const {
    return plot_->curve() ? plot_->notValued()
                          : beforeexpiry::rowsNotValued(position_, plot_->inputs());
}

QList<valuesexport::Column> wqzOptionPayoffs::beforeExpiryColumns() const {
    settle();
    QList<valuesexport::Column> columns;
    for (const LastPlot::Dated* c : plot_->dated()) {
        // Named as the grid's own value column is: "Profit with 10 days left".
        valuesexport::Column column{scenariotext::kindWord(lastKind()) + QStringLiteral(" with ") +
                                        scenariotext::daysWords(c->daysLeft) +
                                        QStringLiteral(" left"),
                                    {}};
        for (int i = 1; i <= payoff::sampleCount; ++i) {
            const double value = c->valuer.valueAt(plotPrice_[std::size_t(i)]);
            column.values << (std::isfinite(value)
                                  ? platform::numbers::format(value, u"#####0.0000")
                                  : QString());
        }
        columns << column;
    }
    return columns;
}

} // namespace workbench
