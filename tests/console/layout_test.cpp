#include "tests/console/gs_fixture.h"

namespace gs_test {
namespace {

// The tables as the chip's documentation prints them.
constexpr u32 kColourBlocks[4][8] = {
    {0, 1, 4, 5, 16, 17, 20, 21},
    {2, 3, 6, 7, 18, 19, 22, 23},
    {8, 9, 12, 13, 24, 25, 28, 29},
    {10, 11, 14, 15, 26, 27, 30, 31},
};
constexpr u32 kDepthBlocks[4][8] = {
    {24, 25, 28, 29, 8, 9, 12, 13},
    {26, 27, 30, 31, 10, 11, 14, 15},
    {16, 17, 20, 21, 0, 1, 4, 5},
    {18, 19, 22, 23, 2, 3, 6, 7},
};
constexpr u32 kWords[8][8] = {
    {0, 1, 4, 5, 8, 9, 12, 13},     {2, 3, 6, 7, 10, 11, 14, 15},   {16, 17, 20, 21, 24, 25, 28, 29},
    {18, 19, 22, 23, 26, 27, 30, 31}, {32, 33, 36, 37, 40, 41, 44, 45}, {34, 35, 38, 39, 42, 43, 46, 47},
    {48, 49, 52, 53, 56, 57, 60, 61}, {50, 51, 54, 55, 58, 59, 62, 63},
};

// Pages of 64 x 32 pixels in rows of bw pages (width 0 makes rows of one page that alias), wrapping at
// the end of local memory.
u32 Documented(bool depth, u32 bp, u32 bw, u32 x, u32 y)
{
    const u32 inPage = depth ? kDepthBlocks[(y >> 3) & 3][(x >> 3) & 7] : kColourBlocks[(y >> 3) & 3][(x >> 3) & 7];
    const u32 block = bp + (y & ~31u) * bw + ((x >> 1) & ~31u) + inPage;
    return (block * 64 + kWords[y & 7][x & 7]) & (gs::kMemoryWords - 1);
}

TEST(Layout32, AddressesFollowTheDocumentedBlockAndWordTables)
{
    for (const u32 bp : {0u, 32u, 5u, 160u * 32, 15360u, 16352u})
        for (const u32 bw : {0u, 1u, 4u, 10u, 63u})
            for (u32 y = 0; y < 2048; y += 13)
                for (u32 x = 0; x < 2048; x += 7) {
                    ASSERT_EQ(gs::kLayoutC32.address(bp, bw, x, y), Documented(false, bp, bw, x, y))
                        << "bp " << bp << " bw " << bw << " x " << x << " y " << y;
                    ASSERT_EQ(gs::kLayoutZ32.address(bp, bw, x, y), Documented(true, bp, bw, x, y))
                        << "bp " << bp << " bw " << bw << " x " << x << " y " << y;
                }
}

} // namespace
} // namespace gs_test
