#include <gtest/gtest.h>

#include <vector>

#include "console/gs/layout.h"
#include "gfx/display.h"
#include "gfx/draw2d.h"
#include "gfx/gs.h"
#include "gfx/packet.h"
#include "tests/support/recording_console.h"

namespace {

using testing_support::GifTransfer;
using testing_support::RegisterWrite;

constexpr DisplayInitParams kDemoParams = {1, 0x30, 5};
const std::vector<RegisterWrite> kDepthOff = {{GS_TEST_1, 0x30000}};
const std::vector<RegisterWrite> kDepthOn = {{GS_ZBUF_1, 0x30000000}, {GS_TEST_1, 0x70000}};

class Draw2dTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        PS2Init(&kDemoParams);
        console.clear();
    }

    // The one packet of a bracketed primitive, after checking the depth switches around it.
    GifTransfer Bracketed()
    {
        const auto transfers = console.transfers();
        EXPECT_EQ(transfers.size(), 3u);
        if (transfers.size() != 3) return {};
        EXPECT_EQ(transfers[0].writes, kDepthOff);
        EXPECT_EQ(transfers[2].writes, kDepthOn);
        return transfers[1];
    }

    u32 Pixel(u32 x, u32 y)
    {
        return console.gs().memory().read(gs::kLayoutC32.address(PS2GetDisplay()->drawBuffer / 256, 10, x, y));
    }

    testing_support::RecordingConsole console;
};

TEST_F(Draw2dTest, TheBandIsOneBlendedSprite)
{
    DrawFilledRect(0, 20, 640, 226, 0x777777);
    const GifTransfer band = Bracketed();
    EXPECT_EQ(band.qwc, 5u);
    EXPECT_EQ(band.tags[0].lo, PS2GifTagPacked(4));
    EXPECT_EQ(band.writes, (std::vector<RegisterWrite>{{GS_PRIM, 0x46},
                                                       {GS_RGBAQ, 0x7F7F777777},
                                                       {GS_XYZ2, 0x0000FFFF41404000},
                                                       {GS_XYZ2, 0x0000FFFF4E206800}}));
    // Grey at alpha 0x7f over black: 0x77 x 127 / 128 rounds down to 0x76.
    EXPECT_EQ(Pixel(0, 20), 0x7f767676u);
    EXPECT_EQ(Pixel(639, 225), 0x7f767676u);
    EXPECT_EQ(Pixel(0, 19), 0u);
    EXPECT_EQ(Pixel(320, 226), 0u);
}

TEST_F(Draw2dTest, ColoursGoRedFirstWithAlphaAndQ7F)
{
    DrawLine(1, 2, 3, 4, 0x123456);
    EXPECT_EQ(Bracketed().writes, (std::vector<RegisterWrite>{{GS_PRIM, 1},
                                                              {GS_RGBAQ, 0x7F7F563412},
                                                              {GS_XYZ2, 0xFFFF00000000 | 1026 * 16 << 16 | 1025 * 16},
                                                              {GS_XYZ2, 0xFFFF00000000 | 1028 * 16 << 16 | 1027 * 16}}));
}

TEST_F(Draw2dTest, NegativeCoordinatesWrapLeftOfTheScreen)
{
    DrawPoint(-5, 0, 0xffffff);
    const GifTransfer point = Bracketed();
    EXPECT_EQ(point.qwc, 4u);
    ASSERT_EQ(point.writes.size(), 3u);
    EXPECT_EQ(point.writes[0], (RegisterWrite{GS_PRIM, 0}));
    EXPECT_EQ(point.writes[2], (RegisterWrite{GS_XYZ2, 0xFFFF00000000 | 1024 * 16 << 16 | 1019 * 16}));
}

TEST_F(Draw2dTest, TheTexturedRectStretchesA32By32Texture)
{
    DrawTexturedRect(-10, 5, 100, 70000);
    const u64 tex0 = (0x3c0000 / 256) | 5ull << 26 | 5ull << 30 | 1ull << 34 | 1ull << 35;
    // 70000 is taken modulo 65536: 4464 more lines, beyond the 12.4 field, which keeps the low 16 bits.
    const u64 bottom = (1029 + 4464) * 16 & 0xffff;
    EXPECT_EQ(Bracketed().writes, (std::vector<RegisterWrite>{{GS_ALPHA_1, 0x44},
                                                              {GS_TEX0_1, tex0},
                                                              {GS_PRIM, 0x156},
                                                              {GS_UV, 0},
                                                              {GS_XYZ2, 1029 * 16 << 16 | 1014 * 16},
                                                              {GS_UV, 0x200 | 0x200 << 16},
                                                              {GS_XYZ2, bottom << 16 | 1114 * 16}}));
}

TEST_F(Draw2dTest, TriangleListsSendRawCoordinatesWithoutTheDepthSwitch)
{
    const Vector3 vertices[] = {{1100.9f, 1050.5f, -1.5f}, {-3.0f, 1060.0f, 70000.0f}, {1200.0f, 1100.0f, 9.9f}};
    DrawTriangleList(vertices, 3);
    const auto transfers = console.transfers();
    ASSERT_EQ(transfers.size(), 1u);
    EXPECT_EQ(transfers[0].qwc, 6u);
    EXPECT_EQ(transfers[0].writes, (std::vector<RegisterWrite>{{GS_ZBUF_1, 0xA0000},
                                                               {GS_PRIM, 0xB},
                                                               {GS_XYZ2, 0xFFFF00000000 | 1050 * 16 << 16 | 1100 * 16},
                                                               {GS_XYZ2, (70000ull & 0xffff) << 32 | 1060 * 16 << 16},
                                                               {GS_XYZ2, 9ull << 32 | 1100 * 16 << 16 | 1200 * 16}}));

    console.clear();
    DrawTriangleList(nullptr, 0);
    EXPECT_EQ(console.transfers().at(0).qwc, 3u);
}

// Vertices whose XYZ2 values are all different, so their order can be read back.
std::vector<Vector3> NumberedVertices(u32 count)
{
    std::vector<Vector3> vertices(count);
    for (u32 i = 0; i < count; ++i) vertices[i] = {static_cast<float>(i % 4000), static_cast<float>(i / 4000), 1.0f};
    return vertices;
}

TEST_F(Draw2dTest, ALongTriangleListIsSplitAfterWholeTriangles)
{
    const u32 count = 18001;
    const std::vector<Vector3> vertices = NumberedVertices(count);
    DrawTriangleList(vertices.data(), count);

    std::vector<RegisterWrite> kicks;
    const auto transfers = console.transfers();
    ASSERT_EQ(transfers.size(), 2u);
    for (const GifTransfer& t : transfers) {
        EXPECT_LE(t.qwc, PACKET_WORDS / 2);
        ASSERT_GE(t.writes.size(), 2u);
        EXPECT_EQ(t.writes[0], (RegisterWrite{GS_ZBUF_1, 0xA0000}));
        EXPECT_EQ(t.writes[1], (RegisterWrite{GS_PRIM, 0xB}));
        EXPECT_EQ((t.writes.size() - 2) % 3, &t == &transfers.back() ? count % 3 : 0u);
        kicks.insert(kicks.end(), t.writes.begin() + 2, t.writes.end());
    }
    ASSERT_EQ(kicks.size(), count);
    for (u32 i = 0; i < count; ++i)
        ASSERT_EQ(kicks[i].value, PS2GsXyz2(i % 4000 * 16, i / 4000 * 16, 1)) << i;
}

} // namespace
