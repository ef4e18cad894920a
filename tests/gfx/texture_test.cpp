#include <gtest/gtest.h>

#include <vector>

#include "console/gs/layout.h"
#include "gfx/display.h"
#include "gfx/gs.h"
#include "gfx/texture.h"
#include "tests/support/recording_console.h"

namespace {

using testing_support::RegisterWrite;

constexpr DisplayInitParams kDemoParams = {1, 0x30, 5};
constexpr u32 kTextureBlock = 0x3c0000 / 256;

// Room for the largest image the tests upload, aligned as the DMA wants it.
alignas(16) u32 Pixels[65540];

void FillPixels(u32 count)
{
    for (u32 i = 0; i < count; ++i) Pixels[i] = 0x80000000u | i * 2654435761u >> 8;
}

// Upload through a fresh console and return the quadword count of every GIF transfer it made.
std::vector<u32> UploadSizes(testing_support::RecordingConsole& console, u32 width, u32 height)
{
    console.clear();
    FillPixels(width * height);
    PS2TextureUpload(Pixels, width, height);
    std::vector<u32> sizes;
    for (const auto& event : console.events())
        if (event.kind == console::GsEvent::Kind::Gif) sizes.push_back(static_cast<u32>(event.data.size()));
    return sizes;
}

class TextureTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        PS2Init(&kDemoParams);
        TextureSlotCount = 0;
    }
    testing_support::RecordingConsole console;
};

TEST_F(TextureTest, UploadSendsTheTransferSetUpThenTheImageThenAFlush)
{
    UploadSizes(console, 256, 256);
    const auto transfers = console.transfers();
    ASSERT_EQ(transfers.size(), 4u);
    EXPECT_EQ(transfers[0].qwc, 5u);
    EXPECT_EQ(transfers[0].writes, (std::vector<RegisterWrite>{
                                       {GS_BITBLTBUF, u64{kTextureBlock} << 32 | 4ull << 48},
                                       {GS_TRXPOS, 0},
                                       {GS_TRXREG, 256 | 256ull << 32},
                                       {GS_TRXDIR, 0}}));
    ASSERT_EQ(transfers[1].tags.size(), 1u);
    EXPECT_EQ(transfers[1].tags[0].lo, PS2GifTagImage(16384));
    EXPECT_EQ(transfers[1].tags[0].hi, 0u);
    EXPECT_EQ(transfers[3].writes, (std::vector<RegisterWrite>{{GS_TEXFLUSH, 0x42}}));
    EXPECT_EQ(TextureSlots[0].width, 256u);
    EXPECT_EQ(TextureSlots[0].height, 256u);
}

TEST_F(TextureTest, ImagesGoInChunksOf16384QuadwordsTheOddPartFirst)
{
    EXPECT_EQ(UploadSizes(console, 256, 256), (std::vector<u32>{5, 1, 16384, 2}));
    EXPECT_EQ(UploadSizes(console, 32, 32), (std::vector<u32>{5, 1, 256, 2}));
    // 65,540 pixels are 16,385 quadwords.
    EXPECT_EQ(UploadSizes(console, 290, 226), (std::vector<u32>{5, 1, 1, 1, 16384, 2}));
    // 25 pixels: the 25th does not fill a quadword and is not sent.
    EXPECT_EQ(UploadSizes(console, 5, 5), (std::vector<u32>{5, 1, 6, 2}));
    EXPECT_EQ(UploadSizes(console, 0, 7), (std::vector<u32>{5, 2}));
}

TEST_F(TextureTest, ChunksComeStraightFromThePixelsInOrder)
{
    UploadSizes(console, 290, 226);
    std::vector<std::vector<gs::Qword>> gif;
    for (const auto& e : console.events())
        if (e.kind == console::GsEvent::Kind::Gif) gif.push_back(e.data);
    ASSERT_EQ(gif.size(), 6u);
    EXPECT_EQ(gif[1][0].lo, PS2GifTagImage(1));
    EXPECT_EQ(gif[2][0].lo, Pixels[0] | u64{Pixels[1]} << 32);
    EXPECT_EQ(gif[2][0].hi, Pixels[2] | u64{Pixels[3]} << 32);
    EXPECT_EQ(gif[3][0].lo, PS2GifTagImage(16384));
    EXPECT_EQ(gif[4][0].lo, Pixels[4] | u64{Pixels[5]} << 32);
    EXPECT_EQ(gif[4].back().hi, Pixels[65538] | u64{Pixels[65539]} << 32);
}

