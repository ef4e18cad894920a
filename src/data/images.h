#pragma once

#include "ps2/types.h"

// An image as the program embeds it: width, height, 8 bytes of zero, then 32-bit pixels with R in the
// lowest byte and A in the highest, starting on a 16-byte boundary.
template <u32 Width, u32 Height>
struct alignas(16) EmbeddedImage {
    u32 width;
    u32 height;
    u32 reserved[2];
    u32 pixels[Width * Height];
};

// The flag: an abstract swirl of orange and brown tones, alpha 0x7f.
extern EmbeddedImage<256, 256> FlagImage;
// The particle sprite: a grey glow, brightest at the centre, alpha 0 (made into an alpha map at start-up).
extern EmbeddedImage<32, 32> SpriteImage;
