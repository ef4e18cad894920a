#pragma once

#include "ps2/types.h"

// Fill the PacketBuffer with the scroller's packet for text at (x, y) and time t; returns its pair count.
u32 ScrollerBuildPacket(s32 x, s32 y, const char* text, s32 t);
// Draw text as blended squares centred on line y from x on, growing and fading along it as t grows.
void DrawScroller(s32 x, s32 y, const char* text, s32 t);
