#include "song_block.h"

#include <algorithm>

namespace amigamod {

namespace {

// Layout of a four-channel "M.K." module's header.
constexpr u32 kHeaderSize = 1084;
constexpr u32 kPatternSize = 1024;
constexpr u32 kSampleCount = 31;
constexpr u32 kSampleHeaders = 20;
constexpr u32 kSampleHeaderSize = 30;
constexpr u32 kSampleLengthField = 22;
constexpr u32 kOrderTable = 952;
constexpr u32 kOrderCount = 128;

// Returns how many of the `wanted` bytes at `address` lie in IOP memory.
u32 ReadableSize(const IopServices& iop, u32 address, u32 wanted)
{
    // The memory service answers for whole ranges only; every prefix of a readable range is readable.
    u32 low = 0;
    u32 high = wanted;
    while (low < high) {
        const u32 middle = low + (high - low + 1) / 2;
        if (iop.memory(address, middle))
            low = middle;
        else
            high = middle - 1;
    }
    return low;
}

// Returns the size the header claims: header, patterns, then the samples' bytes.
u32 ClaimedSize(const u8* header)
{
    // The pattern count is not stored: the patterns up to the highest one the order table names are.
    const u8* orders = header + kOrderTable;
    const u32 patterns = *std::max_element(orders, orders + kOrderCount) + 1u;
    u32 samples = 0;
    for (u32 n = 0; n < kSampleCount; ++n) {
        const u8* length = header + kSampleHeaders + n * kSampleHeaderSize + kSampleLengthField;
        samples += 2u * ((u32{length[0]} << 8) | length[1]);
    }
    return kHeaderSize + patterns * kPatternSize + samples;
}

} // namespace

SongBytes SongBlock(const IopServices& iop, u32 address)
{
    // A block from the heap says how much was put there; beyond it lies whatever else the IOP holds.
    const u32 block = iop.blockSize(address);
    const u32 limit = block != 0 ? block : kHeaderSize;
    u32 named = kHeaderSize;
    u32 size = ReadableSize(iop, address, std::min(kHeaderSize, limit));
    if (size == kHeaderSize) {
        named = ClaimedSize(static_cast<const u8*>(iop.memory(address, kHeaderSize)));
        size = ReadableSize(iop, address, block != 0 ? std::min(named, block) : named);
    }
    if (size == 0)
        return {{}, named};
    return {{static_cast<const u8*>(iop.memory(address, size)), size}, named};
}

} // namespace amigamod
