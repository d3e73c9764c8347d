#pragma once

#include <cstdint>

namespace platform {

// A Boolean as the behaviour counts it: 16 bits wide, True all bits set (-1),
// False 0. An argument counts as True only when it is exactly -1.
using Boolean16 = std::int16_t;
inline constexpr Boolean16 vbTrue = -1;
inline constexpr Boolean16 vbFalse = 0;

constexpr bool isTrue(Boolean16 value) {
    return value == vbTrue;
}

} // namespace platform
