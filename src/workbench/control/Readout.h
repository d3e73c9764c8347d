#pragma once

#include <QString>

namespace workbench {

class LastPlot;

// The last plot in words, as the analysis beside the diagram and the
// pointer's read-out over it say it.
namespace readout {

// What says the analysis describes an earlier position than the grid's.
QString asLastPlotted();

// Which curve, its premiums, break-evens and extremes, the chances when they
// are shown and with days left its value and greeks; empty without a curve.
// While the grid holds another position than the one plotted, its first line
// says so.
QString text(const LastPlot& plot);

// At price S: the last curve's exact value, each earlier curve's as drawn,
// each dashed curve's and the greek chosen at the highlighted date; the
// price alone without a curve.
QString hoverText(const LastPlot& plot, double S);

// Where the keys move the read-out from price S, `forward` to higher
// prices: the next of the curve's samples, or the next strike, break-even
// or extreme within its range; S itself where there is none.
double nextSample(const LastPlot& plot, double S, bool forward);
double nextFeature(const LastPlot& plot, double S, bool forward);

} // namespace readout

} // namespace workbench
