#include "gfx/draw2d.h"

#include "gfx/packet.h"
#include "gfx/texture.h"
#include "math3d/convert.h"

// The one texture size DrawTexturedRect knows: 32 x 32.
static constexpr u32 RECT_TEXTURE_SIZE = 32;

void DrawPoint(s32 x, s32 y, u32 colour)
{
    PS2SetZTest(0);
    PS2PacketBegin(3);
    PS2PacketAdd(GS_PRIM, GS_PRIM_POINT);
    PS2PacketAdd(GS_RGBAQ, PS2ColourRgbaq(colour));
    PS2PacketAdd(GS_XYZ2, PS2ScreenXyz2(x, y, DRAW_DEPTH));
    PS2SendPacket();
    PS2SetZTest(1);
}

// Draw one flat primitive of two vertices.
static void DrawPair(u64 prim, s32 x0, s32 y0, s32 x1, s32 y1, u32 colour)
{
    PS2SetZTest(0);
    PS2PacketBegin(4);
    PS2PacketAdd(GS_PRIM, prim);
    PS2PacketAdd(GS_RGBAQ, PS2ColourRgbaq(colour));
    PS2PacketAdd(GS_XYZ2, PS2ScreenXyz2(x0, y0, DRAW_DEPTH));
    PS2PacketAdd(GS_XYZ2, PS2ScreenXyz2(x1, y1, DRAW_DEPTH));
    PS2SendPacket();
    PS2SetZTest(1);
}

void DrawLine(s32 x0, s32 y0, s32 x1, s32 y1, u32 colour) { DrawPair(GS_PRIM_LINE, x0, y0, x1, y1, colour); }

void DrawFilledRect(s32 x0, s32 y0, s32 x1, s32 y1, u32 colour)
{
    DrawPair(GS_PRIM_SPRITE_BLEND, x0, y0, x1, y1, colour);
}

void DrawTexturedRect(s32 x, s32 y, s32 w, s32 h)
{
    const DisplayContext* display = PS2GetDisplay();
    const u32 left = ((static_cast<u32>(x) & 0xffff) + display->offsetX) & 0xffff;
    const u32 top = ((static_cast<u32>(y) & 0xffff) + display->offsetY) & 0xffff;
    const u32 right = left + (static_cast<u32>(w) & 0xffff);
    const u32 bottom = top + (static_cast<u32>(h) & 0xffff);

    PS2SetZTest(0);
    PS2PacketBegin(7);
    PS2PacketAdd(GS_ALPHA_1, GS_ALPHA_BLEND);
    PS2PacketAdd(GS_TEX0_1, PS2TextureTex0(RECT_TEXTURE_SIZE, RECT_TEXTURE_SIZE, 0));
    PS2PacketAdd(GS_PRIM, GS_PRIM_SPRITE_TEXTURED);
    PS2PacketAdd(GS_UV, PS2GsUv(0, 0));
    PS2PacketAdd(GS_XYZ2, PS2GsXyz2(left * 16, top * 16, 0));
    PS2PacketAdd(GS_UV, PS2GsUv(RECT_TEXTURE_SIZE * 16, RECT_TEXTURE_SIZE * 16));
    PS2PacketAdd(GS_XYZ2, PS2GsXyz2(right * 16, bottom * 16, 0));
    PS2SendPacket();
    PS2SetZTest(1);
}

void DrawTriangleList(const Vector3* vertices, u32 count)
{
    if (!vertices) count = 0;
    const u64 zbuf = PS2TriangleZbuf();
    // A list too long for one packet goes in several, each cut after a whole triangle.
    u32 sent = 0;
    do {
        PS2PacketBegin(0);
        PS2PacketAdd(GS_ZBUF_1, zbuf);
        PS2PacketAdd(GS_PRIM, GS_PRIM_TRIANGLE_GOURAUD);
        u32 take = count - sent;
        if (take > PS2PacketRoom()) take = PS2PacketRoom() / 3 * 3;
        for (const Vector3* v = vertices + sent; v != vertices + sent + take; ++v) {
            const u32 z = static_cast<u32>(FloatToInt(v->z)) & 0xffff;
            PS2PacketAdd(GS_XYZ2, PS2GsXyz2(FloatToUnsigned(v->x) * 16, FloatToUnsigned(v->y) * 16, z));
        }
        sent += take;
        PS2PacketClose();
        PS2SendPacket();
    } while (sent < count);
}
