#pragma once

#include "ps2/types.h"

// The IOP heap service. IOP addresses are numbers in the IOP's own address space, carried in pointers;
// the EE never dereferences them.

// Binds the heap service: 0 on success.
s32 SifInitIopHeap();
// Allocates `size` bytes of IOP memory: the block's IOP address, or null when the service is not bound
// or no block fits.
void* SifAllocIopHeap(s32 size);
// Frees a block: 0 on success, negative otherwise.
s32 SifFreeIopHeap(void* address);
