#pragma once

// What the last plot derives, kept until what it depends on changes: shared
// by the files that work each part out.
#include "LastPlot.h"

#include <map>
#include <memory>
#include <optional>
#include <vector>

namespace workbench {

// What the files that value the last plot share.
namespace lastplot {

// Enough points that a dashed line, and the greek's, read as smooth curves at
// any size the plot area takes.
constexpr int kCurvePoints = 200;

QString greekCaption(beforeexpiry::Greek greek);
// The greek's curve with its own vertical scale.
GreekCurve greekCurveOf(beforeexpiry::Greek greek, const QList<QPointF>& points,
                        platform::Rgb color);
// The values at evenly spaced prices from `from` to `to` as points, those
// not a number left out.
QList<QPointF> pointsOf(const std::vector<double>& values, double from, double to);

} // namespace lastplot

// What the dates shown need valued that is not yet: the dates' curves, and
// for the highlighted date its greeks, early exercise, chance and greek curve.
struct LastPlot::Need {
    std::vector<int> days;
    int highlighted = 0;
    bool greeks = false;
    bool early = false;
    bool chance = false;
    beforeexpiry::Greek greek = beforeexpiry::Greek::None;
    bool operator==(const Need&) const = default;
    bool empty() const {
        return days.empty() && !greeks && !early && !chance && greek == beforeexpiry::Greek::None;
    }
};

// What was shown of the dates when they were last valued whole: drawn
// dimmed, and read, while the next are valued.
struct LastPlot::Finished {
    std::vector<std::shared_ptr<const Dated>> dated;
    int highlighted = 0;
    std::optional<beforeexpiry::Greeks> greeks;
    std::vector<beforeexpiry::EarlyExercise> early;
    std::optional<double> chance;
    std::optional<GreekCurve> greekCurve;
};

// What is derived, each kept until what it depends on changes.
struct LastPlot::Kept {
    // Of the curve's position and kind.
    std::optional<analysis::Analysis> analysis;
    // Of the position's quotes and the market.
    std::optional<beforeexpiry::Volatilities> volatilities;
    // Whether the memo may be asked on the window's thread: with many
    // American options its searches are made on the pricing thread first.
    bool volatilitiesReady = false;
    std::uint64_t volatilitiesSerial = 0;
    std::optional<std::vector<beforeexpiry::RowVolatility>> impliedRows;
    std::optional<std::optional<beforeexpiry::LawVolatility>> lawVolatility;
    // Of the position, its kind and the market.
    std::optional<beforeexpiry::Valuer> base;
    std::optional<std::optional<probability::Figures>> figures;
    // Of all that and the price range: each date valued, with what is read
    // of it, whether or not it is shown now.
    struct Date {
        // Shared with what stands in for it while a later state is valued.
        std::shared_ptr<const Dated> dated;
        std::optional<beforeexpiry::Greeks> greeks;
        std::optional<std::vector<beforeexpiry::EarlyExercise>> early;
        std::optional<std::optional<double>> chance;
        // Each greek's curve across the prices, once chosen.
        std::map<beforeexpiry::Greek, GreekCurve> greekCurves;
    };
    std::map<int, Date> dates;
    // Of the dates shown and whether they are.
    std::optional<std::vector<const Dated*>> dated;
    std::optional<std::optional<GreekCurve>> greekCurve;
    // Whether what is shown of the dates (their curves, the highlighted
    // one's greeks, figures and greek curve) is being valued on the pricing
    // thread; meanwhile the last ones finished stand in for it.
    std::optional<bool> valuing;
    std::shared_ptr<const Finished> standIn;
    // What was asked of the pricing thread for these, and the request's
    // serial: a change that needs nothing new asks nothing again.
    std::optional<Need> asked;
    std::uint64_t askedSerial = 0;
    // Which state these are the values of, for what arrives from the
    // pricing thread.
    std::uint64_t state = 0;
    std::optional<std::optional<scenarios::Table>> scenarios;
    // Whether the table is being valued on its own thread, and the request.
    bool scenariosValuing = false;
    std::uint64_t scenariosSerial = 0;
    std::optional<diagramexport::Diagram> diagram[2];

    Date* date(int daysLeft) {
        const auto it = dates.find(daysLeft);
        return it == dates.end() ? nullptr : &it->second;
    }
};

// What every value kept depends on: the curve's position, kind and range,
// and the inputs before expiry less the dates.
struct PlotBasis {
    PositionState position;
    payoff::DiagramKind kind;
    payoff::PriceRange range;
    beforeexpiry::Inputs market;
};

// The values of the last few states left, so that a state the student comes
// back to (the other of two prices a held arrow steps between, an undo, a
// redo) finds its values again rather than valuing them anew.
struct LastPlot::Recent {
    static constexpr std::size_t most = 6;
    std::vector<std::pair<PlotBasis, std::unique_ptr<Kept>>> states;
};

} // namespace workbench
