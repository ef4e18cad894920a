#include <gtest/gtest.h>

#include <vector>

#include "gfx/texture.h"
#include "tests/support/demo_display.h"

namespace {

using testing_support::Writes;
using testing_support::Xyz2;

constexpr u32 kTextureBlock = 0x3c0000 / 256;

// Room for the largest image the tests upload, aligned as the DMA wants it.
alignas(16) u32 Pixels[65540];

class Texture : public testing_support::DemoDisplayTest {
protected:
    void SetUp() override
    {
        DemoDisplayTest::SetUp();
        TextureSlotCount = 0;
        for (u32 i = 0; i < std::size(Pixels); ++i) Pixels[i] = 0x80000000u | i * 2654435761u >> 8;
    }

    // Upload afresh and return every GIF transfer as sent.
    std::vector<std::vector<gs::Qword>> Upload(u32 width, u32 height)
    {
        console.clear();
        PS2TextureUpload(Pixels, width, height);
        std::vector<std::vector<gs::Qword>> gif;
        for (const auto& e : console.events())
            if (e.kind == console::GsEvent::Kind::Gif) gif.push_back(e.data);
        return gif;
    }

    // Count the pixels of the w x h block at (x, y) of a buffer that differ from the image.
    int Wrong(u32 block, u32 width, u32 x, u32 y, u32 w, u32 h)
    {
        const auto& memory = console.gs().memory();
        int wrong = 0;
        for (u32 j = 0; j < h; ++j)
            for (u32 i = 0; i < w; ++i)
                wrong += memory.read(gs::kLayoutC32.address(block, width, x + i, y + j)) != Pixels[j * w + i];
        return wrong;
    }
};

TEST_F(Texture, UploadSendsTheSetUpTheImageAndAFlushAndTheImageLands)
{
    Upload(256, 256);
    const auto transfers = console.transfers();
    ASSERT_EQ(transfers.size(), 4u);
    EXPECT_EQ(transfers[0].qwc, 5u);
    EXPECT_EQ(transfers[0].writes, (Writes{{GS_BITBLTBUF, u64{kTextureBlock} << 32 | 4ull << 48}, {GS_TRXPOS, 0},
                                           {GS_TRXREG, 256 | 256ull << 32}, {GS_TRXDIR, 0}}));
    EXPECT_EQ(transfers[1].tags.at(0).lo, 0x080000000000c000u);
    EXPECT_EQ(transfers[1].tags.at(0).hi, 0u);
    EXPECT_EQ(transfers[3].writes, (Writes{{GS_TEXFLUSH, 0x42}}));
    EXPECT_EQ(Wrong(kTextureBlock, 4, 0, 0, 256, 256), 0);
    EXPECT_TRUE(console.messages().empty());
}

TEST_F(Texture, ImagesGoInChunksOf16384QuadwordsTheOddPartFirst)
{
    struct Case {
        u32 width, height;
        std::vector<std::size_t> sizes;
    };
    // 65,540 pixels are 16,385 quadwords; of 25 pixels the 25th does not fill a quadword and is not sent.
    const Case cases[] = {{256, 256, {5, 1, 16384, 2}}, {32, 32, {5, 1, 256, 2}},
                          {290, 226, {5, 1, 1, 1, 16384, 2}}, {5, 5, {5, 1, 6, 2}}, {0, 7, {5, 2}}};
    for (const Case& c : cases) {
        std::vector<std::size_t> sizes;
        for (const auto& transfer : Upload(c.width, c.height)) sizes.push_back(transfer.size());
        EXPECT_EQ(sizes, c.sizes) << c.width << " x " << c.height;
    }

    // The chunks come straight from the pixels, in order.
    const auto gif = Upload(290, 226);
    ASSERT_EQ(gif.size(), 6u);
    EXPECT_EQ(gif[2][0].lo, Pixels[0] | u64{Pixels[1]} << 32);
    EXPECT_EQ(gif[4][0].lo, Pixels[4] | u64{Pixels[5]} << 32);
    EXPECT_EQ(gif[4].back().hi, Pixels[65538] | u64{Pixels[65539]} << 32);
}

TEST_F(Texture, SlotsAreTakenAndGivenBackLikeAStackOfTen)
{
    EXPECT_EQ(PS2TextureUpload(Pixels, 32, 32), 0);
    PS2TextureRelease(0);
    EXPECT_EQ(TextureSlots[0].width, 0u);
    EXPECT_EQ(PS2TextureUpload(Pixels, 32, 16), 0);
    EXPECT_EQ(PS2TextureUpload(Pixels, 16, 16), 1);
    PS2TextureRelease(1);
    PS2TextureRelease(0);
    // Nothing held and slots outside the table: nothing to give back.
    for (int slot : {0, -1, 10}) PS2TextureRelease(slot);
    EXPECT_EQ(TextureSlotCount, 0u);

    // A full table refuses the upload and sends nothing.
    for (int i = 0; i < 10; ++i) ASSERT_EQ(PS2TextureUpload(Pixels, 32, 32), i);
    console.clear();
    EXPECT_EQ(PS2TextureUpload(Pixels, 64, 64), -1);
    EXPECT_EQ(TextureSlotCount, 10u);
    EXPECT_TRUE(console.events().empty());
}

TEST(PS2Log2, GivesTheBitsOfNMinusOne)
{
    const std::pair<u16, u16> cases[] = {{1, 0}, {2, 1}, {32, 5}, {256, 8}, {300, 9}, {640, 10}, {0, 16}};
    for (const auto& [n, bits] : cases) EXPECT_EQ(PS2Log2(n), bits) << n;
}

TEST_F(Texture, TheSpriteDrawsTheTextureOneToOne)
{
    // Full alpha, so the blend leaves the texture's own colours.
    for (u32 i = 0; i < 32 * 32; ++i) Pixels[i] = 0x80000000u | (i * 0x010203u & 0xffffff);
    const int slot = PS2TextureUpload(Pixels, 32, 32);
    console.clear();
    PS2TextureSprite(slot, 100, 50);

    const auto sprite = OnlyPacket();
    EXPECT_EQ(sprite.qwc, 8u);
    const u64 tex0 = kTextureBlock | 5ull << 26 | 5ull << 30 | 1ull << 34 | 1ull << 35;
    EXPECT_EQ(sprite.writes, (Writes{{GS_ALPHA_1, 0x44}, {GS_TEX0_1, tex0}, {GS_PRIM, 0x156}, {GS_UV, 0},
                                     {GS_XYZ2, Xyz2(1124, 1074)}, {GS_UV, 512 | 512 << 16},
                                     {GS_XYZ2, Xyz2(1156, 1106)}}));
    const u32 frame = PS2GetDisplay()->drawBuffer / 256;
    EXPECT_EQ(Wrong(frame, 10, 100, 50, 32, 32), 0);
    EXPECT_EQ(DrawnPixel(132, 50), 0u);
}

} // namespace
