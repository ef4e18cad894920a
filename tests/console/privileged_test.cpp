#include "tests/console/gs_fixture.h"

namespace gs_test {
namespace {

constexpr u64 kDemoPmode = 0xff66;
constexpr u64 kDemoDispfb2 = 160 | 10 << 9; // FBP 160, FBW 10, PSMCT32
constexpr u64 kDemoDisplay2 = 0x001ff9ff01824290;

using Privileged = GsTest;

u32 Shade(u32 x, u32 y) { return (x * 7 + y * 13) & 0xFFFFFF; }

TEST_F(Privileged, VsintIsSetByTheBlankAndClearedByWritingOne)
{
    EXPECT_EQ(gs.readPrivileged(gs::CSR) & gs::kCsrVsint, 0u);
    gs.vblank();
    EXPECT_NE(gs.readPrivileged(gs::CSR) & gs::kCsrVsint, 0u);
    gs.writePrivileged(gs::CSR, 0);
    gs.writePrivileged(gs::CSR, ~gs::kCsrVsint & 0x1F);
    EXPECT_NE(gs.readPrivileged(gs::CSR) & gs::kCsrVsint, 0u);
    gs.writePrivileged(gs::CSR, gs::kCsrVsint);
    EXPECT_EQ(gs.readPrivileged(gs::CSR) & gs::kCsrVsint, 0u);
    gs.vblank();
    gs.vblank();
    gs.writePrivileged(gs::CSR, gs::kCsrVsint);
    EXPECT_EQ(gs.readPrivileged(gs::CSR) & gs::kCsrVsint, 0u); // events do not queue up
}

TEST_F(Privileged, ResetRestoresTheRegistersButNotMemory)
{
    AdPacket p;
    p.add(gs::COLCLAMP, 0).add(gs::PRMODECONT, 0).add(gs::TEST_1, 0x30000).add(gs::ALPHA_1, 0x44);
    p.add(gs::PRIM, gs::SPRITE).add(gs::RGBAQ, Rgba(9, 9, 9, 9)).add(gs::XYZ2, Xyz(0, 0)).add(gs::XYZ2, Xyz(4, 4));
    send(p.build());
    gs.writePrivileged(gs::PMODE, kDemoPmode);
    ASSERT_EQ(pixel(3, 3), 0x09090909u);

    gs.writePrivileged(gs::CSR, gs::kCsrReset);
    const gs::Registers& r = gs.registers();
    EXPECT_TRUE(r.colclamp);
    EXPECT_TRUE(r.prmodecont);
    EXPECT_FALSE(r.ctx[0].test.zte);
    EXPECT_EQ(r.ctx[0].alpha.d, 0);
    EXPECT_EQ(r.ctx[0].frame.fbw, 0u);
    EXPECT_EQ(r.raw[gs::TEST_1], 0u);
    EXPECT_EQ(pixel(3, 3), 0x09090909u);
}

TEST_F(Privileged, PictureShowsTheDemoBufferOneToOne)
{
    for (u32 y = 0; y < 256; ++y)
        for (u32 x = 0; x < 640; ++x)
            gs.memory().write(gs::kLayoutC32.address(160 * 32, 10, x, y), Shade(x, y) | (y & 0xFF) << 24);
    gs.writePrivileged(gs::PMODE, kDemoPmode);
    gs.writePrivileged(gs::DISPFB2, kDemoDispfb2);
    gs.writePrivileged(gs::DISPLAY2, kDemoDisplay2);
    console::Picture picture;
    gs.readPicture(picture);
    ASSERT_EQ(picture.width, 640u);
    ASSERT_EQ(picture.height, 256u);
    for (u32 y = 0; y < 256; ++y)
        for (u32 x = 0; x < 640; ++x) ASSERT_EQ(picture.at(x, y), 0xFF000000u | Shade(x, y)) << x << "," << y;
}

TEST_F(Privileged, PictureStartsAtDbxDbyAndMovesDownWithDy)
{
    for (u32 y = 0; y < 300; ++y)
        for (u32 x = 0; x < 700; ++x) gs.memory().write(gs::kLayoutC32.address(160 * 32, 11, x, y), x | y << 12);
    gs.writePrivileged(gs::PMODE, kDemoPmode);
    gs.writePrivileged(gs::DISPFB2, 160 | 11 << 9 | u64{30} << 32 | u64{20} << 43);
    gs.writePrivileged(gs::DISPLAY2, (kDemoDisplay2 & ~(u64{0x7FF} << 12)) | u64{40} << 12);
    console::Picture picture;
    gs.readPicture(picture);
    ASSERT_EQ(picture.width, 640u);
    EXPECT_EQ(picture.at(0, 0), 0xFF000000u);
    EXPECT_EQ(picture.at(639, 3), 0xFF000000u);
    EXPECT_EQ(picture.at(0, 4), 0xFF000000u | 30 | 20 << 12);
    EXPECT_EQ(picture.at(639, 255), 0xFF000000u | (30 + 639) | (20 + 251) << 12);
}

TEST_F(Privileged, PictureIsBlackWithBothCircuitsOff)
{
    for (u32 y = 0; y < 256; ++y)
        for (u32 x = 0; x < 640; ++x) gs.memory().write(gs::kLayoutC32.address(160 * 32, 10, x, y), 0xFFFFFF);
    gs.writePrivileged(gs::DISPFB1, kDemoDispfb2);
    gs.writePrivileged(gs::DISPLAY1, kDemoDisplay2);
    gs.writePrivileged(gs::DISPFB2, kDemoDispfb2);
    gs.writePrivileged(gs::DISPLAY2, kDemoDisplay2);
    gs.writePrivileged(gs::PMODE, kDemoPmode & ~u64{3});
    console::Picture picture;
    gs.readPicture(picture);
    ASSERT_EQ(picture.width * picture.height, 640u * 256);
    for (u32 p : picture.pixels) ASSERT_EQ(p, 0xFF000000u);
}

TEST_F(Privileged, UnknownOffsetsAreRefusedWithAMessage)
{
    gs.writePrivileged(0x0F00, 1);
    EXPECT_TRUE(log.mentions("0xf00"));
    EXPECT_EQ(gs.readPrivileged(gs::PMODE), 0u); // write-only
}

} // namespace
} // namespace gs_test
