#include "demo/alpha_map.h"

void MakeAlphaMap(u32* pixels, u32 count)
{
    for (u32 i = 0; i < count; ++i) {
        const u32 p = pixels[i];
        if (p == 0) continue;
        const u32 red = p & 0xff;
        pixels[i] = (p & 0x00ffff00) | (red < 128 ? red : 127) << 24;
    }
}
