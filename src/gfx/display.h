#pragma once

#include "ps2/types.h"

// One display mode of the fixed table.
struct ScreenMode {
    u8 crtMode; // SetGsCrt video standard: 3 PAL, 2 NTSC
    u16 width;
    u16 height;
    u16 bitsPerPixel;
    u16 psm;
    u16 magH;
};

inline constexpr int SCREEN_MODE_COUNT = 6;
extern const ScreenMode ScreenModes[SCREEN_MODE_COUNT];

// What the caller of PS2Init asks for.
struct DisplayInitParams {
    u32 zEnable;
    u32 zFormat;
    u32 modeIndex;
};

// The display as PS2Init laid it out; GS addresses are byte addresses.
struct DisplayContext {
    const ScreenMode* mode;
    u32 displayBuffer;
    u32 drawBuffer;
    u32 firstBuffer;
    u32 textureBase;
    u32 memoryEnd;
    u32 memoryNext;
    u32 zBuffer;
    u32 zFormat;
    u32 zEnabled;
    u32 offsetX;
    u32 offsetY;
};

// Bring the GS up in one of the table's modes with both frame buffers cleared; returns 1.
int PS2Init(const DisplayInitParams* params);
// Return the frame buffer width of the mode in use.
u16 PS2GetWidth();
// Return the frame buffer height of the mode in use, 512 lines reported as 256.
u16 PS2GetHeight();
// Return the one display record.
DisplayContext* PS2GetDisplay();
// Reset the GS.
void PS2Reset();
// Stop and clear every DMA channel register that the GIF path uses, then enable DMA.
void PS2DmaReset();
// Return the video standard of the console: 3 PAL, 2 NTSC.
int PS2GetRegion();
