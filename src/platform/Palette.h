#pragma once

#include <cstdint>

namespace platform {

// A colour as 0xRRGGBB.
using Rgb = std::uint32_t;

// The classic 16-colour palette, numbers 0 (black) to 15 (white). An index
// outside 0-15 raises RunTimeError 5.
Rgb paletteColor(int index);

} // namespace platform
