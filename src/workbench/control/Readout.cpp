#include "Readout.h"

#include "LastPlot.h"
#include "LastPlotKept.h"
#include "ScenarioText.h"
#include "platform/Numbers.h"
#include "workbench/model/PositionAnalysis.h"
#include "workbench/model/PositionColumns.h"

#include <QStringList>

#include <algorithm>
#include <cmath>

namespace workbench::readout {

namespace {

// A figure the model could not find reads "n/a".
QString number(double value, const char16_t* pattern) {
    return std::isfinite(value) ? platform::numbers::format(value, pattern) : QStringLiteral("n/a");
}

// An amount or a price as the rest of the read-out writes it.
QString money(double value) {
    return std::isfinite(value) ? analysis::money(value) : QStringLiteral("n/a");
}

QString percent(double fraction) {
    return platform::numbers::formatDecimal(fraction * 100, u"####0.00") + QStringLiteral(" %");
}

// Each greek holds only at one price and one time left, so their lines say
// where; all four to the same four decimals, so that they compare at a glance.
// The what-ifs on volatility at that date are named with it: "Profit with
// 10 days left after the event, volatility +10 points, at 100.00".
QString greeksText(const beforeexpiry::Greeks& g, const beforeexpiry::Inputs& in, int daysLeft,
                   double price, bool profit) {
    const QString days = scenariotext::daysWords(daysLeft);
    const QString whatIf = scenariotext::whatIfWords(in, daysLeft);
    constexpr const char16_t* greek = u"####0.0000";
    return QStringLiteral("%1 with %2 left%9 at %3: %4\n"
                          "Greeks at %3 with %2 left:\n"
                          "Delta %5   Gamma %6\n"
                          "Theta %7 a day   Vega %8 a point")
        .arg(profit ? QStringLiteral("Profit") : QStringLiteral("Value"), days, money(price),
             money(g.value), number(g.delta, greek), number(g.gamma, greek),
             number(g.thetaPerDay, greek), number(g.vegaPerPoint, greek),
             whatIf.isEmpty() ? QString() : whatIf + u',');
}

// Where exercising an option early pays, at the critical price the pricing
// engine gives: "Put 60: early exercise pays below 47.32 with 90 days left",
// or for one written "Call 45 written: the holder may exercise early above
// 78.30 with 20 days left".
QString earlyExerciseText(const std::vector<beforeexpiry::EarlyExercise>& options, int daysLeft) {
    QString text;
    for (const beforeexpiry::EarlyExercise& o : options) {
        const bool put = o.right == pricing::Right::Put;
        // A written option is exercised by its holder, not by the student.
        text += QStringLiteral("\n%1 %2%3: %4 %5 %6 with %7 left")
                    .arg(put ? QStringLiteral("Put") : QStringLiteral("Call"),
                         columns::strikeText(float(o.strike)),
                         o.written ? QStringLiteral(" written") : QString(),
                         o.written ? QStringLiteral("the holder may exercise early")
                                   : QStringLiteral("early exercise pays"),
                         put ? QStringLiteral("below") : QStringLiteral("above"), money(o.boundary),
                         scenariotext::daysWords(daysLeft));
    }
    return text;
}

// An extreme reached only at single prices has no chance of its own under
// a continuous law; the line says why it reads 0.
QString atPricesAlone(const analysis::Extreme& extreme) {
    if (extreme.where.empty() ||
        !std::all_of(extreme.where.cbegin(), extreme.where.cend(),
                     [](const analysis::PriceSpan& span) { return span.isPoint(); })) {
        return QString();
    }
    QStringList prices;
    for (const analysis::PriceSpan& span : extreme.where) {
        prices << analysis::money(span.from);
    }
    return QStringLiteral(" (reached only at %1, %2)")
        .arg(prices.join(QStringLiteral(" and ")), prices.size() == 1
                                                       ? QStringLiteral("a single price")
                                                       : QStringLiteral("single prices"));
}

// How likely the last curve's outcomes at expiry are, in the profit diagram.
QString probabilityText(const LastPlot& plot) {
    const std::optional<probability::Figures> f = plot.figures();
    if (!f) {
        return QString();
    }
    const beforeexpiry::Inputs& in = plot.valuedInputs();
    const beforeexpiry::LawVolatility v = *plot.lawVolatility();
    const probability::Lognormal law = *plot.law();
    const analysis::Analysis& a = *plot.analysis();
    const int days = in.daysToday;
    const QString atExpiry = scenariotext::expiryWords(a.firstExpiry);
    QString text =
        // The rate and the yield set the law's drift as the volatility sets
        // its spread: all three are named.
        QStringLiteral("\nModel: lognormal, volatility %1%2, rate %3, dividend %4, %5")
            .arg(percent(v.volatility),
                 v.strike
                     ? QStringLiteral(" (implied at %1)").arg(columns::strikeText(float(*v.strike)))
                     : QString(),
                 percent(in.rate), percent(in.dividendYield), scenariotext::daysWords(days));
    if (in.volatilityShift != 0) {
        text +=
            QStringLiteral(", volatility shifted ") + scenariotext::shiftWords(in.volatilityShift);
    }
    if (in.eventDays > 0 && in.eventDays < days) {
        text += QStringLiteral(", the event on day %1 with volatility %2 after it, %3 over the "
                               "whole time")
                    .arg(in.eventDays)
                    .arg(percent(beforeexpiry::shifted(in.volatilityAfter, in)),
                         percent(law.volatility));
    }
    // The marks of one standard deviation carry no price of their own.
    text += QStringLiteral("\nOne standard deviation %1: %2 to %3")
                .arg(atExpiry, analysis::money(law.quantile(-1)), analysis::money(law.quantile(1)));
    text += QStringLiteral("\nProbability of profit %1: ").arg(atExpiry) + percent(f->profit);
    if (std::isfinite(f->highest)) {
        text += QStringLiteral("\nProbability of the maximum profit: ") + percent(f->highest) +
                atPricesAlone(a.highest);
    }
    if (std::isfinite(f->lowest)) {
        text += QStringLiteral("\nProbability of the maximum loss: ") + percent(f->lowest) +
                atPricesAlone(a.lowest);
    }
    text += QStringLiteral("\nExpected profit %1: ").arg(atExpiry) + analysis::money(f->expected);
    if (const std::optional<double> chance = plot.chanceBeforeExpiry()) {
        text += QStringLiteral("\nProbability of profit with %1 left: %2")
                    .arg(scenariotext::daysWords(plot.highlighted()->daysLeft), percent(*chance));
    }
    return text;
}

// The value along a curve's samples at S, straight between them; none off
// their prices.
std::optional<double> valueAlong(const QPolygonF& points, double S) {
    for (qsizetype i = 1; i < points.size(); ++i) {
        const QPointF& a = points[i - 1];
        const QPointF& b = points[i];
        if (S >= std::min(a.x(), b.x()) && S <= std::max(a.x(), b.x())) {
            return a.x() == b.x() ? b.y() : a.y() + (S - a.x()) / (b.x() - a.x()) * (b.y() - a.y());
        }
    }
    return std::nullopt;
}

} // namespace

QString asLastPlotted() {
    return QStringLiteral("As last plotted \u2014 press Plot to update");
}

QString text(const LastPlot& plot) {
    const std::optional<PlottedCurve>& curve = plot.curve();
    if (!curve) {
        return QString();
    }
    // An analysis of an earlier position says so before anything else.
    QString text = plot.stale() ? asLastPlotted() + u'\n' : QString();
    // A calendar's analysis waits for the volatilities its later legs are
    // valued with.
    const analysis::Analysis* a = plot.analysis();
    text += curve->name + u'\n' + (a ? analysis::describe(*a) : QString());
    if (plot.probabilityShown()) {
        text += probabilityText(plot);
    }
    // A position with a row the model cannot value has no value before
    // expiry at all: drawing the rest of it would show a wrong one.
    if (plot.beforeExpiryShown() && !LastPlot::datesShown(plot.valuedInputs()).empty() &&
        !plot.notValued().empty()) {
        QStringList notValued;
        for (const beforeexpiry::RowNotValued& row : plot.notValued()) {
            notValued << scenariotext::whyNotValued(row);
        }
        text += QStringLiteral("\nNo value before expiry: %1.")
                    .arg(notValued.join(QStringLiteral("; ")));
    }
    if (plot.valuing()) {
        text += QStringLiteral("\nValuing before expiry\u2026 until it is done, the dimmed curves "
                               "and the figures before expiry are those valued last.");
    }
    if (const std::optional<beforeexpiry::Greeks> greeks = plot.greeksToday()) {
        const int daysLeft = plot.highlighted()->daysLeft;
        text += u'\n' +
                greeksText(*greeks, plot.valuedInputs(), daysLeft, curve->position.underlyingPrice,
                           curve->kind == payoff::profitDiagram) +
                earlyExerciseText(plot.earlyExercise(), daysLeft);
    }
    return text;
}

QString hoverText(const LastPlot& plot, double S) {
    using platform::numbers::format;
    QString text = QStringLiteral("Price ") + format(S, u"####0.00");
    const std::optional<PlottedCurve>& curve = plot.curve();
    if (!curve) {
        return text;
    }
    text += (curve->kind == payoff::profitDiagram ? QStringLiteral("   Profit ")
                                                  : QStringLiteral("   Payoff ")) +
            format(plot.valueAt(S), u"####0.00");
    QStringList lines;
    // The curves drawn before the last, as the area draws them: straight
    // between their samples. Their legend lines name them.
    const QList<DrawnCurve>& drawn = plot.drawn();
    for (qsizetype i = 0; i + 1 < drawn.size() && i < plot.legend().size(); ++i) {
        if (const std::optional<double> value = valueAlong(drawn[i].points, S)) {
            lines << plot.legend()[i].text + u' ' + format(*value, u"####0.00");
        }
    }
    for (const LastPlot::Dated* c : plot.dated()) {
        // A price the model cannot value says nothing for that date.
        if (const double value = c->valuer.valueAt(S); std::isfinite(value)) {
            lines << QStringLiteral("With %1 left ").arg(scenariotext::daysWords(c->daysLeft)) +
                         format(value, u"####0.00");
        }
    }
    if (const LastPlot::Dated* h = plot.highlighted();
        h && plot.greek() != beforeexpiry::Greek::None) {
        const double value = h->valuer.greeksAt(S).of(plot.greek());
        if (std::isfinite(value)) {
            lines << QStringLiteral("%1 with %2 left ")
                             .arg(lastplot::greekCaption(plot.greek()),
                                  scenariotext::daysWords(h->daysLeft)) +
                         format(value, u"####0.0000");
        }
    }
    // Several lines read as a column under the price, one a line.
    if (!lines.isEmpty()) {
        text +=
            (lines.size() > 1 ? QStringLiteral("\n") : QStringLiteral("   ")) + lines.join(u'\n');
    }
    return text;
}

double nextSample(const LastPlot& plot, double S, bool forward) {
    const payoff::PriceRange& r = plot.lastRange();
    const double low = r.xmin;
    const double high = r.xmax;
    const double step = r.step;
    if (!(step > 0) || !(high > low)) {
        return S;
    }
    // A price between samples goes to the sample on its way; one on a
    // sample, to the next.
    const double at = (S - low) / step;
    constexpr double onSample = 1e-6;
    const double index = forward ? std::floor(at + onSample) + 1 : std::ceil(at - onSample) - 1;
    return std::clamp(low + index * step, low, high);
}

double nextFeature(const LastPlot& plot, double S, bool forward) {
    const payoff::PriceRange& r = plot.lastRange();
    std::vector<double> places;
    if (const analysis::Analysis* a = plot.analysis()) {
        places = a->kinks;
        const auto spans = [&places](const std::vector<analysis::PriceSpan>& list) {
            for (const analysis::PriceSpan& span : list) {
                places.push_back(span.from);
                places.push_back(span.to);
            }
        };
        spans(a->breakEvens);
        spans(a->highest.where);
        spans(a->lowest.where);
    }
    // Apart by more than the read-out's last decimal, within the range.
    constexpr double apart = 0.005;
    std::optional<double> next;
    for (const double p : places) {
        if (!std::isfinite(p) || p < r.xmin || p > r.xmax ||
            (forward ? p <= S + apart : p >= S - apart)) {
            continue;
        }
        if (!next || (forward ? p < *next : p > *next)) {
            next = p;
        }
    }
    return next.value_or(S);
}

} // namespace workbench::readout
