#pragma once

#include "PlotOverlay.h"

#include <QList>
#include <QPointF>

namespace platform {
class PictureBox;
}

namespace workbench {

// Marks on the last curve, for the eye only: dotted vertical lines at its
// strikes and dots at its break-evens and at its highest and lowest values.
// Kept in the plot area's user coordinates and placed at paint time, so they
// follow the area's size; with them hidden the area shows its curves alone.
class MarkerLayer : public PlotOverlay {
public:
    explicit MarkerLayer(platform::PictureBox* plotArea);

    // Dotted lines at the strikes, dots at the break-evens and extremes.
    void mark(const QList<double>& strikes, const QList<QPointF>& dots);
    void clear();
    // Hidden marks are kept, and show again when shown.
    void setShown(bool shown);
    bool shown() const { return shown_; }

    const QList<double>& strikes() const { return strikes_; }
    const QList<QPointF>& dots() const { return dots_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void showIfWanted();

    platform::PictureBox* area_;
    QList<double> strikes_;
    QList<QPointF> dots_;
    bool shown_ = true;
};

} // namespace workbench
