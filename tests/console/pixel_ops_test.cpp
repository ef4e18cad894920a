#include "tests/console/gs_fixture.h"

namespace gs_test {
namespace {

const char* Shape(u32 prim) { return prim == gs::SPRITE ? " (sprite)" : " (triangle)"; }

class PixelOps : public GsTest {
protected:
    // Draws pixel (x, y) alone with a flat sprite or a Gouraud triangle, alpha-blended or not.
    void dot(u32 x, u32 y, u64 rgbaq, bool blend = false, u32 z = 0, u32 prim = gs::SPRITE)
    {
        const bool triangle = prim == gs::TRIANGLE;
        Writes w{{gs::PRIM, prim | (blend ? 0x40u : 0u) | (triangle ? 0x8u : 0u)}, {gs::RGBAQ, rgbaq},
                 {gs::XYZ2, Xyz(x, y, z)}, {gs::XYZ2, Xyz(x + 1, y + (triangle ? 0 : 1), z)}};
        if (triangle) w.push_back({gs::XYZ2, Xyz(x, y + 1, z)});
        write(w);
    }
};

TEST_F(PixelOps, BlendClampAndFrameWritesGiveTheDocumentedWord)
{
    const u64 ct24 = kFramePage | (kWidth / 64) << 16 | u64{gs::PSMCT24} << 24;
    const u64 masked = kFramePage | (kWidth / 64) << 16 | u64{0xFF00FF00} << 32;
    const struct {
        const char* what;
        Writes setup;
        u32 before;
        u64 colour;
        bool blend;
        u32 after;
    } cases[] = {
        // 150, 150, 127 (255 * 64 / 128 = 127.5); the alpha is As.
        {"(Cs - Cd) * As >> 7 + Cd", {{gs::ALPHA_1, 0x44}}, 0x7F00C864, Rgba(200, 100, 255, 0x40), true, 0x407F9696},
        {"-255 * 1 >> 7 is -2", {{gs::ALPHA_1, 0x44}}, 0x00FFFFFF, Rgba(0, 0, 0, 1), true, 0x01FDFDFD},
        {"C = Ad, -101 * 0x20 >> 7 is -26", {{gs::ALPHA_1, 0x54}}, 0x20000065, Rgba(0, 0, 0, 0x80), true, 0x8000004B},
        {"498 clamped", {{gs::ALPHA_1, 0x68 | u64{0xFF} << 32}}, 100, Rgba(200, 0, 0, 0x80), true, 0x800000FF},
        {"498 wrapped", {{gs::ALPHA_1, 0x68 | u64{0xFF} << 32}, {gs::COLCLAMP, 0}}, 100, Rgba(200, 0, 0, 0x80), true,
         0x800000F2},
        {"0 - Cs wrapped", {{gs::ALPHA_1, 0xA2 | u64{0x80} << 32}, {gs::COLCLAMP, 0}}, 0, Rgba(100, 0, 0, 0x80), true,
         0x8000009C},
        {"0 - Cs clamped", {{gs::ALPHA_1, 0xA2 | u64{0x80} << 32}}, 0, Rgba(100, 0, 0, 0x80), true, 0x80000000},
        {"PABE, As 0x7F", {{gs::ALPHA_1, 0x68 | u64{0x40} << 32}, {gs::PABE, 1}}, 10, Rgba(200, 0, 0, 0x7F), true,
         0x7F0000C8},
        {"PABE, As 0x80", {{gs::ALPHA_1, 0x68 | u64{0x40} << 32}, {gs::PABE, 1}}, 10, Rgba(200, 0, 0, 0x80), true,
         0x8000006E},
        {"PSMCT24 keeps bits 24-31, Ad reads 0x80", {{gs::FRAME_1, ct24}, {gs::ALPHA_1, 0x54}}, 0x7F000064,
         Rgba(200, 0, 0, 0x10), true, 0x7F0000C8},
        {"FBMSK", {{gs::FRAME_1, masked}}, 0x11223344, Rgba(0xDD, 0xCC, 0xBB, 0xAA), false, 0x11BB33DD},
        {"FBA", {{gs::FBA_1, 1}}, 0, Rgba(1, 2, 3, 0x10), false, 0x90030201},
        {"DATE, DATM 0, bit set", {{gs::TEST_1, 1 << 14}}, 0x80000000, Rgba(1, 1, 1, 1), false, 0x80000000},
        {"DATE, DATM 0, bit clear", {{gs::TEST_1, 1 << 14}}, 0x7F000000, Rgba(1, 1, 1, 1), false, 0x01010101},
    };
    for (const auto& c : cases)
        for (const u32 prim : {gs::SPRITE, gs::TRIANGLE}) { // the fast loops and the per-pixel one
            write({{gs::FRAME_1, kFramePage | (kWidth / 64) << 16}, {gs::ALPHA_1, 0}, {gs::COLCLAMP, 1},
                   {gs::PABE, 0}, {gs::FBA_1, 0}, {gs::TEST_1, 0}});
            write(c.setup);
            setPixel(0, 0, c.before);
            setPixel(1, 0, 0x5A5A5A5A);
            dot(0, 0, c.colour, c.blend, 0, prim);
            EXPECT_EQ(pixel(0, 0), c.after) << c.what << Shape(prim);
            EXPECT_EQ(pixel(1, 0), 0x5A5A5A5Au) << c.what << Shape(prim);
        }
}

TEST_F(PixelOps, DepthTestsCompareUnsignedAndWriteWhenPassedAndAllowed)
{
    const u64 zmsk = kZPage | u64{0x30} << 24 | u64{1} << 32;
    const struct {
        u64 test, zbuf;
        u32 z;
        bool drawn;
        u32 after;
    } cases[] = {
        {0x10000, 0, 0xFFFFFFFF, false, 100}, // NEVER
        {0x30000, 0, 0, true, 0},             // ALWAYS
        {0x50000, 0, 100, true, 100},         // GEQUAL
        {0x50000, 0, 99, false, 100},
        {0x70000, 0, 100, false, 100},        // GREATER
        {0x70000, 0, 101, true, 101},
        {0x70000, 0, 0x80000000, true, 0x80000000}, // unsigned
        {0x70000, zmsk, 500, true, 100},      // ZMSK
        {0x40000, 0, 3, true, 100},           // ZTE 0 with ZTST GEQUAL: drawn, buffer left alone
    };
    for (const auto& c : cases)
        for (const u32 prim : {gs::SPRITE, gs::TRIANGLE}) {
            setPixel(0, 0, 0x11111111);
            setDepth(0, 0, 100);
            write({{gs::TEST_1, c.test}, {gs::ZBUF_1, c.zbuf ? c.zbuf : kZPage | u64{0x30} << 24}});
            dot(0, 0, Rgba(1, 2, 3, 4), false, c.z, prim);
            const u32 want = c.drawn ? 0x04030201u : 0x11111111u;
            EXPECT_EQ(pixel(0, 0), want) << std::hex << c.test << ' ' << c.z << Shape(prim);
            EXPECT_EQ(depth(0, 0), c.after) << std::hex << c.test << ' ' << c.z << Shape(prim);
        }
    // Z24 clamps the incoming depth.
    write({{gs::ZBUF_1, kZPage | u64{0x31} << 24}, {gs::TEST_1, 0x30000}});
    dot(0, 0, Rgba(1, 2, 3, 4), false, 0x12345678);
    EXPECT_EQ(depth(0, 0) & 0xFFFFFF, 0xFFFFFFu);
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
    write(gs::TEST_1, 1 | 2 << 1 | 0x81 << 4);
    dot(0, 0, Rgba(1, 2, 3, 0x80));
    EXPECT_NE(pixel(0, 0), 0u);
}

TEST_F(PixelOps, AlphaFailModesChooseWhatIsWritten)
{
    const struct {
        u32 afail;
        u64 ztst;
        u32 frame, z;
    } cases[] = {
        {0, 0x30000, 0x11223344, 5},  // KEEP
        {1, 0x30000, 0x90CCBBAA, 5},  // FB_ONLY
        {2, 0x30000, 0x11223344, 77}, // ZB_ONLY
        {3, 0x30000, 0x11CCBBAA, 5},  // RGB_ONLY
        {2, 0x10000, 0x11223344, 5},  // ZB_ONLY with a failed depth test writes nothing
    };
    for (const auto& c : cases) {
        setPixel(0, 0, 0x11223344);
        setDepth(0, 0, 5);
        write(gs::TEST_1, 1 | 2 << 1 | 0x80 << 4 | c.afail << 12 | c.ztst); // alpha LESS 0x80
        dot(0, 0, Rgba(0xAA, 0xBB, 0xCC, 0x90), false, 77);
        EXPECT_EQ(pixel(0, 0), c.frame) << c.afail;
        EXPECT_EQ(depth(0, 0), c.z) << c.afail;
    }
}

} // namespace
} // namespace gs_test
