#pragma once

#include "ps2/types.h"

// SIF DMA kernel calls: copies from EE memory into IOP memory.

struct SifDmaTransfer_t {
    void* src;  // EE address
    void* dest; // IOP address
    s32 size;   // bytes
    s32 attr;
};

// Queues `count` transfers: an id for SifDmaStat, or 0 when they cannot be queued.
u32 SifSetDma(SifDmaTransfer_t* transfers, s32 count);
// Negative once the transfers with this id have ended; 0 or more while they run.
s32 SifDmaStat(u32 id);
