#include "gfx/texture.h"

#include "gfx/display.h"
#include "gfx/gs.h"
#include "gfx/packet.h"

TextureSlot TextureSlots[TEXTURE_SLOT_LIMIT];
u32 TextureSlotCount;

// The most quadwords one IMAGE tag carries in an upload.
static constexpr u32 CHUNK_QWORDS = 0x4000;

// Send a packet of one IMAGE tag announcing the quadwords that follow.
static void SendImageTag(u32 quadwords)
{
    GsPacket.packetWords[0] = PS2GifTagImage(quadwords);
    GsPacket.packetWords[1] = 0;
    GsPacket.packetQwc = 1;
    GsPacket.packetIndex = 2;
    PS2SendPacket();
}

int PS2TextureUpload(const u32* pixels, u32 width, u32 height)
{
    // A slot past the table would overwrite whatever follows it.
    if (TextureSlotCount >= TEXTURE_SLOT_LIMIT) return -1;
    const DisplayContext* display = PS2GetDisplay();
    TextureSlots[TextureSlotCount] = {width, height};

    PS2PacketBegin(4);
    PS2PacketAdd(GS_BITBLTBUF, PS2GsBitBltBuf(0, 0, 0, display->textureBase / 256, width / 64, GS_PSMCT32));
    PS2PacketAdd(GS_TRXPOS, 0);
    PS2PacketAdd(GS_TRXREG, PS2GsTrxReg(width, height));
    PS2PacketAdd(GS_TRXDIR, 0);
    PS2SendPacket();

    // Four pixels to the quadword; a last one to three pixels that do not fill one are not sent.
    u64 left = static_cast<u64>(width) * height / 4;
    u32 chunk = left % CHUNK_QWORDS ? static_cast<u32>(left % CHUNK_QWORDS) : CHUNK_QWORDS;
    const u8* next = reinterpret_cast<const u8*>(pixels);
    while (left) {
        SendImageTag(chunk);
        PS2DmaSend(next, chunk);
        next += chunk * 16;
        left -= chunk;
        chunk = CHUNK_QWORDS;
    }

    PS2PacketBegin(1);
    PS2PacketAdd(GS_TEXFLUSH, GS_TEXFLUSH_VALUE);
    PS2SendPacket();
    return static_cast<int>(TextureSlotCount++);
}

void PS2TextureRelease(int slot)
{
    if (slot < 0 || slot >= static_cast<int>(TEXTURE_SLOT_LIMIT) || TextureSlotCount == 0) return;
    TextureSlots[slot] = {0, 0};
    --TextureSlotCount;
}

u16 PS2Log2(u16 n)
{
    u16 m = static_cast<u16>(n - 1);
    u16 bits = 0;
    for (; m; m >>= 1) ++bits;
    return bits;
}

u64 PS2TextureTex0(u32 width, u32 height, u32 bufferWidth)
{
    return PS2GsTex0(PS2GetDisplay()->textureBase / 256, bufferWidth, GS_PSMCT32, PS2Log2(static_cast<u16>(width)),
                     PS2Log2(static_cast<u16>(height)), 1, GS_TEX_DECAL);
}

void PS2TextureSprite(int slot, int x, int y)
{
    if (slot < 0 || slot >= static_cast<int>(TEXTURE_SLOT_LIMIT)) return;
    const DisplayContext* display = PS2GetDisplay();
    const TextureSlot& texture = TextureSlots[slot];
    const u32 left = static_cast<u32>(x) + display->offsetX;
    const u32 top = static_cast<u32>(y) + display->offsetY;

    PS2SetZTest(0);
    PS2PacketBegin(7);
    PS2PacketAdd(GS_ALPHA_1, GS_ALPHA_BLEND);
    PS2PacketAdd(GS_TEX0_1, PS2TextureTex0(texture.width, texture.height, texture.width / 64));
    PS2PacketAdd(GS_PRIM, GS_PRIM_SPRITE_TEXTURED);
    PS2PacketAdd(GS_UV, PS2GsUv(0, 0));
    PS2PacketAdd(GS_XYZ2, PS2GsXyz2(left * 16, top * 16, 0));
    PS2PacketAdd(GS_UV, PS2GsUv(texture.width * 16, texture.height * 16));
    PS2PacketAdd(GS_XYZ2, PS2GsXyz2((left + texture.width) * 16, (top + texture.height) * 16, 0));
    PS2SendPacket();
    PS2SetZTest(1);
}
