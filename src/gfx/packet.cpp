#include "gfx/packet.h"

#include "gfx/display.h"
#include "ps2/dma_regs.h"
#include "ps2/kernel.h"

PacketBuffer GsPacket;

void PS2SendPacket()
{
    // The DMA controller reads memory, not the data cache.
    FlushCache(0);
    PS2DmaSend(GsPacket.packetWords, GsPacket.packetQwc);
}

void PS2DmaSend(const void* data, u32 quadwords)
{
    D2_QWC = quadwords;
    D2_MADR = reinterpret_cast<DmaAddress>(data);
    D2_CHCR = D_CHCR_STR | D_CHCR_DIR;
    while (D2_CHCR & D_CHCR_STR) {
    }
}

void PS2SetZTest(int on)
{
    const DisplayContext* display = PS2GetDisplay();
    if (on) {
        PS2PacketBegin(2);
        PS2PacketAdd(GS_ZBUF_1, PS2GsZbuf(display->zBuffer / 8192, display->zFormat, 0));
        PS2PacketAdd(GS_TEST_1, GS_TEST_ZGREATER);
    } else {
        PS2PacketBegin(1);
        PS2PacketAdd(GS_TEST_1, GS_TEST_ZALWAYS);
    }
    PS2SendPacket();
}
