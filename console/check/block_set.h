#pragma once

#include <array>
#include <cstdint>

namespace check {

using u8 = std::uint8_t;
using u32 = std::uint32_t;
using u64 = std::uint64_t;

// GS local memory counted in 256-byte blocks, the unit texture and transfer addresses use.
inline constexpr u32 kBlocks = 16384;
inline constexpr u32 kBlocksPerPage = 32;

// One bit per block of GS local memory.
class BlockSet {
public:
    bool has(u32 block) const { return (bits_[(block % kBlocks) / 64] >> (block % 64)) & 1; }
    // Sets the block; true when it was not set before.
    bool add(u32 block)
    {
        u64& word = bits_[(block % kBlocks) / 64];
        const u64 bit = u64{1} << (block % 64);
        const bool added = (word & bit) == 0;
        word |= bit;
        return added;
    }
    void clear() { bits_ = {}; }
    bool intersects(const BlockSet& other) const
    {
        for (u32 i = 0; i < bits_.size(); ++i)
            if (bits_[i] & other.bits_[i]) return true;
        return false;
    }

private:
    std::array<u64, kBlocks / 64> bits_{};
};

// A rectangle of pixels, [x0, x1) x [y0, y1).
struct Rect {
    u32 x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    bool empty() const { return x0 >= x1 || y0 >= y1; }
};

// Bits per pixel of a storage format, 0 for codes the GS does not have.
u32 BitsPerPixel(u8 psm);

// Calls f(block) for each block that the pixels of `r` touch in a buffer of format `psm` at block `bp`,
// `bw` pages of 64 pixels wide. The 32-bit layouts are followed block by block; the others are taken a
// whole page at a time, which may name a few blocks too many but never misses one.
template <class F>
void ForEachBlock(u32 bp, u32 bw, u8 psm, const Rect& r, F f);

// The first page past the end of the rectangle when addresses did not wrap: beyond 512, the rectangle
// leaves local memory.
u32 PagesReached(u32 bp, u32 bw, u8 psm, const Rect& r);

namespace detail {
u32 BlockInPage(bool depth, u32 blockRow, u32 blockColumn);
bool Is32BitLayout(u8 psm);
bool IsDepth(u8 psm);
void PageSize(u8 psm, u32& width, u32& height);
} // namespace detail

template <class F>
void ForEachBlock(u32 bp, u32 bw, u8 psm, const Rect& r, F f)
{
    if (r.empty()) return;
    if (detail::Is32BitLayout(psm)) {
        const bool depth = detail::IsDepth(psm);
        for (u32 y = r.y0 & ~7u; y < r.y1; y += 8)
            for (u32 x = r.x0 & ~7u; x < r.x1; x += 8)
                f((bp + (y & ~31u) * bw + ((x >> 1) & ~31u) + detail::BlockInPage(depth, (y >> 3) & 3, (x >> 3) & 7)) %
                  kBlocks);
        return;
    }
    u32 pw = 0, ph = 0;
    detail::PageSize(psm, pw, ph);
    const u32 perRow = bw * 64 / pw;
    for (u32 py = r.y0 / ph; py <= (r.y1 - 1) / ph; ++py)
        for (u32 px = r.x0 / pw; px <= (r.x1 - 1) / pw; ++px) {
            const u32 start = bp + (py * perRow + px) * kBlocksPerPage;
            for (u32 k = 0; k < kBlocksPerPage; ++k) f((start + k) % kBlocks);
        }
}

} // namespace check
