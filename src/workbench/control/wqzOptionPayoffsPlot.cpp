// Plotting: evaluation, the numeric-values grid and the curve.
#include "wqzOptionPayoffs.h"

#include "ScenarioText.h"
#include "platform/Dialogs.h"
#include "platform/EventPump.h"
#include "platform/FailureGuard.h"
#include "platform/FlexGrid.h"
#include "platform/Numbers.h"
#include "platform/PictureBox.h"
#include "workbench/model/LegExpiry.h"
#include "workbench/model/PositionAnalysis.h"
#include "workbench/model/Strategies.h"

#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QScopeGuard>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <vector>

namespace workbench {

namespace {
const QString kRescaleQuestion = QStringLiteral(
    "The portfolio values lie outside the range of the display.  Do you want to re-scale?");
constexpr std::int16_t answerRescale = 6;
constexpr std::int16_t answerKeep = 7;

QString curveName(const PositionState& position, workbench::payoff::DiagramKind f, int panelDays) {
    const QString what = f == workbench::payoff::profitDiagram ? QStringLiteral(" (profit)")
                                                               : QStringLiteral(" (payoff)");
    // Named before it is drawn: the position held is the one it will be.
    const workbench::Strategy* s = workbench::recognise(position, panelDays);
    return (s ? QString::fromUtf16(s->name) : QStringLiteral("Custom position")) + what;
}

void prepareValuesGrid(platform::FlexGrid& grid, bool payoff) {
    grid.Clear();
    grid.setRows(workbench::payoff::sampleCount + 1);
    grid.setCols(3);
    grid.setTextMatrix(0, 1, QStringLiteral("Underlying"));
    grid.setColAlignment(1, platform::FlexGrid::flexAlignCenterCenter);
    grid.setColAlignment(2, platform::FlexGrid::flexAlignCenterCenter);
    grid.setTextMatrix(0, 0, QStringLiteral("Numeric"));
    grid.setTextMatrix(1, 0, QStringLiteral("Values"));
    grid.setTextMatrix(0, 2, payoff ? QStringLiteral("Payoff") : QStringLiteral("Profit"));
}

// The value at the first expiry as a sample holds it: a price of 0 or below
// takes the value the curve tends to at 0, and one the model cannot give
// draws as 0 rather than end the plot.
float firstExpiryValue(const beforeexpiry::Valuer& atFirst, float S) {
    const double v = atFirst.valueAt(std::max(double(S), 1e-9));
    return platform::numbers::single(std::isfinite(v) ? v : 0.0);
}

void writeValuesRow(platform::FlexGrid& grid, const payoff::Samples& prices,
                    const payoff::Samples& values, int i) {
    grid.setTextMatrix(i, 1, platform::numbers::format(prices[i], u"#####0.0000"));
    grid.setTextMatrix(i, 2, platform::numbers::format(values[i], u"#####0.0000"));
}
} // namespace

void wqzOptionPayoffs::PlotIt(platform::Boolean16 AutoScale) {
    plot(platform::isTrue(AutoScale) ? Scale::Auto : Scale::Ask);
}

void wqzOptionPayoffs::plot(Scale scale) {
    using platform::numbers::leadingNumber;
    using platform::numbers::single;
    // A stale check queued by the cells this plot follows (a strategy
    // written into the grid) runs in the plot's own event pass: it would
    // tell the last analysis as stale just before the new one is told.
    // Should the plot end without a curve, the check is made again after it.
    const LastPlot::Change change(*plot_);
    plotting_ = true;
    const auto plotted = qScopeGuard([this] {
        plotting_ = false;
        if (staleSkipped_) {
            staleSkipped_ = false;
            scheduleStaleCheck();
        }
    });

    const workbench::payoff::PriceRange range = workbench::payoff::priceRange(
        single(leadingNumber(Text1[2]->text())), single(leadingNumber(Text1[3]->text())));
    const workbench::payoff::DiagramKind f = plotType[1]->isChecked()
                                                 ? workbench::payoff::profitDiagram
                                                 : workbench::payoff::payoffDiagram;

    platform::FlexGrid* grid = grddisplay.data();
    if (grid) {
        prepareValuesGrid(*grid, plotType[0]->isChecked());
    }
    const QString name = curveName(position_, f, plot_->inputs().daysToday);
    QString legend = name;
    // Legs that live on past the first expiry are valued there by the model,
    // with the volatilities the curves before it use: the curve is set first
    // so that they are found once, for both.
    std::optional<beforeexpiry::Valuer> atFirst;
    if (legexpiry::staggered(position_, plot_->inputs().daysToday)) {
        plot_->setCurve(PlottedCurve{position_, f, range, plotColor_, name});
        atFirst = plot_->atFirstExpiry();
    }
    // Where the model cannot value a later leg, the legs' payoffs are drawn
    // as ever, and the read-out says why there is no value before expiry.
    if (atFirst) {
        legend += u' ' + scenariotext::expiryWords(plot_->valuedInputs().daysToday);
    }
    const auto onSample = [&](int i) {
        if (grid) {
            writeValuesRow(*grid, plotPrice_, plotValue_, i);
        }
    };
    const workbench::payoff::Extremes extremes =
        atFirst
            ? workbench::payoff::sampleValues(
                  range, [&](float S) { return firstExpiryValue(*atFirst, S); }, plotPrice_,
                  plotValue_, onSample)
            : workbench::payoff::sampleCurve(position_, range, f, plotPrice_, plotValue_, onSample);

    if (grid) {
        // Values of six digits and more keep every digit in sight.
        for (int c = 0; c < grid->Cols(); ++c) {
            grid->fitColWidthToText(c);
        }
    }

    float ytop = single(leadingNumber(Text1[0]->text()));
    float ybot = single(leadingNumber(Text1[1]->text()));
    std::int16_t answer = answerKeep;
    if (scale == Scale::Auto) {
        answer = answerRescale;
    } else if (scale == Scale::Ask && workbench::payoff::outsideDisplay(ytop, ybot, extremes)) {
        const int reply = platform::dialogs().msgBox(
            kRescaleQuestion, platform::Dialogs::Buttons::YesNo, platform::Dialogs::Icon::None);
        answer = reply == platform::Dialogs::answerYes ? answerRescale : answerKeep;
    }
    if (answer == answerRescale) {
        plot_->clear();
        ytop = workbench::payoff::rescaledTop(extremes);
        ybot = workbench::payoff::rescaledBottom(extremes);
        Text1[0]->setText(platform::numbers::format(ytop, u"######0"));
        Text1[1]->setText(platform::numbers::format(ybot, u"######0"));
    }
    drawCurve(range, f, ytop, ybot, legend, atFirst ? &*atFirst : nullptr);
    plot_->setCurve(PlottedCurve{position_, f, range, plotColor_, name});
    plotted_ = shown();
    plot_->setStale(false);
    showStrategy();
}

void wqzOptionPayoffs::setMarkersShown(bool shown) {
    plot_->setMarkersShown(shown);
}

QString wqzOptionPayoffs::strategyHeld() const {
    const workbench::Strategy* s =
        plot_->curve() ? workbench::recognise(plot_->curve()->position, plot_->inputs().daysToday)
                       : nullptr;
    return s ? QString::fromUtf16(s->name) : QString();
}

// The list shows the strategy the position read from the grid is, or no
// entry for a custom position or one edited since.
void wqzOptionPayoffs::showStrategy() {
    const bool stale = plot_->stale();
    const workbench::Strategy* s =
        stale ? nullptr : workbench::recognise(position_, plot_->inputs().daysToday);
    cmbStandard->setCurrentIndex(s ? cmbStandard->findText(QString::fromUtf16(s->name)) : -1);
    // With no entry shown the list says why: a position of its own, or
    // nothing held yet.
    const bool holdsNothing = !stale && position_.underlyingQty == 0 &&
                              std::all_of(position_.callQty.cbegin(), position_.callQty.cend(),
                                          [](float q) { return q == 0; }) &&
                              std::all_of(position_.putQty.cbegin(), position_.putQty.cend(),
                                          [](float q) { return q == 0; });
    cmbStandard->setPlaceholderText(holdsNothing ? QStringLiteral("Choose a strategy")
                                                 : QStringLiteral("Custom position"));
}

void wqzOptionPayoffs::scheduleStaleCheck() {
    // A paste changes thousands of cells; the grid is compared once after.
    if (!plotted_ || staleCheckDue_) {
        return;
    }
    staleCheckDue_ = true;
    QTimer::singleShot(0, this, [this] { platform::runGuarded([this] { checkStale(); }); });
}

// The analysis, the strategy list and the panel follow whether the grid
// still holds what was plotted; checked once per batch of edits.
void wqzOptionPayoffs::checkStale() {
    staleCheckDue_ = false;
    if (plotting_) {
        staleSkipped_ = true;
        return;
    }
    const bool stale = plotted_ && (!shown().samePosition(*plotted_) || marketTyped());
    if (stale == plot_->stale()) {
        return;
    }
    const LastPlot::Change change(*plot_);
    plot_->setStale(stale);
    showStrategy();
}

// Empties the analysis with the plot area it described.
void wqzOptionPayoffs::forgetAnalysis() {
    const LastPlot::Change change(*plot_);
    plotted_.reset();
    plot_->setStale(false);
    showStrategy();
}

void wqzOptionPayoffs::setGrddisplay(platform::FlexGrid* grid) {
    grddisplay = grid;
    // The first curve is drawn before the window hands its grid over.
    if (grid && plot_->curve()) {
        prepareValuesGrid(*grid, plotType[0]->isChecked());
        for (int i = 1; i <= workbench::payoff::sampleCount; ++i) {
            writeValuesRow(*grid, plotPrice_, plotValue_, i);
        }
        for (int c = 0; c < grid->Cols(); ++c) {
            grid->fitColWidthToText(c);
        }
    }
}

void wqzOptionPayoffs::drawCurve(const workbench::payoff::PriceRange& range,
                                 workbench::payoff::DiagramKind f, float ytop, float ybot,
                                 const QString& name, const beforeexpiry::Valuer* atFirst) {
    // The curve bends only at strikes, which the samples step over; it passes
    // through each strike that lies between two samples, with the samples'
    // own arithmetic, so its kinks are sharp and its peaks reach their height.
    // The numeric values stay the samples alone.
    // Only rows held in some quantity bend it: a pasted quote table of a
    // thousand rows with a few of them held inserts only those few.
    // At a first expiry, the curve bends only at the strikes of the legs
    // that expire then.
    std::vector<float> strikes;
    if (atFirst) {
        strikes = legexpiry::expiringStrikes(position_, plot_->inputs().daysToday);
    }
    for (int r = 1; r <= position_.rowCount() && !atFirst; ++r) {
        if (position_.takesPart[std::size_t(r)] &&
            (position_.callQty[r] != 0 || position_.putQty[r] != 0)) {
            strikes.push_back(position_.strike[r]);
        }
    }
    std::sort(strikes.begin(), strikes.end());
    strikes.erase(std::unique(strikes.begin(), strikes.end()), strikes.end());
    // Beyond a few dozen strikes each valued over every row costs the rows
    // squared (5,000 rows held: a third of a second); one sweep values them
    // all, to within the samples' rounding, finer than any pixel.
    constexpr std::size_t exactKinks = 64;
    std::vector<float> swept;
    if (strikes.size() > exactKinks) {
        swept = workbench::payoff::valuesAtStrikes(position_, strikes, f);
    }
    const auto valueAt = [&](std::vector<float>::const_iterator k) {
        return atFirst         ? firstExpiryValue(*atFirst, *k)
               : swept.empty() ? workbench::payoff::positionValue(position_, *k, f)
                               : swept[std::size_t(k - strikes.cbegin())];
    };
    auto strike = strikes.cbegin();
    QPolygonF points{QPointF(plotPrice_[1], plotValue_[1])};
    for (int i = 2; i <= workbench::payoff::sampleCount; ++i) {
        const float x = plotPrice_[i - 1];
        while (strike != strikes.cend() && *strike <= x) {
            ++strike;
        }
        for (; strike != strikes.cend() && *strike < plotPrice_[i]; ++strike) {
            points << QPointF(*strike, valueAt(strike));
        }
        points << QPointF(plotPrice_[i], plotValue_[i]);
    }
    const PlotScale scale{range.xmin, ytop, range.xmax, ybot};
    plot_->setScale(scale);
    plot_->addDrawn({plotColor_, points, scale}, name);
    platform::eventPump().doEvents();
}

} // namespace workbench
