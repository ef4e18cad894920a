#include <algorithm>
#include <bit>
#include <vector>

#include "tests/console/gs_fixture.h"

namespace gs_test {
namespace {

// Red = x, green = y, blue 0x40, alpha 0x20 + x.
u32 Coordinates(u32 x, u32 y) { return (0x20 + x) << 24 | 0x40 << 16 | y << 8 | x; }

class Shading : public GsTest {
protected:
    // TEX0_1 for the 16 x 16 test texture (TBW 1) with the given function and TCC.
    static u64 Tex0(u32 tfx, bool tcc, u32 log2Size = 4)
    {
        return kTextureBlock | u64{1} << 14 | u64{log2Size} << 26 | u64{log2Size} << 30 | u64{tcc} << 34 |
               u64{tfx} << 35;
    }

    void texturedSprite(u64 tex0, u64 rgbaq, int x0, int y0, int x1, int y1, u64 uv0, u64 uv1)
    {
        AdPacket p;
        p.add(gs::TEX0_1, tex0).add(gs::PRIM, 0x116).add(gs::RGBAQ, rgbaq);
        p.add(gs::UV, uv0).add(gs::XYZ2, Xyz(x0, y0)).add(gs::UV, uv1).add(gs::XYZ2, Xyz(x1, y1));
        send(p.build());
    }
};

TEST_F(Shading, SpritesAndFlatTrianglesTakeTheColourOfTheLastVertex)
{
    AdPacket p;
    p.add(gs::PRIM, gs::SPRITE).add(gs::RGBAQ, Rgba(1, 2, 3, 4)).add(gs::XYZ2, Xyz(0, 0));
    p.add(gs::RGBAQ, Rgba(10, 20, 30, 40)).add(gs::XYZ2, Xyz(4, 4));
    p.add(gs::PRIM, gs::TRIANGLE).add(gs::RGBAQ, Rgba(1, 2, 3, 4)).add(gs::XYZ2, Xyz(10, 0));
    p.add(gs::RGBAQ, Rgba(5, 6, 7, 8)).add(gs::XYZ2, Xyz(20, 0));
    p.add(gs::RGBAQ, Rgba(50, 60, 70, 80)).add(gs::XYZ2, Xyz(10, 10));
    send(p.build());
    EXPECT_EQ(pixel(0, 0), 0x281E140Au);
    EXPECT_EQ(pixel(3, 3), 0x281E140Au);
    EXPECT_EQ(pixel(10, 0), 0x50463C32u);
    EXPECT_EQ(pixel(18, 0), 0x50463C32u);
    EXPECT_EQ(pixel(10, 9), 0x50463C32u);
}

TEST_F(Shading, GouraudInterpolatesAtPixelCentres)
{
    // Red = 2x, green = 2y, alpha = x + y over the triangle.
    AdPacket p;
    p.add(gs::PRIM, gs::TRIANGLE | 0x8);
    p.add(gs::RGBAQ, Rgba(0, 0, 9, 0)).add(gs::XYZ2, Xyz(0, 0));
    p.add(gs::RGBAQ, Rgba(200, 0, 9, 100)).add(gs::XYZ2, Xyz(100, 0));
    p.add(gs::RGBAQ, Rgba(0, 200, 9, 100)).add(gs::XYZ2, Xyz(0, 100));
    send(p.build());
    for (u32 y = 0; y < 100; y += 3)
        for (u32 x = 0; x + y < 100; x += 5)
            ASSERT_EQ(pixel(x, y), (x + y) << 24 | 9 << 16 | 2 * y << 8 | 2 * x) << x << "," << y;
    // Halfway between integer steps the value is truncated.
    send(AdPacket()
             .add(gs::RGBAQ, Rgba(0, 0, 0, 0)).add(gs::XYZ2, Xyz(0, 200))
             .add(gs::RGBAQ, Rgba(3, 0, 0, 0)).add(gs::XYZ2, Xyz(2, 200))
             .add(gs::RGBAQ, Rgba(0, 0, 0, 0)).add(gs::XYZ2, Xyz(0, 202))
             .build());
    EXPECT_EQ(pixel(1, 200) & 0xFF, 1u); // 1.5
}

TEST_F(Shading, NearestSamplingWithFstUv)
{
    putTexture(16, 16, 1, Coordinates);
    texturedSprite(Tex0(1, true), Rgba(0, 0, 0, 0), 0, 0, 16, 16, Uv(0, 0), Uv(16 * 16, 16 * 16));
    for (u32 y = 0; y < 16; ++y)
        for (u32 x = 0; x < 16; ++x) ASSERT_EQ(pixel(x, y), Coordinates(x, y));
    // Twice the size: each texel covers two pixels.
    texturedSprite(Tex0(1, true), Rgba(0, 0, 0, 0), 100, 0, 132, 32, Uv(0, 0), Uv(16 * 16, 16 * 16));
    for (u32 y = 0; y < 32; ++y)
        for (u32 x = 0; x < 32; ++x) ASSERT_EQ(pixel(100 + x, y), Coordinates(x / 2, y / 2));
    // Half a texel in: still the first texel at the left, floor of u.
    texturedSprite(Tex0(1, true), Rgba(0, 0, 0, 0), 200, 0, 216, 1, Uv(8, 0), Uv(16 * 16 + 8, 16));
    for (u32 x = 0; x < 16; ++x) ASSERT_EQ(pixel(200 + x, 0), Coordinates(x, 0));
}

TEST_F(Shading, SpriteTextureCoordinatesFollowTheCornersWhenReversed)
{
    putTexture(16, 16, 1, Coordinates);
    // The second vertex is left of and above the first: u and v run backwards.
    texturedSprite(Tex0(1, true), Rgba(0, 0, 0, 0), 16, 16, 0, 0, Uv(16 * 16, 16 * 16), Uv(0, 0));
    for (u32 y = 0; y < 16; ++y)
        for (u32 x = 0; x < 16; ++x) ASSERT_EQ(pixel(x, y), Coordinates(x, y));
}

TEST_F(Shading, WrapModes)
{
    putTexture(16, 16, 1, Coordinates);
    // REPEAT (the reset state): u = 0..48 shows the texture three times.
    texturedSprite(Tex0(1, true), 0, 0, 0, 48, 1, Uv(0, 0), Uv(48 * 16, 16));
    for (u32 x = 0; x < 48; ++x) ASSERT_EQ(pixel(x, 0), Coordinates(x & 15, 0));
    // CLAMP on u, REGION_CLAMP to rows 2..5 on v.
    write(gs::CLAMP_1, 1 | 2 << 2 | u64{2} << 24 | u64{5} << 34);
    texturedSprite(Tex0(1, true), 0, 0, 10, 48, 18, Uv(0, 0), Uv(48 * 16, 8 * 16));
    for (u32 y = 0; y < 8; ++y)
        for (u32 x = 0; x < 48; ++x) ASSERT_EQ(pixel(x, 10 + y), Coordinates(std::min(x, 15u), std::clamp(y, 2u, 5u)));
    // REGION_REPEAT: u' = (u & MINU) | MAXU.
    write(gs::CLAMP_1, 3 | 3 << 4 | 8 << 14);
    texturedSprite(Tex0(1, true), 0, 0, 20, 16, 21, Uv(0, 0), Uv(16 * 16, 16));
    for (u32 x = 0; x < 16; ++x) ASSERT_EQ(pixel(x, 20), Coordinates((x & 3) | 8, 0));
}

TEST_F(Shading, TextureFunctions)
{
    putTexture(16, 16, 1, [](u32, u32) { return 0x60C86432u; }); // A 0x60, B 200, G 100, R 50
    // DECAL: the texel; with TCC 0 the alpha is the vertex's.
    texturedSprite(Tex0(1, true), Rgba(1, 2, 3, 4), 0, 0, 1, 1, Uv(0, 0), Uv(16, 16));
    texturedSprite(Tex0(1, false), Rgba(1, 2, 3, 4), 1, 0, 2, 1, Uv(0, 0), Uv(16, 16));
    EXPECT_EQ(pixel(0, 0), 0x60C86432u);
    EXPECT_EQ(pixel(1, 0), 0x04C86432u);
    // MODULATE: texel x vertex / 128, clamped; the alpha too with TCC 1.
    texturedSprite(Tex0(0, true), Rgba(0x80, 0xFF, 0x40, 0x80), 2, 0, 3, 1, Uv(0, 0), Uv(16, 16));
    texturedSprite(Tex0(0, true), Rgba(0xFF, 0x40, 0xFF, 0xFF), 3, 0, 4, 1, Uv(0, 0), Uv(16, 16));
    texturedSprite(Tex0(0, false), Rgba(0x80, 0x80, 0x80, 0x33), 4, 0, 5, 1, Uv(0, 0), Uv(16, 16));
    EXPECT_EQ(pixel(2, 0), 0x6064C732u); // 50, 100 * 255 / 128 = 199, 200 * 64 / 128 = 100
    EXPECT_EQ(pixel(3, 0), 0xBFFF3263u); // 50 * 255 / 128 = 99, 50, 200 * 255 / 128 clamped, 0x60 * 255 / 128
    EXPECT_EQ(pixel(4, 0), 0x33C86432u);
}

TEST_F(Shading, TexturedTrianglesMapTexelsOneToOne)
{
    putTexture(16, 16, 1, Coordinates);
    AdPacket p;
    p.add(gs::TEX0_1, Tex0(1, true)).add(gs::PRIM, 0x113);
    p.add(gs::UV, Uv(0, 0)).add(gs::XYZ2, Xyz(0, 0));
    p.add(gs::UV, Uv(16 * 16, 0)).add(gs::XYZ2, Xyz(16, 0));
    p.add(gs::UV, Uv(0, 16 * 16)).add(gs::XYZ2, Xyz(0, 16));
    p.add(gs::UV, Uv(16 * 16, 16 * 16)).add(gs::XYZ2, Xyz(16, 16));
    send(p.build());
    for (u32 y = 0; y < 16; ++y)
        for (u32 x = 0; x + y < 16; ++x) ASSERT_EQ(pixel(x, y), Coordinates(x, y)) << x << "," << y;
    // The fourth vertex without a strip is the start of the next triangle: nothing more is drawn.
    EXPECT_EQ(pixel(15, 15), 0u);
}

TEST_F(Shading, StqDividesByQPerPixel)
{
    putTexture(16, 16, 1, Coordinates);
    // S and T run 0..2 with Q = 2: texel = S / Q * 16, one texel per pixel.
    auto st = [](float s, float t) { return std::bit_cast<u32>(s) | u64{std::bit_cast<u32>(t)} << 32; };
    const u64 q2 = u64{std::bit_cast<u32>(2.0f)} << 32;
    AdPacket p;
    p.add(gs::TEX0_1, Tex0(1, true)).add(gs::PRIM, 0x016).add(gs::RGBAQ, q2);
    p.add(gs::ST, st(0, 0)).add(gs::XYZ2, Xyz(0, 0)).add(gs::ST, st(2, 2)).add(gs::XYZ2, Xyz(16, 16));
    p.add(gs::PRIM, 0x013);
    p.add(gs::ST, st(0, 0)).add(gs::XYZ2, Xyz(20, 0));
    p.add(gs::ST, st(2, 0)).add(gs::XYZ2, Xyz(36, 0));
    p.add(gs::ST, st(0, 2)).add(gs::XYZ2, Xyz(20, 16));
    send(p.build());
    for (u32 y = 0; y < 16; ++y)
        for (u32 x = 0; x < 16; ++x) {
            ASSERT_EQ(pixel(x, y), Coordinates(x, y)) << x << "," << y;
            if (x + y < 16) {
                ASSERT_EQ(pixel(20 + x, y), Coordinates(x, y)) << x << "," << y;
            }
        }
}

// Alpha runs over the whole range, so blends both stay within and leave 0..255.
u32 VariedAlpha(u32 x, u32 y)
{
    return ((x * 37 + y * 11) & 0xFF) << 24 | (y * 16) << 16 | (x * 16) << 8 | (x ^ y) * 9;
}

// The specialised pixel loops must give what the general one gives: an alpha test that always
// passes forces the general loop without changing the result. Each primitive has a cell of its own,
// so no later one hides an earlier one.
TEST_F(Shading, SpecialisedPixelLoopsMatchTheGeneralOne)
{
    const u32 triangles[] = {0x1DB, 0x05B, 0x04B, 0x00B, 0x01B, 0x143};
    struct Sprite {
        u32 prim;
        int width, height;
    };
    // Big blended flat sprites go by table; small ones with As up to 0x80 skip the clamp.
    const Sprite sprites[] = {{0x156, 70, 64}, {0x116, 70, 64}, {0x046, 70, 64},
                              {0x006, 70, 64}, {0x046, 30, 20}, {0x046, 30, 20}};
    auto scene = [&](u64 test) {
        gs.memory().clear();
        putTexture(16, 16, 1, VariedAlpha);
        fill(640, 224, 0x80402010);
        AdPacket p;
        p.add(gs::TEST_1, test).add(gs::ALPHA_1, 0x44).add(gs::TEX0_1, Tex0(1, true));
        int cell = 0;
        auto corner = [&](int k, int x16, int y16) {
            const int cx = (cell % 4) * 150 * 16, cy = (cell / 4) * 72 * 16;
            p.add(gs::RGBAQ, Rgba(40 * k + 20, 200 - 50 * k + cell, 90, 0x30 + 0x28 * k + (cell % 2) * 0x60));
            p.add(gs::UV, Uv(37 * k * 16 + 5, (11 + 70 * k) % 250));
            p.add(gs::XYZ2, Xyz16(cx + x16, cy + y16, 0x1000 * (k + 1) + cell));
        };
        for (u32 prim : triangles) {
            p.add(gs::PRIM, prim);
            for (int k = 0; k < 3; ++k) corner(k, 13 + 431 * k + cell * 5, 27 + 333 * ((k + 1) % 3));
            ++cell;
        }
        for (const Sprite& sprite : sprites) {
            p.add(gs::PRIM, sprite.prim);
            corner(0, 21 + cell * 3, 9);
            corner(1, 21 + cell * 3 + sprite.width * 16 + 5, 9 + sprite.height * 16);
            ++cell;
        }
        send(p.build());
        std::vector<u32> words(2048 * 70 * 2);
        for (u32 i = 0; i < words.size() / 2; ++i) {
            words[i] = gs.memory().read(i);
            words[words.size() / 2 + i] = gs.memory().read(kZPage * 2048 + i);
        }
        return words;
    };
    for (u64 depth : {0x0ull, 0x30000ull, 0x50000ull, 0x70000ull}) {
        const auto fast = scene(depth);
        const auto general = scene(depth | 0x3); // ATE, ALWAYS
        ASSERT_EQ(fast, general) << std::hex << depth;
    }
}

// Drawing from the frame being drawn reads the pixels already drawn, one after the other: copying
// each pixel from its left neighbour smears the first one along the row.
TEST_F(Shading, ATextureOverlappingTheFrameIsReadAsItIsDrawn)
{
    const u64 frameAsTexture = u64{kFramePage * 32} | u64{kWidth / 64} << 14 | u64{10} << 26 | u64{9} << 30 |
                               u64{1} << 34 | u64{1} << 35;
    for (u64 test : {0x0ull, 0x3ull}) { // the DECAL loop, then the general one
        write(gs::TEST_1, test);
        for (u32 x = 0; x < 128; ++x) setPixel(x, 5, 0x11223344 + x);
        texturedSprite(frameAsTexture, 0, 1, 5, 100, 6, Uv(0, 5 * 16), Uv(99 * 16, 6 * 16));
        for (u32 x = 1; x < 100; ++x) ASSERT_EQ(pixel(x, 5), 0x11223344u) << x;
        EXPECT_EQ(pixel(100, 5), 0x11223344u + 100);
    }
}

// Register values a program should not send still draw something defined and never fault.
TEST_F(Shading, OutOfRangeTextureInputIsSafe)
{
    putTexture(16, 16, 1, Coordinates);
    auto st = [](float s, float t) { return std::bit_cast<u32>(s) | u64{std::bit_cast<u32>(t)} << 32; };
    const float nan = std::bit_cast<float>(0x7FC00000u), inf = std::bit_cast<float>(0x7F800000u);
    for (const float q : {0.0f, nan, inf, -0.0f, 1e-30f})
        for (const float s : {0.0f, nan, inf, -inf, 3e38f}) {
            AdPacket p;
            p.add(gs::TEX0_1, Tex0(1, true)).add(gs::RGBAQ, u64{std::bit_cast<u32>(q)} << 32);
            p.add(gs::PRIM, 0x016).add(gs::ST, st(s, s)).add(gs::XYZ2, Xyz(0, 0)).add(gs::XYZ2, Xyz(4, 4));
            p.add(gs::PRIM, 0x013).add(gs::XYZ2, Xyz(10, 0)).add(gs::ST, st(1, 1)).add(gs::XYZ2, Xyz(14, 0));
            p.add(gs::XYZ2, Xyz(10, 4));
            send(p.build());
        }
    // Region bounds the wrong way round, and sizes past 1024 texels.
    write(gs::CLAMP_1, 2 | 2 << 2 | 9 << 4 | 3 << 14 | u64{9} << 24 | u64{3} << 34);
    texturedSprite(Tex0(1, true), 0, 20, 0, 30, 10, Uv(0, 0), Uv(160, 160));
    texturedSprite(Tex0(1, true, 15), 0, 40, 0, 50, 10, Uv(0, 0), Uv(0x3FFF, 0x3FFF));
    EXPECT_EQ(gs.pixelsDrawn(), 25u * (16 + 10) + 2 * 100);
}

} // namespace
} // namespace gs_test
