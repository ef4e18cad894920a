#include "demo/bars.h"

#include "gfx/display.h"
#include "gfx/draw2d.h"

u32 BarsForFrame(u32 frame, u32 w, u32 h, BarRect out[3])
{
    // Until the closing the band spans the screen: d = 0 and v = 0 give the full-width rectangles.
    const u32 d = frame < BARS_CLOSING_FRAME ? 0 : frame - BARS_CLOSING_FRAME;
    const u32 v = d < (h - 51) / 2 ? d : (h - 51) / 2;
    if (2 * d >= w / 2) return 0;
    const s32 left = static_cast<s32>(2 * d), right = static_cast<s32>(w - 2 * d);
    const s32 top = static_cast<s32>(v), bottom = static_cast<s32>(h - v);
    out[0] = {left, top + 20, right, bottom - 30, BAR_GREY};
    out[1] = {left, top + 19, right, top + 21, BAR_WHITE};
    out[2] = {left, bottom - 31, right, bottom - 29, BAR_WHITE};
    return 3;
}

void DrawBars(u32 frame)
{
    BarRect bars[3];
    const u32 count = BarsForFrame(frame, PS2GetWidth(), PS2GetHeight(), bars);
    for (u32 i = 0; i < count; ++i) DrawFilledRect(bars[i].x0, bars[i].y0, bars[i].x1, bars[i].y1, bars[i].colour);
}
