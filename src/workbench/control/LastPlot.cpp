#include "LastPlot.h"

#include "platform/Numbers.h"

#include <algorithm>
#include <cmath>
#include <functional>

namespace workbench {

namespace {

// Enough points that a dashed line, and the greek's, read as smooth curves at
// any size the plot area takes.
constexpr int kCurvePoints = 200;

// The dates kept valued for one curve and market: a drag of the slider over
// a year's days and back again values each date once.
constexpr std::size_t kMostDates = 400;

constexpr double kDaysPerYear = 365;

QString daysText(int days) {
    return days == 1 ? QStringLiteral("1 day") : QStringLiteral("%1 days").arg(days);
}

QString greekCaption(beforeexpiry::Greek greek) {
    switch (greek) {
    case beforeexpiry::Greek::Delta:
        return QStringLiteral("Delta");
    case beforeexpiry::Greek::Gamma:
        return QStringLiteral("Gamma");
    case beforeexpiry::Greek::Theta:
        return QStringLiteral("Theta a day");
    case beforeexpiry::Greek::Vega:
        return QStringLiteral("Vega a point");
    case beforeexpiry::Greek::None:
        break;
    }
    return QString();
}

// The greek's own vertical scale: its values with room above and below, so
// that the curve never runs along an edge; a greek that never strays from 0
// by more than the read-out's last decimal gets a scale that wide, rather
// than one that blows its rounding up into a curve.
GreekCurve greekCurveOf(beforeexpiry::Greek greek, const QList<QPointF>& points,
                        platform::Rgb color) {
    constexpr double headroom = 0.08;
    constexpr double leastSpread = 1e-4;
    double lo = 0;
    double hi = 0;
    for (const QPointF& p : points) {
        lo = std::min(lo, p.y());
        hi = std::max(hi, p.y());
    }
    if (hi - lo < leastSpread) {
        hi = lo + leastSpread;
    }
    const double room = headroom * (hi - lo);
    return GreekCurve{greekCaption(greek), color, QPolygonF(points), hi + room, lo - room};
}

QList<QPointF> pointsOf(const std::vector<double>& values, double from, double to) {
    QList<QPointF> points;
    const int n = int(values.size()) - 1;
    points.reserve(n + 1);
    for (int i = 0; i <= n; ++i) {
        // A price the model cannot value is left out.
        if (const double v = values[std::size_t(i)]; std::isfinite(v)) {
            points << QPointF(from + (to - from) * i / n, v);
        }
    }
    return points;
}

bool samePosition(const PositionState& a, const PositionState& b) {
    return a.callQty == b.callQty && a.callPrice == b.callPrice && a.strike == b.strike &&
           a.putQty == b.putQty && a.putPrice == b.putPrice && a.takesPart == b.takesPart &&
           a.underlyingQty == b.underlyingQty && a.underlyingPrice == b.underlyingPrice &&
           a.costPerOption == b.costPerOption && a.costPerUnit == b.costPerUnit;
}

bool sameRange(const payoff::PriceRange& a, const payoff::PriceRange& b) {
    return a.xmin == b.xmin && a.xmax == b.xmax && a.step == b.step;
}

} // namespace

// What is derived, each kept until what it depends on changes.
struct LastPlot::Kept {
    // Of the curve's position and kind.
    std::optional<analysis::Analysis> analysis;
    // Of the position's quotes and the market.
    std::optional<beforeexpiry::Volatilities> volatilities;
    std::optional<std::vector<beforeexpiry::RowVolatility>> impliedRows;
    std::optional<std::optional<beforeexpiry::LawVolatility>> lawVolatility;
    // Of the position, its kind and the market.
    std::optional<beforeexpiry::Valuer> base;
    std::optional<std::optional<probability::Figures>> figures;
    // Of all that and the price range: each date valued, with what is read
    // of it, whether or not it is shown now.
    struct Date {
        Dated dated;
        std::optional<beforeexpiry::Greeks> greeks;
        std::optional<std::vector<beforeexpiry::EarlyExercise>> early;
        std::optional<std::optional<double>> chance;
    };
    std::map<int, Date> dates;
    // Of the dates shown and whether they are.
    std::optional<std::vector<const Dated*>> dated;
    std::optional<std::optional<GreekCurve>> greekCurve;
    std::optional<std::optional<scenarios::Table>> scenarios;
    std::optional<diagramexport::Diagram> diagram[2];

