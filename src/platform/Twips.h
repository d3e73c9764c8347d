#pragma once

#include <QRect>

class QWidget;

// Sizes and positions are kept in twips; only this file turns them into pixels.
namespace platform::twips {

inline constexpr int perPixel = 15;

int toPixels(int twips);
// The fewest whole pixels that hold a length: for room that must not come up
// short by the rounding of toPixels.
int pixelsToHold(int twips);
// A pixel is a whole number of twips, so nothing is rounded this way round.
inline constexpr int fromPixels(int pixels) {
    return pixels * perPixel;
}

// A rectangle in twips: left, top, width, height.
struct Rect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    friend bool operator==(const Rect&, const Rect&) = default;
};

// The pixels a twip rectangle takes: its edges rounded, not its size, so that
// neighbours stay flush.
QRect toPixels(const Rect& rect);

// Places a widget at a twip rectangle inside its parent and remembers the exact
// twips, which pixels alone would round away (4375 twips is 291.67 pixels).
void setGeometry(QWidget* widget, const Rect& rect);
// The twip rectangle last set, or the pixel geometry in twips when none was.
Rect geometry(const QWidget* widget);

} // namespace platform::twips
