#pragma once

#include "ps2/types.h"

// The 8 x 8 font: 256 glyphs in code page 437 order, 8 bytes each, top row first, bit 7 leftmost.
extern const u8 Font8x8[2048];
