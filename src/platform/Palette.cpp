#include "Palette.h"

#include "RunTimeError.h"

namespace platform {

namespace {
constexpr Rgb kPalette[16] = {
    0x000000, 0x000080, 0x008000, 0x008080, 0x800000, 0x800080, 0x808000, 0xC0C0C0,
    0x808080, 0x0000FF, 0x00FF00, 0x00FFFF, 0xFF0000, 0xFF00FF, 0xFFFF00, 0xFFFFFF,
};
} // namespace

Rgb paletteColor(int index) {
    if (index < 0 || index > 15) {
        throw RunTimeError(errc::InvalidProcedureCall);
    }
    return kPalette[index];
}

} // namespace platform
