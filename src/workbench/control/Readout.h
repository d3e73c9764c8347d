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

// At price S: the last curve's exact value and each dashed curve's; the
// price alone without a curve.
QString hoverText(const LastPlot& plot, double S);

} // namespace readout

} // namespace workbench
