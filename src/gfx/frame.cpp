#include "gfx/frame.h"

#include "gfx/display.h"
#include "gfx/gs.h"
#include "gfx/packet.h"
#include "ps2/gs_regs.h"

void PS2ClearScreen()
{
    const DisplayContext* display = PS2GetDisplay();
    const u32 right = display->offsetX + PS2GetWidth();
    const u32 bottom = display->offsetY + PS2GetHeight() + 10;
    PS2SetZTest(0);
    PS2PacketBegin(4);
    PS2PacketAdd(GS_PRIM, GS_PRIM_SPRITE);
    PS2PacketAdd(GS_RGBAQ, 0);
    PS2PacketAdd(GS_XYZ2, PS2GsXyz2(display->offsetX * 16, display->offsetY * 16, 0));
    PS2PacketAdd(GS_XYZ2, PS2GsXyz2(right * 16, bottom * 16, 0));
    PS2SendPacket();
    PS2SetZTest(1);
}

void PS2FlipScreen()
{
    DisplayContext* display = PS2GetDisplay();
    const ScreenMode& mode = *display->mode;
    if (display->drawBuffer == display->firstBuffer) {
        display->drawBuffer = display->displayBuffer;
        display->displayBuffer = display->firstBuffer;
    } else {
        display->displayBuffer = display->drawBuffer;
        display->drawBuffer = display->firstBuffer;
    }
    PS2PacketBegin(1);
    PS2PacketAdd(GS_FRAME_1, PS2GsFrame(display->drawBuffer / 8192, mode.width / 64, mode.psm, 0));
    PS2SendPacket();
    GS_DISPFB2 = PS2GsDispFb(display->displayBuffer / 8192, mode.width / 64, mode.psm, 0, 0);
}

void PS2WaitVSync()
{
    // Writing the VSINT bit back clears a blank that came before the wait began.
    const u64 csr = GS_CSR;
    GS_CSR = csr & GS_CSR_VSINT;
    while (!(GS_CSR & GS_CSR_VSINT)) {
    }
}
