#include <vector>

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
    for (u32 r = 0; r < 4; ++r)
        for (u32 c = 0; c < 8; ++c) {
            EXPECT_EQ(gs::BlockInPage32(false, r, c), kColourBlocks[r][c]);
            EXPECT_EQ(gs::BlockInPage32(true, r, c), kDepthBlocks[r][c]);
            EXPECT_EQ(gs::BlockInPage32(true, r, c), kColourBlocks[r][c] ^ 24);
        }
}

TEST(Layout32, PagesAre64By32PixelsInRowsOfBwPages)
{
    // FBP 160 in pages is block 5120; a 640-wide buffer has 10 pages per row.
    for (u32 y = 0; y < 512; y += 31)
        for (u32 x = 0; x < 640; x += 63)
            EXPECT_EQ(gs::kLayoutC32.address(160 * 32, 10, x, y) / 2048, 160 + (y / 32) * 10 + x / 64);
    // The depth layout keeps every pixel in the same page, only the blocks move.
    EXPECT_EQ(gs::kLayoutZ32.address(0, 10, 0, 0), 24u * 64);
    EXPECT_EQ(gs::kLayoutC32.address(0, 10, 0, 0), 0u);
    EXPECT_EQ(gs::kLayoutZ32.address(0, 10, 63, 31) / 2048, gs::kLayoutC32.address(0, 10, 63, 31) / 2048);
}

TEST(Layout32, AddressesWrapAtTheEndOfLocalMemory)
{
    // The last page of memory is followed by the first.
    EXPECT_EQ(gs::kLayoutC32.address(511 * 32, 1, 64, 0), 0u);
    EXPECT_EQ(gs::kLayoutC32.address(16383, 1, 7, 7), 16383u * 64 + 63);
}

TEST(Layout32, A640By512BufferFillsItsPagesExactlyOnce)
{
    for (const gs::Layout32* layout : {&gs::kLayoutC32, &gs::kLayoutZ32}) {
        std::vector<int> hits(160 * 2048);
        gs::LocalMemory memory;
        for (u32 y = 0; y < 512; ++y)
            for (u32 x = 0; x < 640; ++x) {
                const u32 a = layout->address(160 * 32, 10, x, y);
                ASSERT_GE(a, 160u * 2048);
                ASSERT_LT(a, 320u * 2048);
                ++hits[a - 160 * 2048];
                memory.write(a, x * 65536 + y);
            }
        for (int h : hits) ASSERT_EQ(h, 1);
        for (u32 y = 0; y < 512; ++y)
            for (u32 x = 0; x < 640; ++x) ASSERT_EQ(memory.read(layout->address(160 * 32, 10, x, y)), x * 65536 + y);
    }
}

TEST(Layout32, WidthZeroMakesRowsOfOnePageThatAlias)
{
    for (u32 y = 0; y < 32; ++y)
        for (u32 x = 0; x < 64; ++x)
            ASSERT_EQ(gs::kLayoutC32.address(15360, 0, x, y), gs::kLayoutC32.address(15360, 1, x, y));
    // No special case: the page-row stride is zero, so row 32 lands on row 0 and x >= 64 still moves on.
    EXPECT_EQ(gs::kLayoutC32.address(15360, 0, 5, 37), gs::kLayoutC32.address(15360, 0, 5, 5));
    EXPECT_EQ(gs::kLayoutC32.address(15360, 0, 64, 0), gs::kLayoutC32.address(15360, 1, 64, 0));
}

u32 Gradient(u32 x, u32 y) { return 0x80000000u | y << 16 | x << 8 | (x ^ y); }

using ImageWidthZero = GsTest;

// A 32 x 32 image uploaded with DBW 0 and drawn from TBW 0 comes out whole, laid out as with width 1.
TEST_F(ImageWidthZero, UploadAndSampleGiveTheWholeImage)
{
    AdPacket setup;
    setup.add(gs::BITBLTBUF, u64{kTextureBlock} << 32 | u64{0} << 48);
    setup.add(gs::TRXPOS, 0);
    setup.add(gs::TRXREG, 32 | u64{32} << 32);
    setup.add(gs::TRXDIR, 0);
    std::vector<Qword> packet = setup.build();
    packet.push_back(Tag(256, kImage, 0, 0));
    for (u32 y = 0; y < 32; ++y)
        for (u32 x = 0; x < 32; x += 4)
            packet.push_back({Gradient(x, y) | u64{Gradient(x + 1, y)} << 32,
                              Gradient(x + 2, y) | u64{Gradient(x + 3, y)} << 32});
    send(packet);

    for (u32 y = 0; y < 32; ++y)
        for (u32 x = 0; x < 32; ++x)
            ASSERT_EQ(gs.memory().read(gs::kLayoutC32.address(kTextureBlock, 1, x, y)), Gradient(x, y));

    AdPacket draw;
    draw.add(gs::TEX0_1, kTextureBlock | u64{0} << 14 | u64{5} << 26 | u64{5} << 30 | u64{1} << 34 | u64{1} << 35);
    draw.add(gs::PRIM, 0x116); // sprite, textured, FST
    draw.add(gs::UV, Uv(0, 0));
    draw.add(gs::XYZ2, Xyz(100, 50));
    draw.add(gs::UV, Uv(32 * 16, 32 * 16));
    draw.add(gs::XYZ2, Xyz(132, 82));
    send(draw.build());
    for (u32 y = 0; y < 32; ++y)
        for (u32 x = 0; x < 32; ++x) ASSERT_EQ(pixel(100 + x, 50 + y), Gradient(x, y)) << x << ", " << y;
    EXPECT_TRUE(log.messages.empty());
}

} // namespace
} // namespace gs_test
