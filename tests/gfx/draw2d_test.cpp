#include <gtest/gtest.h>

#include <vector>

#include "gfx/draw2d.h"
#include "gfx/packet.h"
#include "tests/support/demo_display.h"

namespace {

using testing_support::GifTransfer;
using testing_support::Writes;
using testing_support::Xyz2;
using Draw2d = testing_support::DemoDisplayTest;

TEST_F(Draw2d, TheBandIsOneBlendedSprite)
{
    DrawFilledRect(0, 20, 640, 226, 0x777777);
    const GifTransfer band = OnlyPacket();
    EXPECT_EQ(band.qwc, 5u);
    EXPECT_EQ(band.writes, (Writes{{GS_PRIM, 0x46}, {GS_RGBAQ, 0x7F7F777777}, {GS_XYZ2, 0x0000FFFF41404000},
                                   {GS_XYZ2, 0x0000FFFF4E206800}}));
    // Grey at alpha 0x7f over black: 0x77 x 127 / 128 rounds down to 0x76.
    EXPECT_EQ(DrawnPixel(0, 20), 0x7f767676u);
    EXPECT_EQ(DrawnPixel(639, 225), 0x7f767676u);
    EXPECT_EQ(DrawnPixel(0, 19), 0u);
    EXPECT_EQ(DrawnPixel(320, 226), 0u);
}

TEST_F(Draw2d, LinesAndPointsSendRedFirstAndWrapNegativeCoordinatesLeftOfTheScreen)
{
    DrawLine(1, 2, 3, 4, 0x123456);
    EXPECT_EQ(OnlyPacket().writes, (Writes{{GS_PRIM, 1}, {GS_RGBAQ, 0x7F7F563412}, {GS_XYZ2, Xyz2(1025, 1026, 0xFFFF)},
                                           {GS_XYZ2, Xyz2(1027, 1028, 0xFFFF)}}));
    console.clear();
    DrawPoint(-5, 0, 0xffffff);
    const GifTransfer point = OnlyPacket();
    EXPECT_EQ(point.qwc, 4u);
    EXPECT_EQ(point.writes, (Writes{{GS_PRIM, 0}, {GS_RGBAQ, 0x7F7FFFFFFF}, {GS_XYZ2, Xyz2(1019, 1024, 0xFFFF)}}));
}

TEST_F(Draw2d, TheTexturedRectStretchesA32By32Texture)
{
    DrawTexturedRect(-10, 5, 100, 70000);
    const u64 tex0 = (0x3c0000 / 256) | 5ull << 26 | 5ull << 30 | 1ull << 34 | 1ull << 35;
    // 70000 is taken modulo 65536: 4464 more lines, beyond the 12.4 field, which keeps the low 16 bits.
    const u64 bottom = (1029 + 4464) * 16 & 0xffff;
    EXPECT_EQ(OnlyPacket().writes, (Writes{{GS_ALPHA_1, 0x44}, {GS_TEX0_1, tex0}, {GS_PRIM, 0x156}, {GS_UV, 0},
                                           {GS_XYZ2, Xyz2(1014, 1029)}, {GS_UV, 0x200 | 0x200 << 16},
                                           {GS_XYZ2, bottom << 16 | 1114 * 16}}));
}

TEST_F(Draw2d, TriangleListsSendRawCoordinatesWithoutTheDepthSwitch)
{
    const Vector3 vertices[] = {{1100.9f, 1050.5f, -1.5f}, {-3.0f, 1060.0f, 70000.0f}, {1200.0f, 1100.0f, 9.9f}};
    DrawTriangleList(vertices, 3);
    const auto transfers = console.transfers();
    ASSERT_EQ(transfers.size(), 1u);
    EXPECT_EQ(transfers[0].qwc, 6u);
    EXPECT_EQ(transfers[0].writes, (Writes{{GS_ZBUF_1, 0xA0000}, {GS_PRIM, 0xB}, {GS_XYZ2, Xyz2(1100, 1050, 0xFFFF)},
                                           {GS_XYZ2, Xyz2(0, 1060, 70000 & 0xffff)}, {GS_XYZ2, Xyz2(1200, 1100, 9)}}));

    console.clear();
    DrawTriangleList(nullptr, 0);
    EXPECT_EQ(console.transfers().at(0).qwc, 3u);
}

TEST_F(Draw2d, ALongTriangleListIsSplitAfterWholeTriangles)
{
    const u32 count = 18001;
    std::vector<Vector3> vertices(count);
    for (u32 i = 0; i < count; ++i) vertices[i] = {static_cast<float>(i % 4000), static_cast<float>(i / 4000), 1.0f};
    DrawTriangleList(vertices.data(), count);

    Writes kicks;
    const auto transfers = console.transfers();
    ASSERT_EQ(transfers.size(), 2u);
    for (const GifTransfer& t : transfers) {
        EXPECT_LE(t.qwc, PACKET_WORDS / 2);
        ASSERT_GE(t.writes.size(), 2u);
        EXPECT_EQ(Writes(t.writes.begin(), t.writes.begin() + 2), (Writes{{GS_ZBUF_1, 0xA0000}, {GS_PRIM, 0xB}}));
        EXPECT_EQ((t.writes.size() - 2) % 3, &t == &transfers.back() ? count % 3 : 0u);
        kicks.insert(kicks.end(), t.writes.begin() + 2, t.writes.end());
    }
    ASSERT_EQ(kicks.size(), count);
    for (u32 i = 0; i < count; ++i) ASSERT_EQ(kicks[i].value, Xyz2(i % 4000, i / 4000, 1)) << i;
}

} // namespace
