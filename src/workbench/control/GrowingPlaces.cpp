#include "GrowingPlaces.h"

#include "platform/LineControl.h"

#include <algorithm>

namespace workbench {

namespace twips = platform::twips;

void GrowingPlaces::add(QWidget* control, Follow follow) {
    places_.push_back({control, follow, {}, 0, 0, 0, 0});
}

void GrowingPlaces::keep(QSize own) {
    own_ = own;
    for (Place& p : places_) {
        if (!p.control) {
            continue;
        }
        if (const auto* line = qobject_cast<const platform::LineControl*>(p.control.data())) {
            p.x1 = line->X1();
            p.y1 = line->Y1();
            p.x2 = line->X2();
            p.y2 = line->Y2();
        } else {
            p.own = twips::geometry(p.control);
        }
    }
    extraWidth_ = 0;
    extraHeight_ = 0;
}

bool GrowingPlaces::follow(QSize size) {
    if (!own_.isValid()) {
        return false;
    }
    // Whole pixels of room, so that every edge moves by whole pixels and
    // neighbours stay flush as they are at the own size.
    const int extraWidth = twips::fromPixels(std::max(0, size.width() - own_.width()));
    const int extraHeight = twips::fromPixels(std::max(0, size.height() - own_.height()));
    if (extraWidth == extraWidth_ && extraHeight == extraHeight_) {
        return false;
    }
    extraWidth_ = extraWidth;
    extraHeight_ = extraHeight;
    for (const Place& p : places_) {
        if (!p.control) {
            continue;
        }
        const int dy = p.follow == Follow::Grows ? 0 : extraHeight;
        if (auto* line = qobject_cast<platform::LineControl*>(p.control.data())) {
            const int dx = p.follow == Follow::DownWidens ? extraWidth : 0;
            line->setEndPoints(p.x1, p.y1 + dy, p.x2 + dx, p.y2 + dy);
            continue;
        }
        twips::Rect r = p.own;
        r.top += dy;
        switch (p.follow) {
        case Follow::DownRight:
            r.left += extraWidth;
            break;
        case Follow::Grows:
            r.width += extraWidth;
            r.height += extraHeight;
            break;
        case Follow::DownWidens:
            r.width += extraWidth;
            break;
        default:
            break;
        }
        twips::setGeometry(p.control, r);
    }
    return true;
}

} // namespace workbench
