// What the plot area shows, as the data a picture of any size is drawn from.
#include "LastPlot.h"

#include "LastPlotKept.h"
#include "ScenarioText.h"
#include "platform/Numbers.h"

#include <algorithm>

namespace workbench {

const diagramexport::Diagram& LastPlot::diagram(bool withGreek) const {
    // A file of the diagram never draws what is being valued.
    if (withGreek && valuing()) {
        settle();
    }
    std::optional<diagramexport::Diagram>& kept = kept_->diagram[withGreek ? 1 : 0];
    if (kept) {
        return *kept;
    }
    diagramexport::Diagram d;
    d.scale = scale_;
    d.background = background_;
    d.curves = drawn_;
    d.legend = legend_;
    if (const analysis::Analysis* a = analysis()) {
        // The strikes read on paper whether or not the marks are shown; the
        // dots only when they are. The ends of a span are where a reader
        // looks for it; an end beyond the range, or at no price, is not
        // marked.
        const double from = curve_->range.xmin;
        const double to = curve_->range.xmax;
        const auto inside = [&](double S) { return S >= from && S <= to; };
        for (const double K : a->kinks) {
            if (inside(K)) {
                d.strikes << K;
            }
        }
        const auto dotSpan = [&](const analysis::PriceSpan& span, double value) {
            if (inside(span.from)) {
                d.dots << QPointF(span.from, value);
            }
            if (!span.isPoint() && inside(span.to)) {
                d.dots << QPointF(span.to, value);
            }
        };
        if (markersShown_) {
            for (const analysis::PriceSpan& span : a->breakEvens) {
                dotSpan(span, 0);
            }
            for (const analysis::Extreme* extreme : {&a->highest, &a->lowest}) {
                for (const analysis::PriceSpan& span : extreme->where) {
                    dotSpan(span, extreme->value);
                }
            }
        }
    }
    const Dated* h = highlighted();
    const int highlightedDate = h ? h->daysLeft : highlightedDays();
    d.beforeExpiryValuing = valuing();
    for (const Dated* c : dated()) {
        d.beforeExpiry << DashedCurve{
            {curve_->color,
             curve_->name +
                 QStringLiteral(" with %1 left").arg(scenariotext::daysWords(c->daysLeft)) +
                 scenariotext::whatIfWords(valued_, c->daysLeft)},
            QPolygonF(c->points),
            c->daysLeft == highlightedDate,
            c->daysLeft};
    }
    if (!d.beforeExpiry.isEmpty()) {
        const auto percent = [](double fraction) {
            return platform::numbers::format(fraction * 100, u"####0.00") + QStringLiteral(" %");
        };
        d.beforeExpiryNote =
            (inputs_.implied ? QStringLiteral("Volatility implied from the premiums")
                             : QStringLiteral("Volatility ") + percent(inputs_.volatility)) +
            QStringLiteral(", rate ") + percent(inputs_.rate) +
            (inputs_.dividendYield != 0
                 ? QStringLiteral(", dividend yield ") + percent(inputs_.dividendYield)
                 : QString()) +
            (inputs_.american ? QStringLiteral(", American exercise") : QString()) +
            (inputs_.volatilityShift != 0 ? QStringLiteral(", volatility shifted ") +
                                                scenariotext::shiftWords(inputs_.volatilityShift)
                                          : QString()) +
            (inputs_.eventDays > 0
                 ? QStringLiteral(", volatility %1 from the event on day %2")
                       .arg(percent(beforeexpiry::shifted(inputs_.volatilityAfter, inputs_)))
                       .arg(inputs_.eventDays)
                 : QString());
    }
    const double lo = std::min(scale_.left, scale_.right);
    const double hi = std::max(scale_.left, scale_.right);
    if (todayPrice_ >= lo && todayPrice_ <= hi) {
        d.todayPrice = todayPrice_;
    }
    if (withGreek) {
        d.greekCurve = greekCurve();
        // Drawn in the colour of the curve it belongs to, whatever the colour
        // it was valued under.
        if (d.greekCurve) {
            d.greekCurve->color = curve_->color;
        }
    }
    if (probabilityShown_) {
        d.law = law();
    }
    d.valueCaption = scenariotext::kindWord(kind_);
    kept = std::move(d);
    return *kept;
}

} // namespace workbench
