// Plotting: evaluation, the numeric-values grid and the curve.
#include "wqzOptionPayoffs.h"

#include "CurveLegend.h"
#include "DiagramExport.h"
#include "ExpiryCurveLayer.h"
#include "GreekCurveLayer.h"
#include "MarkerLayer.h"
#include "PriceLineLayer.h"
#include "ProbabilityLayer.h"
#include "platform/Dialogs.h"
#include "platform/EventPump.h"
#include "platform/FailureGuard.h"
#include "platform/FlexGrid.h"
#include "platform/Numbers.h"
#include "platform/PictureBox.h"
#include "workbench/model/PositionAnalysis.h"
#include "workbench/model/Strategies.h"

#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QScopeGuard>
#include <QTimer>

#include <algorithm>
#include <vector>

namespace workbench {

namespace {
const QString kRescaleQuestion = QStringLiteral(
    "The portfolio values lie outside the range of the display.  Do you want to re-scale?");
constexpr std::int16_t answerRescale = 6;
constexpr std::int16_t answerKeep = 7;
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
        prepareValuesGrid(*grid);
    }
    const workbench::payoff::Extremes extremes =
        workbench::payoff::sampleCurve(position_, range, f, plotPrice_, plotValue_, [&](int i) {
            if (grid) {
                writeValuesRow(*grid, i);
            }
        });

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
        clearPlotArea();
        ytop = workbench::payoff::rescaledTop(extremes);
        ybot = workbench::payoff::rescaledBottom(extremes);
        Text1[0]->setText(platform::numbers::format(ytop, u"######0"));
        Text1[1]->setText(platform::numbers::format(ybot, u"######0"));
    }
    drawCurve(range, f, ytop, ybot, extremes);
    lastCurve_ = position_;
    ++plotSerial_;
    lastKind_ = f;
    const workbench::analysis::Analysis analysis = workbench::analysis::analyse(position_, f);
    markers_->mark(analysis, range.xmin, range.xmax);
    lastName_ = curveName(f);
    lastRange_ = range;
    lastColor_ = plotColor_;
    legend_->add(plotColor_, lastName_);
    expiryAnalysis_ = lastName_ + u'\n' + workbench::analysis::describe(analysis);
    plotted_ = shown();
    stale_ = false;
    showStrategy();
    showBeforeExpiry();
}

void wqzOptionPayoffs::setMarkersShown(bool shown) {
    markers_->setShown(shown);
}

diagramexport::Diagram wqzOptionPayoffs::diagram() const {
    diagramexport::Diagram d;
    d.scale = {pbox->scaleLeft(), pbox->scaleTop(), pbox->scaleRight(), pbox->scaleBottom()};
    d.background = pbox->backColor();
    d.curves = drawnCurves_;
    // The strikes read on paper whether or not the marks are shown; the
    // dots only when they are.
    d.strikes = markers_->strikes();
    if (markers_->shown()) {
        d.dots = markers_->dots();
    }
    d.legend = legend_->entries();
    const QList<CurveLegend::Entry>& dated = legend_->beforeExpiry();
    const QList<ExpiryCurveLayer::Curve>& curves = expiryCurve_->curves();
    for (qsizetype i = 0; i < dated.size() && i < curves.size(); ++i) {
        d.beforeExpiry << DashedCurve{dated[i], QPolygonF(curves[i].points), curves[i].highlighted};
    }
    if (!d.beforeExpiry.isEmpty()) {
        const auto percent = [](double fraction) {
            return platform::numbers::format(fraction * 100, u"####0.00") + QStringLiteral(" %");
        };
        d.beforeExpiryNote =
            (expiryInputs_.implied
                 ? QStringLiteral("Volatility implied from the premiums")
                 : QStringLiteral("Volatility ") + percent(expiryInputs_.volatility)) +
            QStringLiteral(", rate ") + percent(expiryInputs_.rate) +
            (expiryInputs_.dividendYield != 0
                 ? QStringLiteral(", dividend yield ") + percent(expiryInputs_.dividendYield)
                 : QString()) +
            (expiryInputs_.american ? QStringLiteral(", American exercise") : QString());
    }
    d.todayPrice = todayLine_->shownPrice();
    d.greekCurve = greekCurve_->curve();
    if (probabilityShown_) {
        d.law = probability_->law();
    }
    d.valueCaption = lastKind_ == workbench::payoff::profitDiagram ? QStringLiteral("Profit")
                                                                   : QStringLiteral("Payoff");
    return d;
}

void wqzOptionPayoffs::withdrawLastCurve() {
    if (drawnCurves_.isEmpty()) {
        return;
    }
    drawnCurves_.removeLast();
    legend_->removeLast();
    pbox->clear();
    // Each earlier curve again in the scale it was drawn in, with the zero
    // line it crossed.
    for (const DrawnCurve& curve : drawnCurves_) {
        const PlotScale& s = curve.scale;
        pbox->setScale(s.left, s.top, s.right, s.bottom);
        pbox->setDrawWidth(2);
        double least = 0;
        double most = 0;
        for (qsizetype i = 0; i < curve.points.size(); ++i) {
            const QPointF& p = curve.points[i];
            least = i == 0 ? p.y() : std::min(least, p.y());
            most = i == 0 ? p.y() : std::max(most, p.y());
            if (i > 0) {
                const QPointF& q = curve.points[i - 1];
                pbox->line(q.x(), q.y(), p.x(), p.y(), curve.color);
            }
        }
        if (most > 0 && least < 0) {
            pbox->line(s.left, 0, s.right, 0, platform::paletteColor(0));
        }
    }
}

void wqzOptionPayoffs::clearPlotArea() {
    pbox->clear();
    drawnCurves_.clear();
    lastCurve_.reset();
    legend_->clear();
    markers_->clear();
    expiryCurve_->clear();
    valuer_.reset();
    dates_.clear();
    probability_->clear();
}

