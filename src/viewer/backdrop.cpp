#include "viewer/backdrop.h"

#include "gfx/display.h"
#include "gfx/draw2d.h"
#include "gfx/gs.h"
#include "gfx/packet.h"

void ViewerDrawBackdrop()
{
    const s32 w = PS2GetWidth();
    const s32 h = PS2GetHeight();
    const u64 top = PS2ColourRgbaq(BACKDROP_TOP);
    const u64 bottom = PS2ColourRgbaq(BACKDROP_BOTTOM);
    PS2PacketBegin(0);
    PS2PacketAdd(GS_TEST_1, GS_TEST_ZALWAYS);
    PS2PacketAdd(GS_PRIM, GS_PRIM_TRIANGLE_GOURAUD);
    // Two triangles over the whole picture: the colour is a blend of the corners' down the picture only.
    const struct {
        s32 x, y;
        u64 colour;
    } corners[] = {{0, 0, top}, {w, 0, top}, {0, h, bottom}, {w, 0, top}, {w, h, bottom}, {0, h, bottom}};
    for (const auto& c : corners) {
        PS2PacketAdd(GS_RGBAQ, c.colour);
        PS2PacketAdd(GS_XYZ2, PS2ScreenXyz2(c.x, c.y, 0));
    }
    PS2PacketClose();
    PS2SendPacket();
}
