// The last curve before expiry: its dashed line, its legend line and its
// greeks in the analysis.
#include "wqzOptionPayoffs.h"

#include "CurveLegend.h"
#include "ExpiryCurveLayer.h"
#include "ScenarioText.h"
#include "platform/Numbers.h"
#include "workbench/model/PositionAnalysis.h"
#include "workbench/model/PositionColumns.h"

#include <QList>
#include <QPointF>
#include <QStringList>

#include <cmath>

namespace workbench {

namespace {

// A figure the model could not find reads "n/a".
QString number(double value, const char16_t* pattern) {
    return std::isfinite(value) ? platform::numbers::format(value, pattern) : QStringLiteral("n/a");
}

QString daysText(int days) {
    return days == 1 ? QStringLiteral("1 day") : QStringLiteral("%1 days").arg(days);
}

// An amount or a price as the rest of the read-out writes it.
QString money(double value) {
    return std::isfinite(value) ? analysis::money(value) : QStringLiteral("n/a");
}

// Each greek holds only at one price and one time left, so their lines say
// where; all four to the same four decimals, so that they compare at a glance.
QString greeksText(const beforeexpiry::Greeks& g, int daysLeft, double price, bool profit) {
    const QString days = daysText(daysLeft);
    constexpr const char16_t* greek = u"####0.0000";
    return QStringLiteral("%1 with %2 left at %3: %4\n"
                          "Greeks at %3 with %2 left:\n"
                          "Delta %5   Gamma %6\n"
                          "Theta %7 a day   Vega %8 a point")
        .arg(profit ? QStringLiteral("Profit") : QStringLiteral("Value"), days, money(price),
             money(g.value), number(g.delta, greek), number(g.gamma, greek),
             number(g.thetaPerDay, greek), number(g.vegaPerPoint, greek));
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
                         daysText(daysLeft));
    }
    return text;
}

} // namespace

QString wqzOptionPayoffs::asLastPlotted() {
    return QStringLiteral("As last plotted \u2014 press Plot to update");
}

void wqzOptionPayoffs::setBeforeExpiry(const beforeexpiry::Inputs& inputs) {
    expiryInputs_ = inputs;
    showBeforeExpiry();
}

QString wqzOptionPayoffs::beforeExpiryAt(double S) const {
    QStringList lines;
    for (const DatedCurves::Curve& c : dates_.curves()) {
        // A price the model cannot value says nothing for that date.
        if (const double value = c.valuer.valueAt(S); std::isfinite(value)) {
            lines << QStringLiteral("With %1 left ").arg(daysText(c.daysLeft)) +
                         platform::numbers::format(value, u"####0.00");
        }
    }
    return lines.join(u'\n');
}

QList<valuesexport::Column> wqzOptionPayoffs::beforeExpiryColumns() const {
    QList<valuesexport::Column> columns;
    for (const DatedCurves::Curve& c : dates_.curves()) {
        // Named as the grid's own value column is: "Profit with 10 days left".
        valuesexport::Column column{(lastKind_ == payoff::profitDiagram
                                         ? QStringLiteral("Profit")
                                         : QStringLiteral("Payoff")) +
                                        QStringLiteral(" with %1 left").arg(daysText(c.daysLeft)),
                                    {}};
        for (int i = 1; i <= payoff::sampleCount; ++i) {
            const double value = c.valuer.valueAt(plotPrice_[std::size_t(i)]);
            column.values << (std::isfinite(value)
                                  ? platform::numbers::format(value, u"#####0.0000")
                                  : QString());
        }
        columns << column;
    }
    return columns;
}

void wqzOptionPayoffs::setBeforeExpiryShown(bool shown) {
    if (shown != beforeExpiryShown_) {
        beforeExpiryShown_ = shown;
        showBeforeExpiry();
    }
}

void wqzOptionPayoffs::showBeforeExpiry() {
    // An analysis of an earlier position says so before anything else.
    const QString asPlotted =
        stale_ && !expiryAnalysis_.isEmpty() ? asLastPlotted() + u'\n' : QString();
    const bool shown =
        lastCurve_ && beforeExpiryShown_ && !DatedCurves::datesShown(expiryInputs_).empty();
    QStringList notValued;
    if (shown) {
        dates_.value(*lastCurve_, expiryInputs_, lastKind_, lastRange_, plotSerial_);
        // A position with a row the model cannot value has no value before
        // expiry at all: drawing the rest of it would show a wrong one.
        if (!dates_.curves().empty()) {
            for (const beforeexpiry::RowNotValued& row :
                 dates_.curves().front().valuer.notValued()) {
                notValued << scenariotext::whyNotValued(row);
            }
        }
    }
    if (!shown || !notValued.isEmpty()) {
        valuer_.reset();
        dates_.clear();
        expiryCurve_->clear();
        legend_->setBeforeExpiry({}, -1);
    } else {
        // The days left box and its slider move one date, drawn stronger.
        const int highlighted = std::min(expiryInputs_.daysLeft, expiryInputs_.daysToday);
        QList<ExpiryCurveLayer::Curve> curves;
        QList<CurveLegend::Entry> entries;
        int highlightedEntry = -1;
        for (const DatedCurves::Curve& c : dates_.curves()) {
            if (c.daysLeft == highlighted) {
                highlightedEntry = int(entries.size());
            }
            curves << ExpiryCurveLayer::Curve{c.daysLeft, c.points, c.daysLeft == highlighted};
            entries << CurveLegend::Entry{
                lastColor_, lastName_ + QStringLiteral(" with %1 left").arg(daysText(c.daysLeft))};
        }
        expiryCurve_->draw(curves, lastColor_);
        legend_->setBeforeExpiry(entries, highlightedEntry);
        if (const DatedCurves::Curve* c = dates_.at(highlighted)) {
            valuer_ = c->valuer;
        } else {
            valuer_.reset();
        }
    }
    showProbability();
    analysisText_ = asPlotted + expiryAnalysis_ + probabilityText_;
    if (!notValued.isEmpty()) {
        analysisText_ += QStringLiteral("\nNo value before expiry: %1.")
                             .arg(notValued.join(QStringLiteral("; ")));
    }
    if (valuer_) {
        const int daysLeft = std::min(expiryInputs_.daysLeft, expiryInputs_.daysToday);
        const double today = lastCurve_->underlyingPrice;
        analysisText_ += u'\n' +
                         greeksText(valuer_->greeksAt(today), daysLeft, today,
                                    lastKind_ == payoff::profitDiagram) +
                         earlyExerciseText(valuer_->earlyExercise(), daysLeft);
    }
    followGreekCurve();
    emit AnalysisChange(analysisText_);
}

} // namespace workbench
