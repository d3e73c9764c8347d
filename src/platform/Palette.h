#pragma once

#include <cstdint>

namespace platform {

// A colour as 0xRRGGBB.
using Rgb = std::uint32_t;

// The classic 16-colour palette, numbers 0 (black) to 15 (white). An index
// outside 0-15 raises RunTimeError 5.
Rgb paletteColor(int index);

// How far apart two colours stand for the eye, from 1 (the same) to 21
// (black on white), as accessibility guidelines measure it.
double contrast(Rgb a, Rgb b);
// The colour itself where it stands `least` apart from the background, else
// mixed towards white on a dark background (towards black on a light one)
// until it does: a curve that reads on the plot area in its own hue.
Rgb readableOn(Rgb color, Rgb background, double least = 3.0);

} // namespace platform
