#pragma once

#include <vector>

#include "ps2/types.h"

inline constexpr u32 POOL_SIZE = 10240000;
// The header in front of every block; the sentinel's sits at byte 0 of PoolStorage.
inline constexpr u32 POOL_HEADER_SIZE = 8;

// A block header. `next` is the byte offset of the next free header in PoolStorage, 0 at the list's end:
// a 32-bit link that also holds on a host whose pointers are wider.
struct PoolBlock {
    u32 size;
    u32 next;
};

// One free block as the list holds it: its header's offset in PoolStorage and its data size.
struct PoolFreeBlock {
    u32 offset;
    u32 size;
    bool operator==(const PoolFreeBlock&) const = default;
};

alignas(16) extern u8 PoolStorage[POOL_SIZE];

// Empty the pool: the sentinel, then one free block over the rest of PoolStorage.
void OrbMemInit();
// Take a block of at least size bytes, first fit from the top of a free block; null when none fits.
void* OrbAlloc(u32 size);
// Give a block back, merging it with touching free neighbours; null is ignored.
void OrbFree(void* pointer);
// Return the pointer unchanged: a block is only ever shrunk, and it is already large enough.
void* OrbRealloc(void* pointer, u32 size);
// List the free blocks in address order.
std::vector<PoolFreeBlock> OrbPoolFreeBlocks();
