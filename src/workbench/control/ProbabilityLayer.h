#pragma once

#include "DiagramExport.h"
#include "PlotOverlay.h"
#include "workbench/model/Probability.h"

#include <optional>

namespace platform {
class PictureBox;
}

namespace workbench {

// The law of the price at expiry under the diagram: its density shaded up
// from the foot of the plot area across the prices shown, and the prices one
// and two standard deviations (of the log price) either side of its centre
// marked. For the eye only, like the markers.
class ProbabilityLayer : public PlotOverlay {
public:
    explicit ProbabilityLayer(platform::PictureBox* plotArea);

    void setLaw(const probability::Lognormal& law);
    void clear();
    const std::optional<probability::Lognormal>& law() const { return law_; }

    // The share of the area's height the density's highest point takes.
    static constexpr double heightShare = diagramexport::lawHeightShare;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    platform::PictureBox* area_;
    std::optional<probability::Lognormal> law_;
};

} // namespace workbench
