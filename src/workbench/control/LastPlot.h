#pragma once

#include "DiagramExport.h"
#include "platform/Palette.h"
#include "workbench/model/PayoffEvaluation.h"
#include "workbench/model/PositionAnalysis.h"
#include "workbench/model/PositionState.h"
#include "workbench/model/Probability.h"
#include "workbench/pricing/BeforeExpiry.h"
#include "workbench/pricing/Scenarios.h"

#include <QFlags>
#include <QList>
#include <QObject>
#include <QPointF>
#include <QString>

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <vector>

namespace workbench {

class PricingThread;

// The last curve drawn: the position it values and how it was drawn.
struct PlottedCurve {
    PositionState position;
    payoff::DiagramKind kind = payoff::payoffDiagram;
    payoff::PriceRange range{};
    platform::Rgb color = 0;
    QString name;
};

// The one home of what the plot area shows: the last curve, the curves drawn
// since the last clear, the inputs before expiry, the display choices and the
// stale mark, with everything derived from them. A setter compares before it
// changes anything and forgets only what depends on what changed; a getter
// works its value out on first ask and keeps it. Views ask here for what they
// show, so none keeps a copy of the inputs to learn whether they changed, and
// nothing is valued twice.
class LastPlot : public QObject {
    Q_OBJECT
public:
    enum Part {
        CurvePart = 0x01,  // the last curve, or none
        DrawnPart = 0x02,  // the curves since the last clear, their legend and the scale
        InputsPart = 0x04, // the market before expiry, less the dates
        DatesPart = 0x08,  // the days left and the more dates
        ShownPart = 0x10,  // before expiry, probability, marks, today's price shown
        GreekPart = 0x20,  // the greek chosen
        StalePart = 0x40,  // whether the grid still holds the last curve
        ValuedPart = 0x80, // what the pricing threads valued has come
        TablePart = 0x100, // what the Scenarios table's columns run across
    };
    Q_DECLARE_FLAGS(Parts, Part)

    // Every entry point of the control opens one: changes made while any is
    // open go out as one changed() notice, synchronously, when the outermost
    // closes, so that one action tells its views once.
    class Change {
    public:
        explicit Change(LastPlot& plot);
        ~Change();
        Change(const Change&) = delete;
        Change& operator=(const Change&) = delete;

    private:
        LastPlot& plot_;
    };

    // The last curve valued with some days left: its valuer and its values
    // across the curve's price range (a price the model cannot value left
    // out), with what is read of it at today's price, each found once.
    struct Dated {
        int daysLeft;
        beforeexpiry::Valuer valuer;
        QList<QPointF> points;
    };

    explicit LastPlot(QObject* parent = nullptr);
    ~LastPlot() override;

    // The inputs.
    void setCurve(const std::optional<PlottedCurve>& curve);
    void addDrawn(const DrawnCurve& curve, const QString& legendText);
    void removeLastDrawn();
    // Forgets the curves drawn and the last curve with them.
    void clear();
    void setScale(const PlotScale& scale);
    void setBackground(platform::Rgb color);
    void setInputs(const beforeexpiry::Inputs& inputs);
    void setBeforeExpiryShown(bool shown);
    void setProbabilityShown(bool shown);
    void setMarkersShown(bool shown);
    void setGreek(beforeexpiry::Greek greek);
    void setScenariosAcross(scenarios::Across across);
    scenarios::Across scenariosAcross() const { return across_; }
    void setStale(bool stale);
    void setTodayPrice(double price);

