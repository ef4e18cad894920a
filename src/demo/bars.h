#pragma once

#include "ps2/types.h"

// One rectangle of the frame's band: corners (x0, y0) and (x1, y1) and a 0xRRGGBB colour.
struct BarRect {
    s32 x0, y0, x1, y1;
    u32 colour;
};

inline constexpr u32 BAR_GREY = 0x777777;
inline constexpr u32 BAR_WHITE = 0xffffff;
// The first frame of the band's closing.
inline constexpr u32 BARS_CLOSING_FRAME = 3700;

// Fill out with the grey band and its two white lines for a frame on a w x h screen; returns how many (0 or 3).
u32 BarsForFrame(u32 frame, u32 w, u32 h, BarRect out[3]);
// Draw the band of this frame.
void DrawBars(u32 frame);