TEST_F(TextureTest, TheImageLandsInTheTextureArea)
{
    FillPixels(256 * 256);
    PS2TextureUpload(Pixels, 256, 256);
    const gs::Gs& gs = console.gs();
    int wrong = 0;
    for (u32 y = 0; y < 256; ++y)
        for (u32 x = 0; x < 256; ++x)
            wrong += gs.memory().read(gs::kLayoutC32.address(kTextureBlock, 4, x, y)) != Pixels[y * 256 + x];
    EXPECT_EQ(wrong, 0);
    EXPECT_TRUE(console.messages().empty());
}

TEST_F(TextureTest, SlotsAreTakenAndGivenBackLikeAStack)
{
    FillPixels(32 * 32);
    EXPECT_EQ(PS2TextureUpload(Pixels, 32, 32), 0);
    PS2TextureRelease(0);
    EXPECT_EQ(TextureSlots[0].width, 0u);
    EXPECT_EQ(PS2TextureUpload(Pixels, 32, 16), 0);
    EXPECT_EQ(PS2TextureUpload(Pixels, 16, 16), 1);
    EXPECT_EQ(TextureSlotCount, 2u);
    PS2TextureRelease(1);
    PS2TextureRelease(0);
    EXPECT_EQ(TextureSlotCount, 0u);

    // Nothing held and slots outside the table: nothing to give back.
    PS2TextureRelease(0);
    PS2TextureRelease(-1);
    PS2TextureRelease(10);
    EXPECT_EQ(TextureSlotCount, 0u);
}

TEST_F(TextureTest, AFullTableRefusesTheUploadAndSendsNothing)
{
    FillPixels(32 * 32);
    for (int i = 0; i < 10; ++i) ASSERT_EQ(PS2TextureUpload(Pixels, 32, 32), i);
    console.clear();
    EXPECT_EQ(PS2TextureUpload(Pixels, 64, 64), -1);
    EXPECT_EQ(TextureSlotCount, 10u);
    EXPECT_TRUE(console.events().empty());
}

TEST(PS2Log2, GivesTheBitsOfNMinusOne)
{
    EXPECT_EQ(PS2Log2(1), 0);
    EXPECT_EQ(PS2Log2(2), 1);
    EXPECT_EQ(PS2Log2(32), 5);
    EXPECT_EQ(PS2Log2(256), 8);
    EXPECT_EQ(PS2Log2(300), 9);
    EXPECT_EQ(PS2Log2(640), 10);
    EXPECT_EQ(PS2Log2(0), 16);
}

TEST_F(TextureTest, TheSpriteDrawsTheTextureOneToOne)
{
    // Full alpha, so the blend leaves the texture's own colours.
    for (u32 i = 0; i < 32 * 32; ++i) Pixels[i] = 0x80000000u | (i * 0x010203u & 0xffffff);
    const int slot = PS2TextureUpload(Pixels, 32, 32);
    console.clear();
    PS2TextureSprite(slot, 100, 50);

    const auto transfers = console.transfers();
    ASSERT_EQ(transfers.size(), 3u);
    EXPECT_EQ(transfers[0].writes, (std::vector<RegisterWrite>{{GS_TEST_1, 0x30000}}));
    EXPECT_EQ(transfers[1].qwc, 8u);
    const u64 tex0 = kTextureBlock | 5ull << 26 | 5ull << 30 | 1ull << 34 | 1ull << 35;
    EXPECT_EQ(transfers[1].writes, (std::vector<RegisterWrite>{{GS_ALPHA_1, 0x44},
                                                               {GS_TEX0_1, tex0},
                                                               {GS_PRIM, 0x156},
                                                               {GS_UV, 0},
                                                               {GS_XYZ2, 1124 * 16 | 1074 * 16 << 16},
                                                               {GS_UV, 512 | 512 << 16},
                                                               {GS_XYZ2, 1156 * 16 | 1106 * 16 << 16}}));
    EXPECT_EQ(transfers[2].writes, (std::vector<RegisterWrite>{{GS_ZBUF_1, 0x30000000}, {GS_TEST_1, 0x70000}}));

    const gs::Gs& gs = console.gs();
    const u32 frame = PS2GetDisplay()->drawBuffer / 256;
    int wrong = 0;
    for (u32 y = 0; y < 32; ++y)
        for (u32 x = 0; x < 32; ++x)
            wrong += gs.memory().read(gs::kLayoutC32.address(frame, 10, 100 + x, 50 + y)) != Pixels[y * 32 + x];
    EXPECT_EQ(wrong, 0);
    EXPECT_EQ(gs.memory().read(gs::kLayoutC32.address(frame, 10, 132, 50)), 0u);
}

} // namespace
