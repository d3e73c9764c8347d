#pragma once

#include "platform/Palette.h"
#include "workbench/model/Probability.h"

#include <QByteArray>
#include <QColor>
#include <QList>
#include <QPen>
#include <QPointF>
#include <QPolygonF>
#include <QRectF>
#include <QSize>
#include <QString>

#include <functional>
#include <optional>

class QPainter;

namespace workbench {

// A line of the legend: a curve's colour and what it is.
struct LegendEntry {
    platform::Rgb color;
    QString text;
};

// A plot area's user scale: the values at its left, top, right and bottom
// edges.
struct PlotScale {
    double left = 0;
    double top = 1;
    double right = 1;
    double bottom = 0;
};

// A curve as the plot area drew it: its colour and its points in the user
// coordinates of the scale it was drawn in. The scale goes with it because a
// new price range without a new vertical scale draws over the earlier curves,
// which stay where they were in the area, not at their prices.
struct DrawnCurve {
    platform::Rgb color = 0;
    QPolygonF points;
    PlotScale scale;
};

// The last curve valued with some days left, in the user coordinates of the
// area's scale now; the highlighted one is the date the slider moves.
struct DashedCurve {
    LegendEntry entry;
    QPolygonF points;
    bool highlighted = false;
    int daysLeft = 0;
};

// A greek of the last curve's position before expiry across the prices, on a
// vertical scale of its own: the caption of its axis ("Theta a day"), its
// colour, its points (prices and the greek's values) and the values its
// scale puts at the area's top and bottom edges.
struct GreekCurve {
    QString caption;
    platform::Rgb color = 0;
    QPolygonF points;
    double top = 1;
    double bottom = -1;
};

// The diagram on paper: what the plot area shows, drawn again from its data at
// any size, on any painter, with what makes it read away from the screen
// (axes with round tick labels, their captions, the strikes, the zero line and
// the legend). The pointer's read-out is no part of it.
namespace diagramexport {

// Outside these bounds in pixels a picture is too small to read or too big to
// be of use.
constexpr int leastSide = 200;
constexpr int greatestSide = 4000;

struct Diagram {
    // The area's scale now: of the axes, the strikes, the marks and the curve
    // before expiry.
    PlotScale scale;
    platform::Rgb background = 0xFFFFFF;
    // Oldest first, as they were drawn over each other.
    QList<DrawnCurve> curves;
    // Dotted lines across the area at these prices.
    QList<double> strikes;
    // Break-evens and extremes, when the area shows them.
    QList<QPointF> dots;
    QList<LegendEntry> legend;
    // The last curve valued before expiry at each date shown, the most days
    // left first: its dashed lines and legend entries.
    QList<DashedCurve> beforeExpiry;
    // What else the curves before expiry were valued with: the volatility
    // and rate, a line under their legend entries.
    QString beforeExpiryNote;
    // Whether the dashed curves and the greek's are the last valued while the
    // next are: the plot area dims them. A file waits for the next.
    bool beforeExpiryValuing = false;
    // For paper: a white area, with ink dark enough to read on it.
    bool paper = false;
    // What the vertical axis measures: "Payoff" or "Profit".
    QString valueCaption;
    // Today's price of the underlying, a thin line with its value, while it
    // lies in the scale's price range.
    std::optional<double> todayPrice;
    // The greek chosen under the diagram: dotted, with its axis at the right
    // of the area.
    std::optional<GreekCurve> greekCurve;
    // The law of the price at expiry, when the area shows it: its density
    // shaded up from the foot of the area, a standard deviation either side.
    std::optional<probability::Lognormal> law;
};

// What the plot area and paper draw alike. Beyond this many the oldest curves
// of the legend are summed up in one line, so the legend never hides the
// diagram.
constexpr int shownLegendEntries = 6;
// The share of the area's height the law's density takes at its highest.
constexpr double lawHeightShare = 0.3;
// The dashed curves' shade: halfway from the curve's colour to white.
QColor dashedShade(platform::Rgb curveColor);
// The pen of the i-th of n dashed curves: the highlighted one halfway to
// white, the others lighter and thinner, the furthest from expiry lightest,
// so that the dates read in order.
QPen dashedPen(platform::Rgb curveColor, int i, int n, bool highlighted, double width);
// Today's price line's label: "Today 63.20".
QString todayLabel(double price);

// Round values for the ticks of an axis from `from` to `to`, either way round,
// at most `most` of them: steps of 1, 2 or 5 times a power of ten.
QList<double> ticks(double from, double to, int most);
// A tick's label: as many decimals as the step between ticks needs.
QString tickLabel(double value, double step);

// Draws the runs of a polyline that lie inside the rectangle: the SVG painter
// keeps no clip region, so lines are cut before they are drawn.
void drawClipped(QPainter& painter, const QPolygonF& line, const QRectF& rect);

// Shades the law's density into the area as the plot area shows it, with
// the prices one and two standard deviations either side marked.
void paintLaw(QPainter& painter, const QRectF& area, const PlotScale& scale,
              const probability::Lognormal& law, bool paper, double thin);

// Paints the whole diagram into the rectangle (0, 0) to `size`.
void paint(QPainter& painter, QSize size, const Diagram& diagram);
// Where the plot area lies in a picture of that size: the diagram's scale
// spans it edge to edge.
QRectF plotRect(QSize size, const Diagram& diagram);
// The diagram as a PNG image and as an SVG drawing of that size; empty when
// it could not be made.
// A picture of `size` in a file's bytes, PNG or SVG, drawn by `draw`; empty
// when it cannot be drawn.
QByteArray pngOf(QSize size, const std::function<void(QPainter&)>& draw);
QByteArray svgOf(QSize size, const QString& title, const std::function<void(QPainter&)>& draw);
QByteArray png(const Diagram& diagram, QSize size);
QByteArray svg(const Diagram& diagram, QSize size);

} // namespace diagramexport

} // namespace workbench
