#include "PlotLayers.h"

#include "CurveLegend.h"
#include "ExpiryCurveLayer.h"
#include "GreekCurveLayer.h"
#include "HoverReadout.h"
#include "MarkerLayer.h"
#include "PriceLineLayer.h"
#include "PricingThread.h"
#include "ProbabilityLayer.h"
#include "Readout.h"
#include "platform/FailureGuard.h"
#include "platform/Palette.h"
#include "platform/PictureBox.h"

#include <QProgressBar>
#include <QTimer>

#include <algorithm>
#include <cmath>

namespace workbench {

PlotLayers::PlotLayers(platform::PictureBox& area, const LastPlot& plot, QObject* parent)
    : QObject(parent), area_(area), plot_(plot) {
    dashed_ = new ExpiryCurveLayer(&area);
    greek_ = new GreekCurveLayer(&area);
    markers_ = new MarkerLayer(&area);
    legend_ = new CurveLegend(&area);
    legend_->setInsets([this] { return greek_->axisRoom(); });
    legend_->setCoverage([this](const QRect& box) {
        // The points of every curve drawn and of the dashed ones, as the
        // area shows them now.
        int hidden = 0;
        const auto count = [&](const QPolygonF& points) {
            for (const QPointF& p : points) {
                hidden += box.contains(area_.toPixels(p.x(), p.y()).toPoint()) ? 1 : 0;
            }
        };
        const diagramexport::Diagram& d = plot_.diagram(false);
        for (const DrawnCurve& c : d.curves) {
            count(c.points);
        }
        for (const DashedCurve& c : d.beforeExpiry) {
            count(c.points);
        }
        return hidden;
    });
    hover_ = new HoverReadout(&area);
    law_ = new ProbabilityLayer(&area);
    today_ = new PriceLineLayer(&area);
    connect(&plot, &LastPlot::changed, this,
            [this](LastPlot::Parts parts) { platform::runGuarded([&] { follow(parts); }); });
    progress_ = new QProgressBar(&area);
    progress_->setObjectName(QStringLiteral("valuingProgress"));
    progress_->setAccessibleName(QStringLiteral("Valuing before expiry"));
    progress_->setFormat(QStringLiteral("Valuing before expiry… %p %"));
    progress_->setRange(0, 100);
    progress_->hide();
    progressTimer_ = new QTimer(this);
    progressTimer_->setInterval(100);
    connect(progressTimer_, &QTimer::timeout, this,
            [this] { platform::runGuarded([this] { followProgress(); }); });
    connect(&plot, &LastPlot::valuingStarted, progressTimer_, qOverload<>(&QTimer::start));
    connect(&area, &platform::PictureBox::PointerMoved, this,
            [this](QPointF at) { platform::runGuarded([&] { pointerMoved(at); }); });
    connect(&area, &platform::PictureBox::PointerLeft, hover_, &HoverReadout::hideReadout);
}

PlotLayers::~PlotLayers() = default;

void PlotLayers::setLegendShown(bool shown) {
    legend_->setShown(shown);
}

void PlotLayers::follow(LastPlot::Parts parts) {
    const diagramexport::Diagram& d = plot_.diagram(false);
    if (parts & LastPlot::DrawnPart) {
        drawCurves(d);
    }
    area_.setScale(d.scale.left, d.scale.top, d.scale.right, d.scale.bottom);
    // Each layer shown goes on top of those before it: the law's shading
    // lowest, the legend over every curve.
    if (d.law) {
        law_->setLaw(*d.law);
    } else {
        law_->clear();
    }
    today_->setPrice(plot_.todayPrice());
    if (plot_.curve()) {
        markers_->mark(d.strikes, d.dots);
    } else {
        markers_->clear();
    }
    markers_->setShown(plot_.markersShown());
    QList<ExpiryCurveLayer::Curve> dashed;
    QList<CurveLegend::Entry> entries;
    int highlighted = -1;
    for (const DashedCurve& c : d.beforeExpiry) {
        if (c.highlighted) {
            highlighted = int(entries.size());
        }
        dashed << ExpiryCurveLayer::Curve{c.daysLeft, c.points, c.highlighted};
        entries << c.entry;
    }
    if (dashed.isEmpty()) {
        dashed_->clear();
    } else {
        dashed_->draw(dashed, plot_.curve()->color, d.beforeExpiryValuing);
    }
    legend_->show(d.legend, entries, highlighted);
    followGreek(parts & (LastPlot::GreekPart | LastPlot::ValuedPart));
    // The pointer's read-out takes the dates' values as they arrive.
    if ((parts & LastPlot::ValuedPart) && hover_->isVisible()) {
        pointerMoved(pointer_);
    }
}

void PlotLayers::followProgress() {
    // Shown only once a valuation has run longer than a glance: most are
    // done before it would be read.
    constexpr std::int64_t shownAfterMs = 300;
    const PricingThread* running = nullptr;
    for (const PricingThread* lane : {&plot_.pricing(), &plot_.tablePricing()}) {
        if (lane->runningMs() > shownAfterMs &&
            (!running || lane->runningMs() > running->runningMs())) {
            running = lane;
        }
    }
    if (!plot_.pricing().busy() && !plot_.tablePricing().busy()) {
        progressTimer_->stop();
    }
    if (!running) {
        progress_->hide();
        return;
    }
    // At the foot of the area, clear of the axis labels at its left.
    const QSize size(std::min(240, area_.width() - 16), progress_->sizeHint().height());
    progress_->setGeometry(QRect(QPoint(8, area_.height() - size.height() - 8), size));
    progress_->setValue(int(std::lround(running->progress() * 100)));
    progress_->show();
    progress_->raise();
}

void PlotLayers::drawCurves(const diagramexport::Diagram& d) {
    const bool removed = plot_.removals() != removalsDrawn_;
    if (removed || d.curves.size() < curvesDrawn_) {
        area_.clear();
        curvesDrawn_ = 0;
        removalsDrawn_ = plot_.removals();
    }
    for (; curvesDrawn_ < d.curves.size(); ++curvesDrawn_) {
        drawCurve(d.curves[curvesDrawn_]);
    }
}

void PlotLayers::drawCurve(const DrawnCurve& curve) {
    // Each curve in the scale it was drawn in, with the zero line it
    // crosses.
    const PlotScale& s = curve.scale;
    area_.setScale(s.left, s.top, s.right, s.bottom);
    area_.setDrawWidth(2);
    double least = 0;
    double most = 0;
    for (qsizetype i = 0; i < curve.points.size(); ++i) {
        const QPointF& p = curve.points[i];
        least = i == 0 ? p.y() : std::min(least, p.y());
        most = i == 0 ? p.y() : std::max(most, p.y());
        if (i > 0) {
            const QPointF& q = curve.points[i - 1];
            area_.line(q.x(), q.y(), p.x(), p.y(), curve.color);
        }
    }
    if (most > 0 && least < 0) {
        area_.line(s.left, 0, s.right, 0, platform::paletteColor(0));
    }
}

void PlotLayers::followGreek(bool atOnce) {
    // Without a greek or a curve to take it from, it goes at once, with the
    // dashed curve it belongs to; a greek just chosen is drawn at once.
    if (atOnce || plot_.greek() == beforeexpiry::Greek::None || !plot_.highlighted()) {
        showGreek();
        return;
    }
    // An American greek costs several whole curves of the engine's prices.
    // A held arrow or a dragged slider re-plots the dashed curve at once and
    // the greek as soon as the events waiting are done, once for however many
    // steps came in between, so that the diagram keeps up with the hand.
    if (greekPending_) {
        return;
    }
    greekPending_ = true;
    QTimer::singleShot(0, this, [this] {
        platform::runGuarded([this] {
            greekPending_ = false;
            showGreek();
        });
    });
}

void PlotLayers::showGreek() {
    // Never waits: a curve being valued stands as the last one was, dimmed,
    // until the new one arrives.
    std::optional<GreekCurve> curve = plot_.greekCurve();
    if (!curve) {
        greek_->clear();
        legend_->update();
        return;
    }
    curve->color = plot_.curve()->color;
    greek_->draw(*curve, plot_.valuing());
    // Under the legend and the pointer's read-out, which keep their places
    // clear of its axis.
    greek_->stackUnder(legend_);
    legend_->update();
}

void PlotLayers::pointerMoved(QPointF at) {
    // The pointer covers a pixel's worth of prices, a third of a unit or
    // more: it reads the roundest price within it, so that 55 itself can be
    // pointed at, rather than 54.91 or 55.25.
    pointer_ = at;
    const double S = roundestPrice(area_.toUser(at - QPointF(0.5, 0)).x(),
                                   area_.toUser(at + QPointF(0.5, 0)).x());
    hover_->showAt(at, readout::hoverText(plot_, S));
}

double PlotLayers::roundestPrice(double a, double b) {
    const double lo = std::min(a, b);
    const double hi = std::max(a, b);
    for (const double step : {100.0, 50.0, 10.0, 5.0, 1.0, 0.5, 0.1, 0.05, 0.01}) {
        const double candidate = std::round((lo + hi) / 2 / step) * step;
        if (candidate >= lo && candidate <= hi) {
            return candidate;
        }
    }
    return (lo + hi) / 2;
}

} // namespace workbench
