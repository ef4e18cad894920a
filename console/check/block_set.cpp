#include "console/check/block_set.h"

namespace check {
namespace detail {

// Block numbers within a page of the 32-bit colour formats; the depth formats swap halves and quarters.
constexpr u32 kBlockTable32[4][8] = {
    {0, 1, 4, 5, 16, 17, 20, 21},
    {2, 3, 6, 7, 18, 19, 22, 23},
    {8, 9, 12, 13, 24, 25, 28, 29},
    {10, 11, 14, 15, 26, 27, 30, 31},
};

u32 BlockInPage(bool depth, u32 blockRow, u32 blockColumn)
{
    return kBlockTable32[blockRow & 3][blockColumn & 7] ^ (depth ? 24u : 0u);
}

// The formats stored in 32-bit words with the 32-bit block layout, the 4- and 8-bit ones in the high bits too.
bool Is32BitLayout(u8 psm)
{
    switch (psm) {
    case 0x00: case 0x01: case 0x1B: case 0x24: case 0x2C: case 0x30: case 0x31: return true;
    default: return false;
    }
}

bool IsDepth(u8 psm) { return (psm & 0x30) == 0x30; }

void PageSize(u8 psm, u32& width, u32& height)
{
    switch (psm) {
    case 0x13: width = 128; height = 64; break;  // PSMT8
    case 0x14: width = 128; height = 128; break; // PSMT4
    case 0x02: case 0x0A: case 0x32: case 0x3A: width = 64; height = 64; break;
    default: width = 64; height = 32; break;
    }
}

} // namespace detail

u32 BitsPerPixel(u8 psm)
{
    switch (psm) {
    case 0x00: case 0x30: return 32;
    case 0x01: case 0x31: return 24;
    case 0x02: case 0x0A: case 0x32: case 0x3A: return 16;
    case 0x13: case 0x1B: return 8;
    case 0x14: case 0x24: case 0x2C: return 4;
    default: return 0;
    }
}

u32 PagesReached(u32 bp, u32 bw, u8 psm, const Rect& r)
{
    if (r.empty()) return bp / kBlocksPerPage;
    u32 pw = 0, ph = 0;
    detail::PageSize(psm, pw, ph);
    const u32 perRow = bw * 64 / pw;
    return bp / kBlocksPerPage + ((r.y1 - 1) / ph) * perRow + (r.x1 - 1) / pw + 1;
}

} // namespace check
