#include "tests/console/gs_fixture.h"

namespace gs_test {
namespace {

constexpr u64 kDemoPmode = 0xff66;
constexpr u64 kDemoDispfb2 = 160 | 10 << 9; // FBP 160, FBW 10, PSMCT32
constexpr u64 kDemoDisplay2 = 0x001ff9ff01824290;

class Privileged : public GsTest {
protected:
    // Fills the w x h buffer of width fbw pages at page 160, shows it with these registers and returns the picture.
    template <class Value>
    console::Picture show(u32 fbw, u32 w, u32 h, Value value, u64 pmode, u64 dispfb2, u64 display2)
    {
        for (u32 y = 0; y < h; ++y)
            for (u32 x = 0; x < w; ++x) gs.memory().write(gs::kLayoutC32.address(160 * 32, fbw, x, y), value(x, y));
        gs.writePrivileged(gs::PMODE, pmode);
        gs.writePrivileged(gs::DISPFB2, dispfb2);
        gs.writePrivileged(gs::DISPLAY2, display2);
        console::Picture picture;
        gs.readPicture(picture);
        return picture;
    }
};

TEST_F(Privileged, VsintIsSetByTheBlankAndClearedByWritingOne)
{
    auto vsint = [&] { return (gs.readPrivileged(gs::CSR) & gs::kCsrVsint) != 0; };
    EXPECT_FALSE(vsint());
    gs.vblank();
    EXPECT_TRUE(vsint());
    gs.writePrivileged(gs::CSR, ~gs::kCsrVsint & 0x1F);
    EXPECT_TRUE(vsint());
    gs.writePrivileged(gs::CSR, gs::kCsrVsint);
    EXPECT_FALSE(vsint());
    gs.vblank();
    gs.vblank();
    gs.writePrivileged(gs::CSR, gs::kCsrVsint);
    EXPECT_FALSE(vsint()); // events do not queue up
}

TEST_F(Privileged, ResetRestoresTheRegistersButNotMemory)
{
    write({{gs::COLCLAMP, 0}, {gs::PRMODECONT, 0}, {gs::TEST_1, 0x30000}, {gs::ALPHA_1, 0x44}, {gs::PRIM, gs::SPRITE},
           {gs::RGBAQ, Rgba(9, 9, 9, 9)}, {gs::XYZ2, Xyz(0, 0)}, {gs::XYZ2, Xyz(4, 4)}});
    gs.writePrivileged(gs::PMODE, kDemoPmode);
    gs.writePrivileged(gs::CSR, gs::kCsrReset);
    const gs::Registers& r = gs.registers();
    EXPECT_TRUE(r.colclamp && r.prmodecont);
    EXPECT_FALSE(r.ctx[0].test.zte);
    EXPECT_EQ(r.ctx[0].alpha.d, 0);
    EXPECT_EQ(r.ctx[0].frame.fbw, 0u);
    EXPECT_EQ(r.raw[gs::TEST_1], 0u);
    EXPECT_EQ(pixel(3, 3), 0x09090909u);
}

TEST_F(Privileged, PictureShowsTheDemoBufferOneToOne)
{
    auto shade = [](u32 x, u32 y) { return (x * 7 + y * 13) & 0xFFFFFF; };
    const console::Picture picture = show(10, 640, 256, [&](u32 x, u32 y) { return shade(x, y) | (y & 0xFF) << 24; },
                                          kDemoPmode, kDemoDispfb2, kDemoDisplay2);
    ASSERT_EQ(picture.width, 640u);
    ASSERT_EQ(picture.height, 256u);
    for (u32 y = 0; y < 256; ++y)
        for (u32 x = 0; x < 640; ++x) ASSERT_EQ(picture.at(x, y), 0xFF000000u | shade(x, y)) << x << "," << y;
}

TEST_F(Privileged, PictureStartsAtDbxDbyAndMovesDownWithDy)
{
    const console::Picture picture = show(11, 700, 300, [](u32 x, u32 y) { return x | y << 12; }, kDemoPmode,
                                          160 | 11 << 9 | u64{30} << 32 | u64{20} << 43,
                                          (kDemoDisplay2 & ~(u64{0x7FF} << 12)) | u64{40} << 12);
    ASSERT_EQ(picture.width, 640u);
    EXPECT_EQ(picture.at(0, 0), 0xFF000000u);
    EXPECT_EQ(picture.at(639, 3), 0xFF000000u);
    EXPECT_EQ(picture.at(0, 4), 0xFF000000u | 30 | 20 << 12);
    EXPECT_EQ(picture.at(639, 255), 0xFF000000u | (30 + 639) | (20 + 251) << 12);
}

TEST_F(Privileged, PictureIsBlackWithBothCircuitsOff)
{
    gs.writePrivileged(gs::DISPFB1, kDemoDispfb2);
    gs.writePrivileged(gs::DISPLAY1, kDemoDisplay2);
    const console::Picture picture = show(10, 640, 256, [](u32, u32) { return 0xFFFFFFu; }, kDemoPmode & ~u64{3},
                                          kDemoDispfb2, kDemoDisplay2);
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
