#pragma once

#include "LastPlot.h"

#include <QObject>
#include <QPointF>

#include <cstdint>
#include <optional>

namespace platform {
class PictureBox;
}

namespace workbench {

class CurveLegend;
class ExpiryCurveLayer;
class GreekCurveLayer;
class HoverReadout;
class MarkerLayer;
class PriceLineLayer;
class ProbabilityLayer;
} // namespace workbench

class QKeyEvent;
class QProgressBar;
class QTimer;

namespace workbench {

// The plot area's picture and the layers over it, drawn from the one value
// the PNG, SVG, PDF and print draw too (LastPlot::diagram()), so that screen
// and file cannot differ. The curves at expiry go into the area's kept
// picture; the rest are layers, each in the area's user coordinates, so that
// they follow the area's size. The greek curve follows once the events
// waiting are done, and the pointer's read-out lives here too.
class PlotLayers : public QObject {
    Q_OBJECT
public:
    PlotLayers(platform::PictureBox& area, const LastPlot& plot, QObject* parent = nullptr);
    ~PlotLayers() override;

    void setLegendShown(bool shown);

    // The price the pointer reads where it stands over a pixel's worth of
    // prices from a to b: the one with the fewest decimals (a hundred, ten,
    // one, a tenth...) between them.
    static double roundestPrice(double a, double b);

protected:
    // The keys read the diagram while the area has the focus: Left and
    // Right by a sample, with Ctrl to the next strike, break-even or
    // extreme, Home and End to the range's ends, and a price typed, then
    // Enter, to that price.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool readKey(const QKeyEvent& key);
    // The read-out at price S, where the last curve is; a screen reader
    // hears it as the area's description.
    void readAt(double S);
    void describe(const QString& text);
    void endReading();
    void follow(LastPlot::Parts parts);
    // The curves at expiry into the area's picture: only the newest when the
    // others are drawn already.
    void drawCurves(const diagramexport::Diagram& d);
    void drawCurve(const DrawnCurve& curve);
    // The greek chosen, at once or once the events waiting are done.
    void followGreek(bool atOnce);
    void showGreek();
    void pointerMoved(QPointF at);
    // A valuation that runs long shows how far it is beside the diagram.
    void followProgress();

    platform::PictureBox& area_;
    const LastPlot& plot_;
    ExpiryCurveLayer* dashed_ = nullptr;
    GreekCurveLayer* greek_ = nullptr;
    MarkerLayer* markers_ = nullptr;
    PriceLineLayer* today_ = nullptr;
    ProbabilityLayer* law_ = nullptr;
    CurveLegend* legend_ = nullptr;
    HoverReadout* hover_ = nullptr;
    // How many of the plot's curves the picture holds, of which removal.
    qsizetype curvesDrawn_ = 0;
    std::uint64_t removalsDrawn_ = 0;
    bool greekPending_ = false;
    // The price the read-out stands at, for the keys to move on from; where
    // the pointer stood when it read it (none when the keys did), to read
    // again what arrives; and the price being typed.
    std::optional<double> readPrice_;
    std::optional<QPointF> pointer_;
    QString typed_;
    // The area's own description, given back when the keys stop reading.
    QString help_;
    bool describing_ = false;
    QProgressBar* progress_ = nullptr;
    QTimer* progressTimer_ = nullptr;
};

} // namespace workbench
