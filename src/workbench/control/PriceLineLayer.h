#pragma once

#include "PlotOverlay.h"

#include <optional>

namespace platform {
class PictureBox;
}

namespace workbench {

// Today's price of the underlying over the plot area: a thin line across it
// with the price written at its top, wherever the price lies in the area's
// range. It stands whether or not the marks are shown, for it says where the
// market is, not what a curve does.
class PriceLineLayer : public PlotOverlay {
public:
    explicit PriceLineLayer(platform::PictureBox* plotArea);

    void setPrice(double price);
    double price() const { return price_; }
    // The price while it lies in the area's price range; nothing otherwise.
    std::optional<double> shownPrice() const;
    // The line and its label as they read: "Today 63.20".
    static QString label(double price);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    platform::PictureBox* area_;
    double price_ = 0;
};

} // namespace workbench
