#include "Palette.h"

#include "RunTimeError.h"

#include <algorithm>
#include <cmath>

namespace platform {

namespace {
constexpr Rgb kPalette[16] = {
    0x000000, 0x000080, 0x008000, 0x008080, 0x800000, 0x800080, 0x808000, 0xC0C0C0,
    0x808080, 0x0000FF, 0x00FF00, 0x00FFFF, 0xFF0000, 0xFF00FF, 0xFFFF00, 0xFFFFFF,
};
// The relative luminance of an sRGB colour, 0 (black) to 1 (white).
double luminance(Rgb c) {
    const auto channel = [](Rgb v) {
        const double s = double(v & 0xFF) / 255;
        return s <= 0.03928 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(c >> 16) + 0.7152 * channel(c >> 8) + 0.0722 * channel(c);
}

Rgb mix(Rgb from, Rgb to, double t) {
    Rgb out = 0;
    for (const int shift : {16, 8, 0}) {
        const double a = double((from >> shift) & 0xFF);
        const double b = double((to >> shift) & 0xFF);
        out |= Rgb(std::lround(a + (b - a) * t)) << shift;
    }
    return out;
}

} // namespace

double contrast(Rgb a, Rgb b) {
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

Rgb readableOn(Rgb color, Rgb background, double least) {
    const Rgb towards = luminance(background) < 0.18 ? 0xFFFFFF : 0x000000;
    constexpr int steps = 50;
    for (int i = 0; i < steps; ++i) {
        const Rgb c = mix(color, towards, double(i) / steps);
        if (contrast(c, background) >= least) {
            return c;
        }
    }
    return towards;
}

Rgb paletteColor(int index) {
    if (index < 0 || index > 15) {
        throw RunTimeError(errc::InvalidProcedureCall);
    }
    return kPalette[index];
}

} // namespace platform
