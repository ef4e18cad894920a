#pragma once

#include "ps2/types.h"

// The size of an uploaded texture; its pixels are at the start of the texture area.
struct TextureSlot {
    u32 width;
    u32 height;
};

inline constexpr u32 TEXTURE_SLOT_LIMIT = 10;

// Slots are taken and given back like a stack; TextureSlotCount is the next one to take.
extern TextureSlot TextureSlots[TEXTURE_SLOT_LIMIT];
extern u32 TextureSlotCount;

// Copy a 16-byte aligned PSMCT32 image to the texture area; returns its slot, or -1 when all are taken.
int PS2TextureUpload(const u32* pixels, u32 width, u32 height);
// Give a slot back; slots outside the table and releases with none held are ignored.
void PS2TextureRelease(int slot);
// Return the number of significant bits of n - 1 as 16 bits: ceil(log2 n), the TW and TH of a size.
u16 PS2Log2(u16 n);
// Build TEX0_1 for a width x height PSMCT32 image at the start of the texture area, stored bufferWidth x 64
// pixels wide, its colour and alpha used as they are (DECAL).
u64 PS2TextureTex0(u32 width, u32 height, u32 bufferWidth);
// Draw the texture area 1:1 at screen pixel (x, y) with the size of a slot.
void PS2TextureSprite(int slot, int x, int y);
