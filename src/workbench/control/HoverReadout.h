#pragma once

#include "PlotOverlay.h"

#include <QPointF>
#include <QString>

namespace workbench {

// What the pointer points at in the plot area: a thin crosshair through it
// and, in the area's bottom left corner, the price there with the last curve's
// exact value. It lies over the plot area as a widget of its own, so nothing
// of it ever enters the area's persistent picture, and it lets the mouse
// through to the area beneath.
class HoverReadout : public PlotOverlay {
public:
    explicit HoverReadout(QWidget* plotArea);

    // Shows the crosshair at `at` (pixels of the plot area) with `text`.
    void showAt(QPointF at, const QString& text);
    void hideReadout();
    const QString& text() const { return text_; }
    QPointF at() const { return at_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPointF at_;
    QString text_;
};

} // namespace workbench
