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
#include "platform/Numbers.h"
#include "platform/Palette.h"
#include "platform/PictureBox.h"
#include "workbench/model/PositionAnalysis.h"

#include <QKeyEvent>
#include <QProgressBar>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <utility>

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
    area.installEventFilter(this);
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
        // Its line in the legend as the area draws it.
        entries << LegendEntry{platform::readableOn(c.entry.color, d.background), c.entry.text};
    }
    if (dashed.isEmpty()) {
        dashed_->clear();
    } else {
        dashed_->draw(dashed, platform::readableOn(plot_.curve()->color, d.background),
                      d.beforeExpiryValuing);
    }
    legend_->show(d.legend, entries, highlighted);
    followGreek(parts & (LastPlot::GreekPart | LastPlot::ValuedPart));
    // The pointer's read-out takes the dates' values as they arrive.
    if ((parts & LastPlot::ValuedPart) && hover_->isVisible()) {
        if (pointer_) {
            pointerMoved(*pointer_);
        } else if (readPrice_) {
            readAt(*readPrice_);
        }
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
    // Another background takes every curve again in inks that read on it.
    const bool background = d.background != area_.backColor();
    if (background) {
        area_.setBackColor(d.background);
    }
    if (removed || background || d.curves.size() < curvesDrawn_) {
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
    const platform::Rgb ink = platform::readableOn(curve.color, area_.backColor());
    double least = 0;
    double most = 0;
    for (qsizetype i = 0; i < curve.points.size(); ++i) {
        const QPointF& p = curve.points[i];
        least = i == 0 ? p.y() : std::min(least, p.y());
        most = i == 0 ? p.y() : std::max(most, p.y());
        if (i > 0) {
            const QPointF& q = curve.points[i - 1];
            area_.line(q.x(), q.y(), p.x(), p.y(), ink);
        }
    }
    if (most > 0 && least < 0) {
        area_.line(s.left, 0, s.right, 0,
                   platform::readableOn(platform::paletteColor(0), area_.backColor()));
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
    curve->color = platform::readableOn(plot_.curve()->color, area_.backColor());
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
    const double S = roundestPrice(area_.toUser(at - QPointF(0.5, 0)).x(),
                                   area_.toUser(at + QPointF(0.5, 0)).x());
    pointer_ = at;
    readPrice_ = S;
    typed_.clear();
    hover_->showAt(at, readout::hoverText(plot_, S));
}

bool PlotLayers::eventFilter(QObject* watched, QEvent* event) {
    if (watched != &area_) {
        return false;
    }
    if (event->type() == QEvent::FocusOut) {
        typed_.clear();
        return false;
    }
    if (event->type() != QEvent::KeyPress) {
        return false;
    }
    bool taken = false;
    platform::runGuarded([&] { taken = readKey(*static_cast<QKeyEvent*>(event)); });
    return taken;
}

bool PlotLayers::readKey(const QKeyEvent& key) {
    const payoff::PriceRange& range = plot_.lastRange();
    if (!(range.xmax > range.xmin)) {
        return false;
    }
    const Qt::KeyboardModifiers mods = key.modifiers() & ~Qt::KeypadModifier;
    const bool jump = mods == Qt::ControlModifier;
    // Where the keys start: where the read-out last stood, else today's
    // price when the diagram shows it, else the middle of the range.
    const double today = plot_.todayPrice();
    const double from = readPrice_.value_or(
        today >= range.xmin && today <= range.xmax ? today : (range.xmin + range.xmax) / 2);
    switch (key.key()) {
    case Qt::Key_Left:
    case Qt::Key_Right:
        if (mods != Qt::NoModifier && !jump) {
            return false;
        }
        typed_.clear();
        readAt(jump         ? readout::nextFeature(plot_, from, key.key() == Qt::Key_Right)
               : readPrice_ ? readout::nextSample(plot_, from, key.key() == Qt::Key_Right)
                            : from);
        return true;
    case Qt::Key_Home:
    case Qt::Key_End:
        if (mods != Qt::NoModifier) {
            return false;
        }
        typed_.clear();
        readAt(key.key() == Qt::Key_Home ? range.xmin : range.xmax);
        return true;
    case Qt::Key_Escape:
        if (!typed_.isEmpty() || hover_->isVisible()) {
            endReading();
            return true;
        }
        return false;
    case Qt::Key_Backspace:
        if (typed_.isEmpty()) {
            return false;
        }
        typed_.chop(1);
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter: {
        if (typed_.isEmpty()) {
            return false;
        }
        bool ok = false;
        const double S = typed_.toDouble(&ok);
        if (ok && S >= range.xmin && S <= range.xmax) {
            typed_.clear();
            readAt(S);
            return true;
        }
        using platform::numbers::format;
        const QString told =
            QStringLiteral("Type a price from %1 to %2")
                .arg(format(range.xmin, u"####0.00"), format(range.xmax, u"####0.00"));
        typed_.clear();
        hover_->showAt(hover_->isVisible() ? hover_->at() : QPointF(-1, -1), told);
        describe(told);
        return true;
    }
    default: {
        // A price typed, digits and one decimal point, at most as long as
        // the range boxes take.
        const QString text = key.text();
        constexpr qsizetype longest = 12;
        if (mods & ~Qt::ShiftModifier || text.size() != 1 || typed_.size() >= longest ||
            !(text[0].isDigit() || (text[0] == u'.' && !typed_.contains(u'.')))) {
            return false;
        }
        typed_ += text;
        break;
    }
    }
    const QString asked = QStringLiteral("Go to price: ") + typed_;
    hover_->showAt(hover_->isVisible() ? hover_->at() : QPointF(-1, -1), asked);
    describe(asked);
    return true;
}

void PlotLayers::readAt(double S) {
    readPrice_ = S;
    pointer_.reset();
    // On the curve as drawn: at expiry, or at the first expiry.
    const double value = plot_.curve() && std::isfinite(plot_.valueAt(S)) ? plot_.valueAt(S) : 0;
    QPointF at = area_.toPixels(S, value);
    // The crosshair stays on the area where the value is off its scale.
    at.setY(std::clamp(at.y(), 0.0, double(area_.height() - 1)));
    const QString text = readout::hoverText(plot_, S);
    hover_->showAt(at, text);
    if (area_.hasFocus()) {
        describe(text);
    }
}

void PlotLayers::describe(const QString& text) {
    if (!describing_) {
        help_ = area_.accessibleDescription();
        describing_ = true;
    }
    area_.setAccessibleDescription(text);
}

void PlotLayers::endReading() {
    typed_.clear();
    readPrice_.reset();
    pointer_.reset();
    hover_->hideReadout();
    if (std::exchange(describing_, false)) {
        area_.setAccessibleDescription(help_);
    }
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
