#include "core/pool.h"

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "core/trace.h"

alignas(16) u8 PoolStorage[POOL_SIZE];

// The sentinel's offset: never allocated, never merged, and never another block's `next`.
static constexpr u32 SENTINEL = 0;
static constexpr u32 FIRST_BLOCK = POOL_HEADER_SIZE;
// A smaller remainder is not worth a free block of its own: the whole block is handed out.
static constexpr u32 SPLIT_MINIMUM = 32;

// Headers may sit at any byte when callers ask for sizes that are not multiples of 8.
static PoolBlock ReadBlock(u32 offset)
{
    PoolBlock block;
    std::memcpy(&block, PoolStorage + offset, sizeof block);
    return block;
}

static void WriteBlock(u32 offset, const PoolBlock& block)
{
    std::memcpy(PoolStorage + offset, &block, sizeof block);
}

static void WriteSize(u32 offset, u32 size) { std::memcpy(PoolStorage + offset, &size, sizeof size); }

static void WriteNext(u32 offset, u32 next)
{
    std::memcpy(PoolStorage + offset + offsetof(PoolBlock, next), &next, sizeof next);
}

static u32 BlockEnd(u32 offset, const PoolBlock& block) { return offset + POOL_HEADER_SIZE + block.size; }

void OrbMemInit()
{
    WriteBlock(SENTINEL, {POOL_HEADER_SIZE, FIRST_BLOCK});
    WriteBlock(FIRST_BLOCK, {POOL_SIZE - FIRST_BLOCK - POOL_HEADER_SIZE, 0});
}

void* OrbAlloc(u32 size)
{
    u32 previous = SENTINEL;
    for (u32 candidate = ReadBlock(previous).next; candidate != 0; candidate = ReadBlock(previous).next) {
        const PoolBlock block = ReadBlock(candidate);
        if (block.size < size) {
            previous = candidate;
            continue;
        }
        const u32 spare = block.size - size;
        if (spare < SPLIT_MINIMUM) {
            WriteNext(previous, block.next);
            return PoolStorage + candidate + POOL_HEADER_SIZE;
        }
        // Carving from the top leaves the free block where it is in the list.
        WriteSize(candidate, spare - POOL_HEADER_SIZE);
        const u32 carved = candidate + spare;
        WriteSize(carved, size);
        TraceLog("- %s : ", "OrbAlloc");
        TraceLog(" %s -> %d \n", "size", static_cast<int>(size));
        return PoolStorage + carved + POOL_HEADER_SIZE;
    }
    TraceLog("- %s : ", "OrbAlloc");
    TraceLog(" -> %s \n", "not enought memory");
    return nullptr;
}

// Return the header of the allocated block that pointer hands out, and the free block before it; else 0.
static u32 AllocatedHeader(const void* pointer, u32* previous)
{
    const std::uintptr_t address = reinterpret_cast<std::uintptr_t>(pointer);
    const std::uintptr_t start = reinterpret_cast<std::uintptr_t>(PoolStorage);
    if (address < start + FIRST_BLOCK + POOL_HEADER_SIZE || address > start + POOL_SIZE) return 0;
    // Before OrbMemInit the sentinel is zero and nothing has been handed out.
    if (ReadBlock(SENTINEL).size != POOL_HEADER_SIZE) return 0;
    const u32 header = static_cast<u32>(address - start) - POOL_HEADER_SIZE;
    // Blocks tile the pool from FIRST_BLOCK on, so stepping over them finds every header.
    u32 block = FIRST_BLOCK;
    while (block < header) block = BlockEnd(block, ReadBlock(block));
    if (block != header) return 0;

    *previous = SENTINEL;
    for (u32 next = ReadBlock(SENTINEL).next; next != 0 && header >= next; next = ReadBlock(next).next)
        *previous = next;
    // A header in the free list has been freed already.
    return *previous == header ? 0 : header;
}

void OrbFree(void* pointer)
{
    if (!pointer) return;
    // A pointer OrbAlloc did not hand out (outside the pool, misaligned, inside a block) or one freed already
    // is ignored: trusting it would overwrite the pool's links.
    u32 previous = SENTINEL;
    const u32 header = AllocatedHeader(pointer, &previous);
    if (header == 0) return;
    PoolBlock freed = ReadBlock(header);
    TraceLog("- %s : ", "OrbFree");
    TraceLog(" %s -> %d \n", "size", static_cast<int>(freed.size));

    PoolBlock before = ReadBlock(previous);
    const u32 following = before.next;
    if (following != 0 && BlockEnd(header, freed) == following) {
        const PoolBlock after = ReadBlock(following);
        freed.size += POOL_HEADER_SIZE + after.size;
        freed.next = after.next;
    } else {
        freed.next = following;
    }
    WriteBlock(header, freed);

    if (BlockEnd(previous, before) == header) {
        before.size += POOL_HEADER_SIZE + freed.size;
        before.next = freed.next;
    } else {
        before.next = header;
    }
    WriteBlock(previous, before);
}

void* OrbRealloc(void* pointer, u32) { return pointer; }

std::vector<PoolFreeBlock> OrbPoolFreeBlocks()
{
    std::vector<PoolFreeBlock> blocks;
    for (u32 next = ReadBlock(SENTINEL).next; next != 0; next = ReadBlock(next).next)
        blocks.push_back({next, ReadBlock(next).size});
    return blocks;
}
