#include "cloth/sprites.h"

#include "gfx/display.h"
#include "gfx/gs.h"
#include "gfx/packet.h"
#include "gfx/texture.h"
#include "math3d/convert.h"

static constexpr float NET_SCALE = 0.00390625f; // 1/256
static constexpr u32 SPRITE_TEXTURE_SIZE = 32;
static constexpr u32 SPRITE_WIDTH = 64;
static constexpr float SPRITE_HEIGHT_SCALE = 64.0f;
// Register writes per sprite: UV and XYZ2 for each corner.
static constexpr u32 SPRITE_WRITES = 4;

void ClothSpritesDraw(ClothNet* net, int centreX, int centreY)
{
    const DisplayContext* display = PS2GetDisplay();
    // The frame buffer's pixels are twice as tall as wide in the 640 x 256 mode.
    const float aspect = static_cast<float>(PS2GetWidth() / PS2GetHeight());

    PS2SetZTest(0);
    PS2PacketBegin(0);
    PS2PacketAdd(GS_ALPHA_1, GS_ALPHA_BLEND);
    // Buffer width 0, as the upload of a 32-texel-wide image leaves it.
    PS2PacketAdd(GS_TEX0_1, PS2TextureTex0(SPRITE_TEXTURE_SIZE, SPRITE_TEXTURE_SIZE, 0));
    PS2PacketAdd(GS_PRIM, GS_PRIM_SPRITE_TEXTURED);
    // A list longer than one packet holds goes on in further packets of whole sprites.
    const ClothParticle* p = net->particles;
    const s32 height = p ? FloatToInt(SPRITE_HEIGHT_SCALE / aspect) : 0;
    for (;;) {
        for (; p && PS2PacketRoom() >= SPRITE_WRITES; p = p->next) {
            const s32 dx = FloatToInt((p->position.x * NET_SCALE) * aspect);
            const s32 dy = FloatToInt(p->position.y * NET_SCALE);
            const u32 x = (static_cast<u32>(dx) + display->offsetX + static_cast<u32>(centreX)) & 0xffff;
            const u32 y = (static_cast<u32>(dy) + display->offsetY + static_cast<u32>(centreY)) & 0xffff;
            PS2PacketAdd(GS_UV, PS2GsUv(0, 0));
            PS2PacketAdd(GS_XYZ2, PS2GsXyz2(x * 16, y * 16, 0));
            PS2PacketAdd(GS_UV, PS2GsUv(SPRITE_TEXTURE_SIZE * 16, SPRITE_TEXTURE_SIZE * 16));
            PS2PacketAdd(GS_XYZ2, PS2GsXyz2((x + SPRITE_WIDTH) * 16, (y + static_cast<u32>(height)) * 16, 0));
        }
        PS2PacketClose();
        PS2SendPacket();
        if (!p) break;
        PS2PacketBegin(0);
    }
    PS2SetZTest(1);
}