    const std::optional<PlottedCurve>& curve() const { return curve_; }
    const QList<DrawnCurve>& drawn() const { return drawn_; }
    const QList<LegendEntry>& legend() const { return legend_; }
    const PlotScale& scale() const { return scale_; }
    // The kind and price range of the last curve drawn, kept after a clear.
    payoff::DiagramKind lastKind() const { return kind_; }
    const payoff::PriceRange& lastRange() const { return range_; }
    // Counts the curves taken off (one, or all at a clear), so that a
    // picture that holds the curves drawn knows when to start again.
    std::uint64_t removals() const { return removals_; }
    const beforeexpiry::Inputs& inputs() const { return inputs_; }
    // The last curve's position and the inputs as they are valued: with legs
    // of their own expiries, every leg's days written out and the days to
    // expiry today those to the first expiry (legexpiry::resolve), so that
    // the days left, the dates and the law count to it; otherwise the
    // curve's and the panel's own.
    const PositionState& valuedPosition() const {
        return resolved_ ? *resolved_ : curve_->position;
    }
    const beforeexpiry::Inputs& valuedInputs() const { return valued_; }
    // Whether the last curve's legs expire on different days: its curve at
    // expiry is at the first of them, and values the legs that live on.
    bool staggered() const;
    bool beforeExpiryShown() const { return beforeExpiryShown_; }
    bool probabilityShown() const { return probabilityShown_; }
    bool markersShown() const { return markersShown_; }
    beforeexpiry::Greek greek() const { return greek_; }
    bool stale() const { return stale_; }
    double todayPrice() const { return todayPrice_; }

    // The dates the inputs show, the most days left first: the days left
    // (0 shows none) and the more days left, each held to 1 to the days to
    // expiry today, each once.
    static std::vector<int> datesShown(const beforeexpiry::Inputs& inputs);
    // The date the days left box and its slider move.
    int highlightedDays() const;
    // Whether the dates shown, or the highlighted one's greeks, figures or
    // greek curve, cost so many prices (the engine's, or many options') that
    // they are valued on the pricing thread, and are being valued, or wait
    // for the volatilities they value with: meanwhile the getters below give
    // those of the last state valued whole, for the dates it showed, and the
    // plot area draws them dimmed.
    bool valuing() const;

