#include "console/gs/layout.h"

namespace gs {
namespace {

constexpr u32 kBlockTable32[4][8] = {
    {0, 1, 4, 5, 16, 17, 20, 21},
    {2, 3, 6, 7, 18, 19, 22, 23},
    {8, 9, 12, 13, 24, 25, 28, 29},
    {10, 11, 14, 15, 26, 27, 30, 31},
};

constexpr u32 kWordTable32[8][8] = {
    {0, 1, 4, 5, 8, 9, 12, 13},
    {2, 3, 6, 7, 10, 11, 14, 15},
    {16, 17, 20, 21, 24, 25, 28, 29},
    {18, 19, 22, 23, 26, 27, 30, 31},
    {32, 33, 36, 37, 40, 41, 44, 45},
    {34, 35, 38, 39, 42, 43, 46, 47},
    {48, 49, 52, 53, 56, 57, 60, 61},
    {50, 51, 54, 55, 58, 59, 62, 63},
};

} // namespace

u32 BlockInPage32(bool depth, u32 blockRow, u32 blockColumn)
{
    // The depth formats swap the page's halves and quarters.
    return kBlockTable32[blockRow & 3][blockColumn & 7] ^ (depth ? 24u : 0u);
}

u32 WordInBlock32(u32 y, u32 x) { return kWordTable32[y & 7][x & 7]; }

// Block and word numbers interleave row and column bits, so each splits into a row and a column part.
constexpr Layout32::Layout32(bool depth)
{
    for (u32 y = 0; y < 32; ++y)
        rowPart_[y] = (kBlockTable32[(y >> 3) & 3][0] ^ (depth ? 8u : 0u)) * 64 + kWordTable32[y & 7][0];
    for (u32 x = 0; x < 2048; ++x)
        columnPart_[x] = (((x >> 1) & ~31u) + (kBlockTable32[0][(x >> 3) & 7] ^ (depth ? 16u : 0u))) * 64 +
                         kWordTable32[0][x & 7];
}

constinit const Layout32 kLayoutC32{false};
constinit const Layout32 kLayoutZ32{true};

const Layout32* LayoutFor(std::uint8_t psm)
{
    switch (psm) {
    case 0x00: case 0x01: return &kLayoutC32;
    case 0x30: case 0x31: return &kLayoutZ32;
    default: return nullptr;
    }
}

} // namespace gs
