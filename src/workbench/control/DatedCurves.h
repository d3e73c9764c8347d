#pragma once

#include "workbench/model/PayoffEvaluation.h"
#include "workbench/model/PositionState.h"
#include "workbench/pricing/BeforeExpiry.h"

#include <QList>
#include <QPointF>

#include <optional>
#include <utility>
#include <vector>

namespace workbench {

// The last curve's position valued before expiry at each date shown: the
// days left the slider moves and up to four more. A step of the slider
// values its own date again and nothing else, so that a drag keeps up: the
// volatilities are found once for the plot and the inputs, and the other
// dates' curves are kept.
class DatedCurves {
public:
    struct Curve {
        int daysLeft;
        beforeexpiry::Valuer valuer;
        // The values at 201 prices across the plot's price range; a price
        // the model cannot value there is left out.
        QList<QPointF> points;
    };

    // The dates the inputs show, the most days left first: the days left
    // (0 shows none) and the more days left, each held to 1 to the days to
    // expiry today, each once.
    static std::vector<int> datesShown(const beforeexpiry::Inputs& inputs);

    // Values `position`, as plotted the `plot`-th time, at each date shown.
    void value(const PositionState& position, const beforeexpiry::Inputs& inputs,
               payoff::DiagramKind kind, const payoff::PriceRange& range, int plot);
    void clear();
    const std::vector<Curve>& curves() const { return curves_; }
    // The curve with this many days left, or none.
    const Curve* at(int daysLeft) const;

private:
    std::optional<beforeexpiry::Valuer> valuer_;
    // The inputs, less the dates, and the plot the valuer and the curves
    // were found for.
    std::optional<std::pair<beforeexpiry::Inputs, int>> basis_;
    std::vector<Curve> curves_;
};

} // namespace workbench
