// What the plot area and paper draw alike: the dashed curves' pens and
// today's label.
#include "DiagramExport.h"

#include "workbench/model/PositionAnalysis.h"

namespace workbench::diagramexport {

namespace {

// A share of the way from the curve's colour to white.
QColor towardWhite(platform::Rgb curveColor, double share) {
    const QColor c = QColor::fromRgb(0xFF000000u | curveColor);
    const auto mix = [share](int v) { return int(v + (255 - v) * share); };
    return QColor(mix(c.red()), mix(c.green()), mix(c.blue()));
}

} // namespace

QColor dashedShade(platform::Rgb curveColor) {
    return towardWhite(curveColor, 0.5);
}

QPen dashedPen(platform::Rgb curveColor, int i, int n, bool highlighted, double width) {
    if (highlighted) {
        return QPen(dashedShade(curveColor), width, Qt::DashLine);
    }
    // From 0.55 for the date nearest expiry to 0.8 for the furthest.
    const double share = n > 1 ? 0.8 - 0.25 * i / (n - 1) : 0.65;
    return QPen(towardWhite(curveColor, share), width * 0.7, Qt::DashLine);
}

QString todayLabel(double price) {
    return QStringLiteral("Today ") + analysis::money(price);
}

} // namespace workbench::diagramexport
