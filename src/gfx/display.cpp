#include "gfx/display.h"

#include "core/trace.h"
#include "gfx/frame.h"
#include "gfx/gs.h"
#include "gfx/packet.h"
#include "ps2/bootrom.h"
#include "ps2/dma_regs.h"
#include "ps2/gs_regs.h"
#include "ps2/kernel.h"

const ScreenMode ScreenModes[SCREEN_MODE_COUNT] = {
    {3, 256, 256, 32, 0, 10},
    {3, 320, 256, 32, 0, 8},
    {3, 384, 256, 32, 0, 7},
    {3, 512, 256, 32, 0, 5},
    {3, 640, 256, 32, 0, 4},
    {3, 640, 512, 32, 0, 4},
};

static DisplayContext Display;

// Every GS interrupt masked: vertical blanks are found by polling CSR, where VSINT still shows.
static constexpr u64 IMR_MASK_ALL = 0x7f00;
// Read circuit 2 only, CRTMD 1, ALP 0xff taken as the blend value, output alpha from circuit 2.
static constexpr u64 PMODE_CIRCUIT2 = 0xff66;
static constexpr u32 DISPLAY_X = 656;
static constexpr u32 DISPLAY_Y = 36;
static constexpr u32 DRAW_OFFSET = 1024;

// Lay the z-buffer, two frame buffers and the texture area out one after the other from memoryNext.
static void LayOutMemory(const ScreenMode& mode)
{
    const u32 size = u32{mode.width} * mode.height * 4;
    const u32 base = Display.memoryNext;
    Display.zBuffer = base;
    Display.firstBuffer = base + size;
    Display.drawBuffer = base + size;
    Display.displayBuffer = base + 2 * size;
    Display.textureBase = base + 3 * size;
    Display.memoryEnd = base + 4 * size;
    Display.memoryNext = Display.memoryEnd;
}

static void ProgramDisplayCircuit(const ScreenMode& mode)
{
    GS_PMODE = PMODE_CIRCUIT2;
    GS_DISPFB2 = PS2GsDispFb(Display.displayBuffer / 8192, mode.width / 64, mode.psm, 0, 0);
    GS_DISPLAY2 = PS2GsDisplay(DISPLAY_X, DISPLAY_Y, mode.magH - 1, 0, u32{mode.width} * mode.magH - 1,
                               mode.height - 1);
    GS_BGCOLOR = 0;
}

static void SendDrawingEnvironment(const ScreenMode& mode)
{
    PS2PacketBegin(7);
    PS2PacketAdd(GS_PRMODECONT, 1);
    PS2PacketAdd(GS_ZBUF_1, PS2GsZbuf(Display.zBuffer / 8192, Display.zFormat, 0));
    PS2PacketAdd(GS_FRAME_1, PS2GsFrame(Display.firstBuffer / 8192, mode.width / 64, mode.psm, 0));
    PS2PacketAdd(GS_XYOFFSET_1, PS2GsXyOffset(Display.offsetX * 16, Display.offsetY * 16));
    PS2PacketAdd(GS_SCISSOR_1, PS2GsScissor(0, mode.width - 1, 0, mode.height - 1));
    PS2PacketAdd(GS_TEST_1, GS_TEST_ZGREATER);
    PS2PacketAdd(GS_ALPHA_1, GS_ALPHA_BLEND);
    PS2SendPacket();
}

int PS2Init(const DisplayInitParams* params)
{
    Display.zEnabled = 0;
    Display.zFormat = params->zFormat;
    Display.offsetX = DRAW_OFFSET;
    Display.offsetY = DRAW_OFFSET;
    Display.memoryNext = 0;
    Display.mode = &ScreenModes[params->modeIndex];
    const ScreenMode& mode = *Display.mode;

    PS2DmaReset();
    GS_CSR = GS_CSR_RESET;
    GsPutIMR(IMR_MASK_ALL);
    SetGsCrt(0, mode.crtMode, 1);
    LayOutMemory(mode);
    ProgramDisplayCircuit(mode);
    if (params->zEnable == 1) {
        TraceLog("- %s : ", "PS2Init");
        TraceLog(" -> %s \n", "zBuffer enable");
        Display.zEnabled = 1;
    }
    SendDrawingEnvironment(mode);

    PS2ClearScreen();
    PS2FlipScreen();
    PS2ClearScreen();
    return 1;
}

u16 PS2GetWidth() { return Display.mode->width; }

u16 PS2GetHeight()
{
    // A PAL screen shows 256 of the 512-line mode's lines.
    return Display.mode->height == 512 ? 256 : Display.mode->height;
}

DisplayContext* PS2GetDisplay() { return &Display; }

void PS2Reset() { GS_CSR = GS_CSR_RESET; }

void PS2DmaReset()
{
    D2_SADR = 0;
    D2_CHCR = 0;
    D2_TADR = 0;
    D2_MADR = 0;
    D2_ASR1 = 0;
    D2_ASR0 = 0;
    D_STAT = D_STAT & 0xff1f;
    D_CTRL = 0;
    D_PCR = 0;
    D_SQWC = 0;
    D_RBOR = 0;
    D_RBSR = 0;
    D_CTRL = D_CTRL | D_CTRL_DMAE;
}

int PS2GetRegion() { return BOOT_ROM_REGION == 'E' ? 3 : 2; }
