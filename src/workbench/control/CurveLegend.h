#pragma once

#include "DiagramExport.h"
#include "PlotOverlay.h"

#include "platform/Palette.h"

#include <QList>
#include <QMargins>
#include <QString>

#include <functional>
#include <utility>

namespace workbench {

// The curves drawn since the plot area was last cleared, each with its colour
// and what it shows, in a corner of the plot area where it hides least of
// them. Like the pointer's
// read-out it lies over the area as a widget of its own and lets the mouse
// through, so the kept and copied picture is the curves alone.
class CurveLegend : public PlotOverlay {
public:
    using Entry = LegendEntry;

    // Beyond this many the oldest curves are summed up in one line, so the
    // legend never hides the diagram.
    static constexpr int shownEntries = diagramexport::shownLegendEntries;

    explicit CurveLegend(QWidget* plotArea);

    // The curves drawn, oldest first, and the last curve valued before
    // expiry at each date shown, listed below them with a dashed sample of
    // each line as the plot area draws it; the i-th of `dated` is
    // highlighted when it is `highlighted`. Without a curve it is hidden.
    void show(const QList<Entry>& curves, const QList<Entry>& dated, int highlighted);
    // How far in from the area's top and right edges the legend keeps, asked
    // at every paint: the greek curve's axis stands there.
    void setInsets(std::function<QMargins()> insets) { insets_ = std::move(insets); }
    // How much of the curves a box of the area would hide, asked at every
    // paint: the legend takes the top corner or the bottom right one where
    // it hides least (the bottom left is the pointer's read-out's), the top
    // right when none is better.
    void setCoverage(std::function<int(const QRect&)> coverage) { coverage_ = std::move(coverage); }
    // The student may turn the legend off to see all of the curves; it
    // keeps its entries meanwhile.
    void setShown(bool shown) {
        shown_ = shown;
        update();
    }
    const QList<Entry>& entries() const { return entries_; }
    const QList<Entry>& beforeExpiry() const { return beforeExpiry_; }
    int highlighted() const { return highlighted_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QList<Entry> entries_;
    QList<Entry> beforeExpiry_;
    int highlighted_ = -1;
    std::function<QMargins()> insets_;
    std::function<int(const QRect&)> coverage_;
    bool shown_ = true;
};

} // namespace workbench
