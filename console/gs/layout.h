#pragma once

#include <array>
#include <cstdint>

#include "console/gs/memory.h"

namespace gs {

// The 32-bit pixel layouts (PSMCT32/CT24 and PSMZ32/Z24): pages of 64 x 32 pixels made of 8 x 8 blocks
// made of columns. The word address of pixel (x, y) splits into a row part and a column part, so
// drawing adds two table entries per pixel.
class Layout32 {
public:
    explicit constexpr Layout32(bool depth);

    // Word address of the start of row y of a buffer at block bp, bw pages of 64 pixels wide.
    u32 row(u32 bp, u32 bw, u32 y) const
    {
        return bp * 64 + (y & ~31u) * bw * 64 + rowPart_[y & 31];
    }
    // Offset of column x (0..2047) within any row.
    u32 column(u32 x) const { return columnPart_[x & 2047]; }
    u32 address(u32 bp, u32 bw, u32 x, u32 y) const
    {
        return (row(bp, bw, y) + column(x)) & kMemoryWordMask;
    }
    const u32* columns() const { return columnPart_.data(); }

private:
    std::array<u32, 32> rowPart_{};
    std::array<u32, 2048> columnPart_{};
};

extern const Layout32 kLayoutC32; // PSMCT32, PSMCT24
extern const Layout32 kLayoutZ32; // PSMZ32, PSMZ24

// The layout that pixel format psm uses, or null for formats this model does not store.
const Layout32* LayoutFor(std::uint8_t psm);

// Block and word tables as the chip documents them; the layouts above are derived from these.
u32 BlockInPage32(bool depth, u32 blockRow, u32 blockColumn);
u32 WordInBlock32(u32 y, u32 x);

} // namespace gs