QString wqzOptionPayoffs::strategyHeld() const {
    const workbench::Strategy* s = lastCurve_ ? workbench::recognise(*lastCurve_) : nullptr;
    return s ? QString::fromUtf16(s->name) : QString();
}

void wqzOptionPayoffs::showStrategy() {
    const workbench::Strategy* s = stale_ ? nullptr : workbench::recognise(position_);
    cmbStandard->setCurrentIndex(s ? cmbStandard->findText(QString::fromUtf16(s->name)) : -1);
    // With no entry shown the list says why: a position of its own, or
    // nothing held yet.
    const bool holdsNothing = !stale_ && position_.underlyingQty == 0 &&
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

void wqzOptionPayoffs::checkStale() {
    staleCheckDue_ = false;
    if (plotting_) {
        staleSkipped_ = true;
        return;
    }
    const bool stale = plotted_ && (!shown().samePosition(*plotted_) || marketTyped());
    if (stale == stale_) {
        return;
    }
    stale_ = stale;
    showStrategy();
    showBeforeExpiry();
}

void wqzOptionPayoffs::forgetAnalysis() {
    expiryAnalysis_.clear();
    plotted_.reset();
    stale_ = false;
    showStrategy();
    showBeforeExpiry();
}

QString wqzOptionPayoffs::curveName(workbench::payoff::DiagramKind f) const {
    const QString what = f == workbench::payoff::profitDiagram ? QStringLiteral(" (profit)")
                                                               : QStringLiteral(" (payoff)");
    const QString strategy = strategyHeld();
    return (strategy.isEmpty() ? QStringLiteral("Custom position") : strategy) + what;
}

void wqzOptionPayoffs::setGrddisplay(platform::FlexGrid* grid) {
    grddisplay = grid;
    // The first curve is drawn before the window hands its grid over.
    if (grid && lastCurve_) {
        prepareValuesGrid(*grid);
        for (int i = 1; i <= workbench::payoff::sampleCount; ++i) {
            writeValuesRow(*grid, i);
        }
        for (int c = 0; c < grid->Cols(); ++c) {
            grid->fitColWidthToText(c);
        }
    }
}

void wqzOptionPayoffs::prepareValuesGrid(platform::FlexGrid& grid) const {
    grid.Clear();
    grid.setRows(workbench::payoff::sampleCount + 1);
    grid.setCols(3);
    grid.setTextMatrix(0, 1, QStringLiteral("Underlying"));
    grid.setColAlignment(1, platform::FlexGrid::flexAlignCenterCenter);
    grid.setColAlignment(2, platform::FlexGrid::flexAlignCenterCenter);
    grid.setTextMatrix(0, 0, QStringLiteral("Numeric"));
    grid.setTextMatrix(1, 0, QStringLiteral("Values"));
    grid.setTextMatrix(
        0, 2, plotType[0]->isChecked() ? QStringLiteral("Payoff") : QStringLiteral("Profit"));
}

void wqzOptionPayoffs::writeValuesRow(platform::FlexGrid& grid, int i) const {
    grid.setTextMatrix(i, 1, platform::numbers::format(plotPrice_[i], u"#####0.0000"));
    grid.setTextMatrix(i, 2, platform::numbers::format(plotValue_[i], u"#####0.0000"));
}

void wqzOptionPayoffs::drawCurve(const workbench::payoff::PriceRange& range,
                                 workbench::payoff::DiagramKind f, float ytop, float ybot,
                                 const workbench::payoff::Extremes& extremes) {
    pbox->setScale(range.xmin, ytop, range.xmax, ybot);
    pbox->setDrawWidth(2);
    // The curve bends only at strikes, which the samples step over; it passes
    // through each strike that lies between two samples, with the samples'
    // own arithmetic, so its kinks are sharp and its peaks reach their height.
    // The numeric values stay the samples alone.
    // Only rows held in some quantity bend it: a pasted quote table of a
    // thousand rows with a few of them held inserts only those few.
    std::vector<float> strikes;
    for (int r = 1; r <= position_.rowCount(); ++r) {
        if (position_.takesPart[std::size_t(r)] &&
            (position_.callQty[r] != 0 || position_.putQty[r] != 0)) {
            strikes.push_back(position_.strike[r]);
        }
    }
    std::sort(strikes.begin(), strikes.end());
    strikes.erase(std::unique(strikes.begin(), strikes.end()), strikes.end());
    auto strike = strikes.cbegin();
    // The same line kept as points, for drawing it again at another size.
    QPolygonF kept{QPointF(plotPrice_[1], plotValue_[1])};
    for (int i = 2; i <= workbench::payoff::sampleCount; ++i) {
        float x = plotPrice_[i - 1];
        float y = plotValue_[i - 1];
        while (strike != strikes.cend() && *strike <= x) {
            ++strike;
        }
        for (; strike != strikes.cend() && *strike < plotPrice_[i]; ++strike) {
            const float atStrike = workbench::payoff::positionValue(position_, *strike, f);
            pbox->line(x, y, *strike, atStrike, plotColor_);
            kept << QPointF(*strike, atStrike);
            x = *strike;
            y = atStrike;
        }
        pbox->line(x, y, plotPrice_[i], plotValue_[i], plotColor_);
        kept << QPointF(plotPrice_[i], plotValue_[i]);
    }
    drawnCurves_.append({plotColor_, kept, PlotScale{range.xmin, ytop, range.xmax, ybot}});
    if (workbench::payoff::crossesZero(extremes)) {
        pbox->line(range.xmin, 0, range.xmax, 0, platform::paletteColor(0));
    }
    platform::eventPump().doEvents();
}

} // namespace workbench
