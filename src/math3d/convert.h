#pragma once

#include <cstdint>

#include "ps2/types.h"

// Truncate towards zero to a signed 32-bit integer, saturating like the console's FPU; NaN gives 0.
inline s32 FloatToInt(float v)
{
    if (v != v) return 0;
    if (v >= 2147483648.0f) return INT32_MAX;
    if (v <= -2147483648.0f) return INT32_MIN;
    return static_cast<s32>(v);
}

// Truncate towards zero to an unsigned 32-bit integer; negative values and NaN give 0, large ones saturate.
inline u32 FloatToUnsigned(float v)
{
    if (!(v > 0.0f)) return 0;
    if (v >= 4294967296.0f) return UINT32_MAX;
    return static_cast<u32>(v);
}
