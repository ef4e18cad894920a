#pragma once

#include "ps2/types.h"

// EE kernel calls.

// Programs the video timing: interlace 0 or 1, mode 2 (NTSC) or 3 (PAL), ffmd 1 (frame) or 0 (field).
void SetGsCrt(s16 interlace, s16 mode, s16 ffmd);
// Writes the write-only GS IMR; returns the previous mask.
u64 GsPutIMR(u64 imr);
// 0 writes back the data cache, 1 invalidates it, 2 invalidates the instruction cache.
void FlushCache(s32 operation);
// Suspends the calling thread until another wakes it; the program has no other thread.
s32 SleepThread();
