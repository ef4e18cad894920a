#pragma once

#include "gfx/display.h"
#include "gfx/gs.h"
#include "math3d/vector.h"
#include "ps2/types.h"

// Depth of every 2D primitive but the textured ones.
inline constexpr u32 DRAW_DEPTH = 0xffff;

// Turn a 0xRRGGBB colour into RGBAQ at alpha 0x7f, with 0x7f in the low byte of Q.
constexpr u64 PS2ColourRgbaq(u32 colour) { return PS2GsRgbaq(colour >> 16, colour >> 8, colour, 0x7f, 0x7f); }

// Build XYZ2 for screen pixel (x, y), wrapping coordinates at 16 bits so small negative ones land off screen.
inline u64 PS2ScreenXyz2(s32 x, s32 y, u32 z)
{
    const DisplayContext* display = PS2GetDisplay();
    const u32 gx = ((static_cast<u32>(x) & 0xffff) + display->offsetX) & 0xffff;
    const u32 gy = ((static_cast<u32>(y) & 0xffff) + display->offsetY) & 0xffff;
    return PS2GsXyz2(gx * 16, gy * 16, z);
}

// Build the ZBUF_1 that the triangle drawers send: the z-buffer page and the mode's format.
inline u64 PS2TriangleZbuf()
{
    const DisplayContext* display = PS2GetDisplay();
    // The frame width in 64-pixel units rides along in bits 16-21, a field ZBUF_1 does not have.
    return PS2GsZbuf(display->zBuffer / 8192, display->mode->psm, 0) | u64{display->mode->width / 64u} << 16;
}

// Draw one point at (x, y).
void DrawPoint(s32 x, s32 y, u32 colour);
// Draw one line from (x0, y0) to (x1, y1).
void DrawLine(s32 x0, s32 y0, s32 x1, s32 y1, u32 colour);
// Draw one alpha-blended rectangle with corners (x0, y0) and (x1, y1).
void DrawFilledRect(s32 x0, s32 y0, s32 x1, s32 y1, u32 colour);
// Draw the texture area as a 32 x 32 texture stretched over w x h pixels at (x, y).
void DrawTexturedRect(s32 x, s32 y, s32 w, s32 h);
// Draw count / 3 Gouraud triangles in GS primitive coordinates and the colour last set; depth test untouched.
void DrawTriangleList(const Vector3* vertices, u32 count);
