#include "tests/console/gs_fixture.h"

namespace gs_test {
namespace {

class PixelOps : public GsTest {
protected:
    // A one-pixel sprite at (x, y).
    void dot(u32 x, u32 y, u64 rgbaq, u32 prim = gs::SPRITE, u32 z = 0)
    {
        send(AdPacket()
                 .add(gs::PRIM, prim)
                 .add(gs::RGBAQ, rgbaq)
                 .add(gs::XYZ2, Xyz(x, y, z))
                 .add(gs::XYZ2, Xyz(x + 1, y + 1, z))
                 .build());
    }
    static constexpr u32 kBlendedSprite = gs::SPRITE | 0x40;
};

TEST_F(PixelOps, BlendComputesAMinusBTimesCShiftedPlusD)
{
    write(gs::ALPHA_1, 0x44); // (Cs - Cd) * As >> 7 + Cd
    setPixel(0, 0, 0x7F00C864);
    dot(0, 0, Rgba(200, 100, 255, 0x40), kBlendedSprite);
    EXPECT_EQ(pixel(0, 0), 0x407F9696u); // 150, 150, 127 (255 * 64 / 128 = 127.5); alpha is As
    // The shift is arithmetic: -255 * 1 >> 7 is -2, not -1.
    setPixel(1, 0, 0x00FFFFFF);
    dot(1, 0, Rgba(0, 0, 0, 1), kBlendedSprite);
    EXPECT_EQ(pixel(1, 0), 0x01FDFDFDu);
    // C = Ad, the frame's alpha.
    write(gs::ALPHA_1, 0x54);
    setPixel(2, 0, 0x20000000 | 100);
    dot(2, 0, Rgba(228, 0, 0, 0x80), kBlendedSprite);
    EXPECT_EQ(pixel(2, 0), 0x80000000u | 132);
}

TEST_F(PixelOps, ColClampClampsOrWrapsBlendedColours)
{
    write(gs::ALPHA_1, 0x68 | u64{0xFF} << 32); // Cs * FIX(0xFF) >> 7 + Cd
    setPixel(0, 0, 100);
    dot(0, 0, Rgba(200, 0, 0, 0x80), kBlendedSprite);
    EXPECT_EQ(pixel(0, 0) & 0xFF, 255u); // 498 clamped (COLCLAMP is 1 after reset)
    write(gs::COLCLAMP, 0);
    setPixel(1, 0, 100);
    dot(1, 0, Rgba(200, 0, 0, 0x80), kBlendedSprite);
    EXPECT_EQ(pixel(1, 0) & 0xFF, 498u & 0xFF);
    // Below zero: 0 - Cs.
    write(gs::ALPHA_1, 0xA2 | u64{0x80} << 32);
    dot(2, 0, Rgba(100, 0, 0, 0x80), kBlendedSprite);
    EXPECT_EQ(pixel(2, 0) & 0xFF, 156u);
    write(gs::COLCLAMP, 1);
    dot(3, 0, Rgba(100, 0, 0, 0x80), kBlendedSprite);
    EXPECT_EQ(pixel(3, 0) & 0xFF, 0u);
}

TEST_F(PixelOps, PabeBlendsOnlyPixelsWithAlphaBitSeven)
{
    write(gs::ALPHA_1, 0x68 | u64{0x40} << 32); // Cs * FIX(0.5) + Cd
    write(gs::PABE, 1);
    setPixel(0, 0, 10);
    setPixel(1, 0, 10);
    dot(0, 0, Rgba(200, 0, 0, 0x7F), kBlendedSprite);
    dot(1, 0, Rgba(200, 0, 0, 0x80), kBlendedSprite);
    EXPECT_EQ(pixel(0, 0), 0x7F0000C8u);
    EXPECT_EQ(pixel(1, 0), 0x80000000u | 110);
}

struct DepthCase {
    u64 test;
    u32 z;
    bool drawn;
};

TEST_F(PixelOps, DepthTestsCompareUnsignedAndWriteWhenPassed)
{
    const DepthCase cases[] = {
        {0x10000, 0xFFFFFFFF, false}, // NEVER
        {0x30000, 0, true},           // ALWAYS
        {0x50000, 100, true},         // GEQUAL
        {0x50000, 99, false},
        {0x70000, 100, false},        // GREATER
        {0x70000, 101, true},
        {0x70000, 0x80000000, true},  // unsigned
    };
    for (const DepthCase& c : cases) {
        setPixel(0, 0, 0x11111111);
        setDepth(0, 0, 100);
        write(gs::TEST_1, c.test);
        dot(0, 0, Rgba(1, 2, 3, 4), gs::SPRITE, c.z);
        EXPECT_EQ(pixel(0, 0), c.drawn ? 0x04030201u : 0x11111111u) << std::hex << c.test << " " << c.z;
        EXPECT_EQ(depth(0, 0), c.drawn ? c.z : 100u) << std::hex << c.test << " " << c.z;
    }
}

TEST_F(PixelOps, ZmskAndZteZeroKeepTheDepthBuffer)
{
    setDepth(0, 0, 100);
    write(gs::TEST_1, 0x70000);
    write(gs::ZBUF_1, kZPage | u64{0x30} << 24 | u64{1} << 32); // ZMSK
    dot(0, 0, Rgba(1, 2, 3, 4), gs::SPRITE, 500);
    dot(1, 0, Rgba(1, 2, 3, 4), gs::SPRITE, 50);
    EXPECT_EQ(pixel(0, 0), 0x04030201u);
    EXPECT_EQ(depth(0, 0), 100u);
    EXPECT_EQ(depth(1, 0), 0u);
    // ZTE 0: drawn whatever the buffer holds, and the buffer is left alone.
    write(gs::ZBUF_1, kZPage | u64{0x30} << 24);
    write(gs::TEST_1, 0x40000); // ZTE 0 with ZTST GEQUAL
    setDepth(2, 0, 0xFFFFFFFF);
    dot(2, 0, Rgba(5, 6, 7, 8), gs::SPRITE, 3);
    EXPECT_EQ(pixel(2, 0), 0x08070605u);
    EXPECT_EQ(depth(2, 0), 0xFFFFFFFFu);
}

TEST_F(PixelOps, Z24ClampsIncomingDepth)
{
    write(gs::ZBUF_1, kZPage | u64{0x31} << 24);
    write(gs::TEST_1, 0x30000);
    dot(0, 0, Rgba(1, 2, 3, 4), gs::SPRITE, 0x12345678);
    EXPECT_EQ(depth(0, 0) & 0xFFFFFF, 0xFFFFFFu);
}

TEST_F(PixelOps, FrameMaskKeepsTheMaskedBits)
{
    write(gs::FRAME_1, kFramePage | (kWidth / 64) << 16 | u64{0xFF00FF00} << 32);
    setPixel(0, 0, 0x11223344);
    dot(0, 0, Rgba(0xDD, 0xCC, 0xBB, 0xAA));
    EXPECT_EQ(pixel(0, 0), 0x11BB33DDu);
}

TEST_F(PixelOps, FbaAndTwentyFourBitFramesTreatAlphaSpecially)
{
    write(gs::FBA_1, 1);
    dot(0, 0, Rgba(1, 2, 3, 0x10));
    EXPECT_EQ(pixel(0, 0), 0x90030201u);
    write(gs::FBA_1, 0);
    // PSMCT24: bits 24-31 stay; for blending Ad reads as 0x80.
    write(gs::FRAME_1, kFramePage | (kWidth / 64) << 16 | u64{gs::PSMCT24} << 24);
    setPixel(1, 0, 0x7F000064);
    write(gs::ALPHA_1, 0x54);
    dot(1, 0, Rgba(200, 0, 0, 0x10), kBlendedSprite);
    EXPECT_EQ(pixel(1, 0), 0x7F0000C8u);
}

TEST_F(PixelOps, AlphaTestComparesSourceAlpha)
{
    const bool passes[8] = {false, true, false, true, true, true, false, false}; // NEVER .. NOTEQUAL, 0x80 vs 0x80
    for (u32 atst = 0; atst < 8; ++atst) {
        setPixel(0, 0, 0);
        write(gs::TEST_1, 1 | atst << 1 | 0x80 << 4);
        dot(0, 0, Rgba(1, 2, 3, 0x80));
        EXPECT_EQ(pixel(0, 0) != 0, passes[atst]) << atst;
    }
    // LESS than 0x81 passes 0x80.
    setPixel(0, 0, 0);
    write(gs::TEST_1, 1 | 2 << 1 | 0x81 << 4);
    dot(0, 0, Rgba(1, 2, 3, 0x80));
    EXPECT_NE(pixel(0, 0), 0u);
}

struct AfailCase {
    u32 afail;
    u32 frame;
    u32 z;
};

TEST_F(PixelOps, AlphaFailModesChooseWhatIsWritten)
{
    const AfailCase cases[] = {
        {0, 0x11223344, 5},  // KEEP
        {1, 0x90CCBBAA, 5},  // FB_ONLY
        {2, 0x11223344, 77}, // ZB_ONLY
        {3, 0x11CCBBAA, 5},  // RGB_ONLY
    };
    for (const AfailCase& c : cases) {
        setPixel(0, 0, 0x11223344);
        setDepth(0, 0, 5);
        write(gs::TEST_1, 1 | 2 << 1 | 0x80 << 4 | c.afail << 12 | 0x30000); // alpha LESS 0x80, depth ALWAYS
        dot(0, 0, Rgba(0xAA, 0xBB, 0xCC, 0x90), gs::SPRITE, 77);
        EXPECT_EQ(pixel(0, 0), c.frame) << c.afail;
        EXPECT_EQ(depth(0, 0), c.z) << c.afail;
    }
    // A failed depth test writes nothing even for ZB_ONLY.
    setDepth(0, 0, 1000);
    write(gs::TEST_1, 1 | 2 << 1 | 0x80 << 4 | 2 << 12 | 0x70000);
    dot(0, 0, Rgba(0xAA, 0xBB, 0xCC, 0x90), gs::SPRITE, 77);
    EXPECT_EQ(depth(0, 0), 1000u);
}

TEST_F(PixelOps, DestinationAlphaTestReadsBitSevenOfTheFrameAlpha)
{
    setPixel(0, 0, 0x80000000);
    setPixel(1, 0, 0x7F000000);
    write(gs::TEST_1, 1 << 14); // DATE, DATM 0: pass where the bit is 0
    dot(0, 0, Rgba(1, 1, 1, 1));
    dot(1, 0, Rgba(1, 1, 1, 1));
    EXPECT_EQ(pixel(0, 0), 0x80000000u);
    EXPECT_EQ(pixel(1, 0), 0x01010101u);
}

} // namespace
} // namespace gs_test
