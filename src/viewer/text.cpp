#include "viewer/text.h"

#include <cstring>

#include "data/font.h"
#include "gfx/display.h"
#include "gfx/draw2d.h"
#include "gfx/gs.h"
#include "gfx/packet.h"
#include "viewer/gs_batch.h"

static constexpr u32 SHADOW = 0x101214;

static void Dots(s32 x, s32 y, const char* text, u32 colour)
{
    const ViewerGsWrite setup[] = {
        {GS_TEST_1, GS_TEST_ZALWAYS},
        {GS_PRIM, GS_PRIM_POINT},
        {GS_RGBAQ, PS2ColourRgbaq(colour)},
    };
    ViewerBatchBegin(setup, 3);
    for (const char* c = text; *c; ++c, x += VIEWER_GLYPH_SIZE) {
        const u8* glyph = Font8x8 + VIEWER_GLYPH_SIZE * static_cast<u8>(*c);
        for (s32 row = 0; row < VIEWER_GLYPH_SIZE; ++row)
            for (s32 dot = 0; dot < VIEWER_GLYPH_SIZE; ++dot) {
                if (!(glyph[row] & 0x80 >> dot)) continue;
                ViewerBatchRoom(1);
                PS2PacketAdd(GS_XYZ2, PS2ScreenXyz2(x + dot, y + row, DRAW_DEPTH));
            }
    }
    ViewerBatchEnd();
}

void ViewerDrawText(s32 x, s32 y, const char* text, u32 colour)
{
    Dots(x + 1, y + 1, text, SHADOW);
    Dots(x, y, text, colour);
}

void ViewerDrawTextCentred(s32 y, const char* text, u32 colour)
{
    const s32 width = static_cast<s32>(std::strlen(text)) * VIEWER_GLYPH_SIZE;
    ViewerDrawText((static_cast<s32>(PS2GetWidth()) - width) / 2, y, text, colour);
}