    // The last curve's value at S, as the hover reads it: at expiry, or at
    // the first expiry with the legs that live on valued (not a number
    // until they can be).
    double valueAt(double S) const;
    // The valuer of a calendar's curve at its first expiry; none for a
    // position whose legs expire together, or while the model cannot value
    // it.
    std::optional<beforeexpiry::Valuer> atFirstExpiry() const;
    // Derived, each on first ask. The analysis at expiry of the last curve;
    // none while a calendar's waits for its volatilities.
    const analysis::Analysis* analysis() const;
    // The implied volatilities of the last curve's premiums, found once per
    // curve and market, shared by everything valued here.
    const beforeexpiry::Volatilities* volatilities() const;
    // Empty while they are being found (volatilitiesReady() says so).
    std::vector<beforeexpiry::RowVolatility> impliedRows() const;
    // Whether the implied volatilities can be read at once: with many rows
    // (fewer under American exercise, a search of the engine's prices for
    // each option) they are found on the pricing thread first, and this asks
    // for them. Until they come, nothing that values with them is valued, the
    // rows not valued are not yet known, and valuing() says so.
    bool volatilitiesReady() const;
    // The rows held that the model cannot value: while there are any, no
    // dashed curve is drawn at all (it would show a wrong value).
    const std::vector<beforeexpiry::RowNotValued>& notValued() const;
    // The dated curves drawn: none while before expiry is not shown, no date
    // is, or a row cannot be valued.
    const std::vector<const Dated*>& dated() const;
    // The highlighted date's, or none (while valuing, of the dates shown).
    const Dated* highlighted() const;
    // At today's price with the highlighted date's days left.
    std::optional<beforeexpiry::Greeks> greeksToday() const;
    std::vector<beforeexpiry::EarlyExercise> earlyExercise() const;
    // The law of the price at expiry and the volatility it is drawn with.
    std::optional<probability::Lognormal> law() const;
    // The law of the price at the date with these days left.
    std::optional<probability::Lognormal> lawAt(int daysLeft) const;
    std::optional<beforeexpiry::LawVolatility> lawVolatility() const;
    // The law's figures in the profit diagram.
    std::optional<probability::Figures> figures() const;
    // The chance of a profit with the highlighted date's days left, before
    // expiry; not a number where the model cannot say.
    std::optional<double> chanceBeforeExpiry() const;
    // The greek chosen across the last curve's prices, for the highlighted
    // date; none without a greek or a date. While valuing, the last one
    // valued of the same greek, if that was the last shown.
    const std::optional<GreekCurve>& greekCurve() const;
    // Waits for what the pricing threads are valuing and takes it, so that
    // what is read next is whole: for files, print and the clipboard.
    void settle() const;
    // Whether either thread has work waiting, running or not yet taken.
    bool busy() const;
    const PricingThread& pricing() const { return *pricing_; }
    const PricingThread& tablePricing() const { return *tables_; }
    // The Scenarios table of the last curve; none without one. One that asks
    // the engine is valued on a thread of its own: meanwhile this is the last
    // table valued (none before the first), and scenariosValuing() says so.
    const scenarios::Table* scenarios() const;
    bool scenariosValuing() const;
    // What the plot area shows, as data to draw again at any size. With
    // `withGreek` false the greek curve is left out (the plot area asks for
    // it once the events waiting are done).
    const diagramexport::Diagram& diagram(bool withGreek = true) const;

signals:
    void changed(LastPlot::Parts parts);
    // A valuation was asked of a pricing thread.
    void valuingStarted();

private:
    // What a change forgets, by what it depends on.
    void changedParts(Parts parts);
    void forget(Parts parts);
    // Takes the values kept for the curve and inputs that are to be, from
    // those of a recent state when it is one again.
    void revalue(const std::optional<PlottedCurve>& curve, const beforeexpiry::Inputs& inputs);
    const beforeexpiry::Valuer* baseValuer() const;
    const Dated* datedAt(int daysLeft) const;
    // What the dates shown still need, asked of the pricing thread when they
    // ask the engine; whether they do.
    struct Kept;
    struct Need;
    struct Finished;
    bool valueAway() const;
    Need needed() const;
    // Takes what arrived into the state it was asked for, whichever is
    // shown now.
    struct Valued;
    void valued(std::uint64_t state, Valued& got);
    void tableValued(std::uint64_t state, scenarios::Table table);
    void volatilitiesValued(std::uint64_t state, beforeexpiry::Volatilities found);
    Kept* keptOf(std::uint64_t state) const;

    std::optional<PlottedCurve> curve_;
    QList<DrawnCurve> drawn_;
    QList<LegendEntry> legend_;
    PlotScale scale_;
    beforeexpiry::Inputs inputs_;
    void resolveValued();
    beforeexpiry::Inputs valued_;
    std::optional<PositionState> resolved_;
    bool beforeExpiryShown_ = true;
    bool probabilityShown_ = false;
    bool markersShown_ = true;
    beforeexpiry::Greek greek_ = beforeexpiry::Greek::None;
    scenarios::Across across_ = scenarios::Across::Days;
    bool stale_ = false;
    double todayPrice_ = 0;
    platform::Rgb background_ = 0xFFFFFF;
    // The kind of the last curve drawn, kept after a clear for the caption.
    payoff::DiagramKind kind_ = payoff::payoffDiagram;
    payoff::PriceRange range_{};

    std::uint64_t removals_ = 0;
    int open_ = 0;
    Parts pending_;

    std::unique_ptr<Kept> kept_;
    struct Recent;
    std::unique_ptr<Recent> recent_;
    // What stands in while the next is valued.
    mutable std::shared_ptr<Finished> finished_;
    mutable std::optional<scenarios::Table> lastTable_;
    std::uint64_t states_ = 0;
    // Last, so that they end (their work stopped) before the values they
    // serve: the dates' and the Scenarios table's, apart so that neither
    // overtakes the other.
    std::unique_ptr<PricingThread> pricing_;
    std::unique_ptr<PricingThread> tables_;
};

Q_DECLARE_OPERATORS_FOR_FLAGS(LastPlot::Parts)

} // namespace workbench