    Date* date(int daysLeft) {
        const auto it = dates.find(daysLeft);
        return it == dates.end() ? nullptr : &it->second;
    }
};

LastPlot::Change::Change(LastPlot& plot) : plot_(plot) {
    ++plot_.open_;
}

LastPlot::Change::~Change() {
    if (--plot_.open_ == 0 && plot_.pending_) {
        const Parts parts = plot_.pending_;
        plot_.pending_ = {};
        emit plot_.changed(parts);
    }
}

LastPlot::LastPlot(QObject* parent) : QObject(parent), kept_(std::make_unique<Kept>()) {}

LastPlot::~LastPlot() = default;

void LastPlot::changedParts(Parts parts) {
    forget(parts);
    pending_ |= parts;
    // A change made outside any entry point is told at once.
    if (open_ == 0) {
        Change told(*this);
    }
}

void LastPlot::forget(Parts parts) {
    Kept& k = *kept_;
    k.diagram[0].reset();
    k.diagram[1].reset();
    // setCurve forgets for itself what a curve's change reaches.
    if (parts & InputsPart) {
        k.volatilities.reset();
        k.impliedRows.reset();
        k.lawVolatility.reset();
        k.base.reset();
        k.figures.reset();
        k.dates.clear();
        k.dated.reset();
        k.greekCurve.reset();
        k.scenarios.reset();
    }
    if (parts & (DatesPart | ShownPart)) {
        k.dated.reset();
        k.greekCurve.reset();
        k.scenarios.reset();
    }
    if (parts & GreekPart) {
        k.greekCurve.reset();
    }
}

void LastPlot::setCurve(const std::optional<PlottedCurve>& curve) {
    const bool had = curve_.has_value();
    const bool position =
        had != curve.has_value() || (had && !samePosition(curve_->position, curve->position));
    const bool kind = position || (had && curve_->kind != curve->kind);
    const bool range = kind || (had && !sameRange(curve_->range, curve->range));
    const bool looks =
        range || (had && (curve_->color != curve->color || curve_->name != curve->name));
    if (!looks) {
        return;
    }
    Kept& k = *kept_;
    if (position) {
        k.analysis.reset();
        k.volatilities.reset();
        k.impliedRows.reset();
        k.lawVolatility.reset();
    }
    if (kind) {
        k.analysis.reset();
        k.base.reset();
        k.figures.reset();
    }
    if (range) {
        k.dates.clear();
        k.dated.reset();
        k.greekCurve.reset();
        k.scenarios.reset();
    }
    curve_ = curve;
    if (curve_) {
        kind_ = curve_->kind;
        range_ = curve_->range;
    }
    changedParts(CurvePart);
}

void LastPlot::addDrawn(const DrawnCurve& curve, const QString& legendText) {
    drawn_ << curve;
    legend_ << LegendEntry{curve.color, legendText};
    changedParts(DrawnPart);
}

void LastPlot::removeLastDrawn() {
    if (drawn_.isEmpty()) {
        return;
    }
    drawn_.removeLast();
    legend_.removeLast();
    ++removals_;
    changedParts(DrawnPart);
}

void LastPlot::clear() {
    if (drawn_.isEmpty() && !curve_) {
        return;
    }
    drawn_.clear();
    legend_.clear();
    ++removals_;
    changedParts(DrawnPart);
    setCurve(std::nullopt);
}

void LastPlot::setScale(const PlotScale& scale) {
    if (scale.left == scale_.left && scale.top == scale_.top && scale.right == scale_.right &&
        scale.bottom == scale_.bottom) {
        return;
    }
    scale_ = scale;
    changedParts(DrawnPart);
}

void LastPlot::setBackground(platform::Rgb color) {
    if (color != background_) {
        background_ = color;
        changedParts(DrawnPart);
    }
}

void LastPlot::setInputs(const beforeexpiry::Inputs& inputs) {
    if (inputs == inputs_) {
        return;
    }
    beforeexpiry::Inputs market = inputs;
    market.daysLeft = inputs_.daysLeft;
    market.moreDaysLeft = inputs_.moreDaysLeft;
    // A step of the slider values its own date and nothing else.
    const Parts parts = market == inputs_ ? Parts(DatesPart) : Parts(InputsPart | DatesPart);
    inputs_ = inputs;
    changedParts(parts);
}

void LastPlot::setBeforeExpiryShown(bool shown) {
    if (shown != beforeExpiryShown_) {
        beforeExpiryShown_ = shown;
        changedParts(ShownPart);
    }
}

void LastPlot::setProbabilityShown(bool shown) {
    if (shown != probabilityShown_) {
        probabilityShown_ = shown;
        changedParts(ShownPart);
    }
}

void LastPlot::setMarkersShown(bool shown) {
    if (shown != markersShown_) {
        markersShown_ = shown;
        changedParts(ShownPart);
    }
}

void LastPlot::setGreek(beforeexpiry::Greek greek) {
    if (greek != greek_) {
        greek_ = greek;
        changedParts(GreekPart);
    }
}

void LastPlot::setStale(bool stale) {
    if (stale != stale_) {
        stale_ = stale;
        changedParts(StalePart);
    }
}

void LastPlot::setTodayPrice(double price) {
    if (price != todayPrice_) {
        todayPrice_ = price;
        changedParts(ShownPart);
    }
}

std::vector<int> LastPlot::datesShown(const beforeexpiry::Inputs& in) {
    std::vector<int> days;
    if (in.daysLeft > 0) {
        days.push_back(std::min(in.daysLeft, in.daysToday));
    }
    for (const int d : in.moreDaysLeft) {
        if (d > 0) {
            days.push_back(std::min(d, in.daysToday));
        }
    }
    std::sort(days.begin(), days.end(), std::greater<>());
    days.erase(std::unique(days.begin(), days.end()), days.end());
    return days;
}

int LastPlot::highlightedDays() const {
    return std::min(inputs_.daysLeft, inputs_.daysToday);
}

const analysis::Analysis* LastPlot::analysis() const {
    if (!curve_) {
        return nullptr;
    }
    Kept& k = *kept_;
    if (!k.analysis) {
        k.analysis = analysis::analyse(curve_->position, curve_->kind);
    }
    return &*k.analysis;
}

const beforeexpiry::Volatilities* LastPlot::volatilities() const {
    if (!curve_) {
        return nullptr;
    }
    Kept& k = *kept_;
    if (!k.volatilities) {
        k.volatilities.emplace(curve_->position, inputs_);
    }
    return &*k.volatilities;
}

std::vector<beforeexpiry::RowVolatility> LastPlot::impliedRows() const {
    if (!curve_) {
        return {};
    }
    Kept& k = *kept_;
    if (!k.impliedRows) {
        k.impliedRows =
            beforeexpiry::impliedVolatilities(curve_->position, inputs_, volatilities());
    }
    return *k.impliedRows;
}

const beforeexpiry::Valuer* LastPlot::baseValuer() const {
    if (!curve_) {
        return nullptr;
    }
    Kept& k = *kept_;
    if (!k.base) {
        // The dates come with each curve: the volatilities are the market's.
        beforeexpiry::Inputs market = inputs_;
        market.daysLeft = 0;
        market.moreDaysLeft.clear();
        k.base.emplace(curve_->position, market, curve_->kind, volatilities());
    }
    return &*k.base;
}

const std::vector<beforeexpiry::RowNotValued>& LastPlot::notValued() const {
    static const std::vector<beforeexpiry::RowNotValued> none;
    const beforeexpiry::Valuer* base = baseValuer();
    return base ? base->notValued() : none;
}

const LastPlot::Dated* LastPlot::datedAt(int daysLeft) const {
    Kept& k = *kept_;
    if (Kept::Date* kept = k.date(daysLeft)) {
        return &kept->dated;
    }
    const double from = curve_->range.xmin;
    const double to = curve_->range.xmax;
    beforeexpiry::Valuer valuer = baseValuer()->atDaysLeft(daysLeft);
    QList<QPointF> points = pointsOf(valuer.curve(from, to, kCurvePoints), from, to);
    const auto [it, added] = k.dates.emplace(
        daysLeft, Kept::Date{Dated{daysLeft, std::move(valuer), std::move(points)}, {}, {}, {}});
    return &it->second.dated;
}

const std::vector<const LastPlot::Dated*>& LastPlot::dated() const {
    Kept& k = *kept_;
    if (!k.dated) {
        std::vector<const Dated*> list;
        const std::vector<int> days = datesShown(inputs_);
        if (curve_ && beforeExpiryShown_ && !days.empty() && notValued().empty()) {
            if (k.dates.size() > kMostDates) {
                k.dates.clear();
            }
            for (const int d : days) {
                list.push_back(datedAt(d));
            }
        }
        k.dated = std::move(list);
    }
    return *k.dated;
}

const LastPlot::Dated* LastPlot::highlighted() const {
    const int days = highlightedDays();
    for (const Dated* d : dated()) {
        if (d->daysLeft == days) {
            return d;
        }
    }
    return nullptr;
}

std::optional<beforeexpiry::Greeks> LastPlot::greeksToday() const {
    const Dated* h = highlighted();
    if (!h) {
        return std::nullopt;
    }
    Kept::Date& date = *kept_->date(h->daysLeft);
    if (!date.greeks) {
        date.greeks = h->valuer.greeksAt(curve_->position.underlyingPrice);
    }
    return date.greeks;
}

std::vector<beforeexpiry::EarlyExercise> LastPlot::earlyExercise() const {
    const Dated* h = highlighted();
    if (!h) {
        return {};
    }
    Kept::Date& date = *kept_->date(h->daysLeft);
    if (!date.early) {
        date.early = h->valuer.earlyExercise();
    }
    return *date.early;
}

std::optional<beforeexpiry::LawVolatility> LastPlot::lawVolatility() const {
    if (!curve_) {
        return std::nullopt;
    }
    Kept& k = *kept_;
    if (!k.lawVolatility) {
        k.lawVolatility = beforeexpiry::lawVolatility(curve_->position, inputs_, volatilities());
    }
    return *k.lawVolatility;
}

std::optional<probability::Lognormal> LastPlot::law() const {
    const std::optional<beforeexpiry::LawVolatility> v = lawVolatility();
    if (!v) {
        return std::nullopt;
    }
    return probability::Lognormal{curve_->position.underlyingPrice,
                                  inputs_.daysToday / kDaysPerYear, inputs_.rate,
                                  inputs_.dividendYield, v->volatility};
}

std::optional<probability::Figures> LastPlot::figures() const {
    if (!curve_ || curve_->kind != payoff::profitDiagram) {
        return std::nullopt;
    }
    Kept& k = *kept_;
    if (!k.figures) {
        k.figures = probability::figures(curve_->position, *analysis(), *law());
    }
    return *k.figures;
}

std::optional<double> LastPlot::chanceBeforeExpiry() const {
    const Dated* h = highlighted();
    if (!h || h->daysLeft >= inputs_.daysToday) {
        return std::nullopt;
    }
    Kept::Date& date = *kept_->date(h->daysLeft);
    if (!date.chance) {
        // The price then is drawn from the same law as at expiry, over the
        // days that will have passed, over the whole law whatever prices the
        // diagram shows.
        probability::Lognormal then = *law();
        then.years = (inputs_.daysToday - h->daysLeft) / kDaysPerYear;
        const double chance = beforeexpiry::chanceOfProfit(h->valuer, then);
        date.chance = std::isfinite(chance) ? std::optional(chance) : std::nullopt;
    }
    return *date.chance;
}

const std::optional<GreekCurve>& LastPlot::greekCurve() const {
    Kept& k = *kept_;
    if (!k.greekCurve) {
        std::optional<GreekCurve> curve;
        if (const Dated* h = greek_ != beforeexpiry::Greek::None ? highlighted() : nullptr) {
            const double from = curve_->range.xmin;
            const double to = curve_->range.xmax;
            curve = greekCurveOf(
                greek_, pointsOf(h->valuer.greekCurve(greek_, from, to, kCurvePoints), from, to),
                curve_->color);
        }
        k.greekCurve = std::move(curve);
    }
    return *k.greekCurve;
}

const scenarios::Table* LastPlot::scenarios() const {
    if (!curve_) {
        return nullptr;
    }
    Kept& k = *kept_;
    if (!k.scenarios) {
        k.scenarios =
            scenarios::build(curve_->position, inputs_, curve_->kind, curve_->range,
                             scenarios::defaultRows, scenarios::defaultColumns, volatilities());
    }
    return &**k.scenarios;
}

const diagramexport::Diagram& LastPlot::diagram(bool withGreek) const {
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
    const int highlightedDate = highlightedDays();
    for (const Dated* c : dated()) {
        d.beforeExpiry << DashedCurve{
            {curve_->color,
             curve_->name + QStringLiteral(" with %1 left").arg(daysText(c->daysLeft))},
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
            (inputs_.american ? QStringLiteral(", American exercise") : QString());
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
    d.valueCaption =
        kind_ == payoff::profitDiagram ? QStringLiteral("Profit") : QStringLiteral("Payoff");
    kept = std::move(d);
    return *kept;
}

} // namespace workbench
