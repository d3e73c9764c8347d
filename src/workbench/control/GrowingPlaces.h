#pragma once

#include "platform/Twips.h"

#include <QPointer>
#include <QWidget>

#include <vector>

namespace workbench {

// The controls of a container laid out in twips at its own size, and how each
// follows when the container is given more room: the plot area takes all of
// it, what lies under the plot area moves down with its bottom edge, what lies
// at its right edge moves right as well, and a line or grid that spans the
// column widens with it. Every place is worked out from the one kept at the
// container's own size, so growing and shrinking back never compound.
class GrowingPlaces {
public:
    enum class Follow { Down, DownRight, Grows, DownWidens };

    void add(QWidget* control, Follow follow);
    // Takes the places the controls have now as those of the container's own
    // size, `own` in pixels: after they are laid out at a display's size.
    void keep(QSize own);
    // Places every control for the container at `size`, in pixels; a size
    // below its own in either direction places them as at its own. False
    // when every control already lies there.
    bool follow(QSize size);

private:
    struct Place {
        QPointer<QWidget> control;
        Follow follow;
        platform::twips::Rect own;
        // A line's end points at the container's own size.
        int x1, y1, x2, y2;
    };
    std::vector<Place> places_;
    QSize own_;
    int extraWidth_ = 0;
    int extraHeight_ = 0;
};

} // namespace workbench
