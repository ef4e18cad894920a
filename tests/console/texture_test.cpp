#include <algorithm>
#include <bit>
#include <vector>

#include "tests/console/gs_fixture.h"

namespace gs_test {
namespace {

// Red = x, green = y, blue 0x40, alpha 0x20 + x.
u32 Coordinates(u32 x, u32 y) { return (0x20 + x) << 24 | 0x40 << 16 | y << 8 | x; }

u64 St(float s, float t) { return std::bit_cast<u32>(s) | u64{std::bit_cast<u32>(t)} << 32; }

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
        write({{gs::TEX0_1, tex0}, {gs::PRIM, 0x116}, {gs::RGBAQ, rgbaq}, {gs::UV, uv0}, {gs::XYZ2, Xyz(x0, y0)},
               {gs::UV, uv1}, {gs::XYZ2, Xyz(x1, y1)}});
    }
};

TEST_F(Shading, FlatPrimitivesTakeTheColourOfTheLastVertexAndGouraudInterpolatesAtCentres)
{
    write({{gs::PRIM, gs::SPRITE}, {gs::RGBAQ, Rgba(1, 2, 3, 4)}, {gs::XYZ2, Xyz(0, 0)},
           {gs::RGBAQ, Rgba(10, 20, 30, 40)}, {gs::XYZ2, Xyz(4, 4)},
           {gs::PRIM, gs::TRIANGLE}, {gs::RGBAQ, Rgba(1, 2, 3, 4)}, {gs::XYZ2, Xyz(10, 0)},
           {gs::RGBAQ, Rgba(5, 6, 7, 8)}, {gs::XYZ2, Xyz(20, 0)}, {gs::RGBAQ, Rgba(50, 60, 70, 80)},
           {gs::XYZ2, Xyz(10, 10)}});
    expectFrame(0, 0, 4, 4, [](u32, u32) { return 0x281E140Au; });
    for (auto [x, y] : {std::pair{10u, 0u}, {18u, 0u}, {10u, 9u}}) EXPECT_EQ(pixel(x, y), 0x50463C32u);

    // Red = 2x, green = 2y, alpha = x + y over the triangle.
    write({{gs::PRIM, gs::TRIANGLE | 0x8}, {gs::RGBAQ, Rgba(0, 0, 9, 0)}, {gs::XYZ2, Xyz(0, 100)},
           {gs::RGBAQ, Rgba(200, 0, 9, 100)}, {gs::XYZ2, Xyz(100, 100)}, {gs::RGBAQ, Rgba(0, 200, 9, 100)},
           {gs::XYZ2, Xyz(0, 200)}});
    for (u32 y = 0; y < 100; y += 3)
        for (u32 x = 0; x + y < 100; x += 5)
            ASSERT_EQ(pixel(x, 100 + y), (x + y) << 24 | 9 << 16 | 2 * y << 8 | 2 * x) << x << "," << y;
    // Halfway between integer steps the value is truncated: 1.5 gives 1.
    write({{gs::RGBAQ, Rgba(0, 0, 0, 0)}, {gs::XYZ2, Xyz(0, 300)}, {gs::RGBAQ, Rgba(3, 0, 0, 0)},
           {gs::XYZ2, Xyz(2, 300)}, {gs::RGBAQ, Rgba(0, 0, 0, 0)}, {gs::XYZ2, Xyz(0, 302)}});
    EXPECT_EQ(pixel(1, 300) & 0xFF, 1u);
}

TEST_F(Shading, NearestSamplingWithFstUv)
{
    putTexture(16, 16, 1, Coordinates);
    const struct {
        int x0, y0, x1, y1;
        u64 uv0, uv1;
        u32 w, h, scale;
    } cases[] = {
        {0, 0, 16, 16, Uv(0, 0), Uv(256, 256), 16, 16, 1},
        {100, 0, 132, 32, Uv(0, 0), Uv(256, 256), 32, 32, 2},   // each texel covers two pixels
        {200, 0, 216, 1, Uv(8, 0), Uv(264, 16), 16, 1, 1},      // half a texel in: floor of u
        {316, 16, 300, 0, Uv(256, 256), Uv(0, 0), 16, 16, 1},   // corners reversed: u and v run backwards too
    };
    for (const auto& c : cases) {
        texturedSprite(Tex0(1, true), 0, c.x0, c.y0, c.x1, c.y1, c.uv0, c.uv1);
        expectFrame(std::min(c.x0, c.x1), std::min(c.y0, c.y1), c.w, c.h,
                    [&](u32 x, u32 y) { return Coordinates(x / c.scale, y / c.scale); });
    }
}

TEST_F(Shading, WrapModes)
{
    putTexture(16, 16, 1, Coordinates);
    // REPEAT (the reset state): u = 0..48 shows the texture three times.
    texturedSprite(Tex0(1, true), 0, 0, 0, 48, 1, Uv(0, 0), Uv(48 * 16, 16));
    expectFrame(0, 0, 48, 1, [](u32 x, u32) { return Coordinates(x & 15, 0); });
    // CLAMP on u, REGION_CLAMP to rows 2..5 on v.
    write(gs::CLAMP_1, 1 | 2 << 2 | u64{2} << 24 | u64{5} << 34);
    texturedSprite(Tex0(1, true), 0, 0, 10, 48, 18, Uv(0, 0), Uv(48 * 16, 8 * 16));
    expectFrame(0, 10, 48, 8, [](u32 x, u32 y) { return Coordinates(std::min(x, 15u), std::clamp(y, 2u, 5u)); });
    // REGION_REPEAT: u' = (u & MINU) | MAXU.
    write(gs::CLAMP_1, 3 | 3 << 4 | 8 << 14);
    texturedSprite(Tex0(1, true), 0, 0, 20, 16, 21, Uv(0, 0), Uv(16 * 16, 16));
    expectFrame(0, 20, 16, 1, [](u32 x, u32) { return Coordinates((x & 3) | 8, 0); });
}

TEST_F(Shading, TextureFunctions)
{
    putTexture(16, 16, 1, [](u32, u32) { return 0x60C86432u; }); // A 0x60, B 200, G 100, R 50
    const struct {
        u32 tfx;
        bool tcc;
        u64 colour;
        u32 want;
    } cases[] = {
        {1, true, Rgba(1, 2, 3, 4), 0x60C86432},           // DECAL: the texel
        {1, false, Rgba(1, 2, 3, 4), 0x04C86432},          // with TCC 0 the alpha is the vertex's
        {0, true, Rgba(0x80, 0xFF, 0x40, 0x80), 0x6064C732}, // MODULATE: 50, 100 * 255 / 128, 200 * 64 / 128
        {0, true, Rgba(0xFF, 0x40, 0xFF, 0xFF), 0xBFFF3263}, // 99, 50, clamped, 0x60 * 255 / 128
        {0, false, Rgba(0x80, 0x80, 0x80, 0x33), 0x33C86432},
    };
    for (const auto& c : cases) {
        texturedSprite(Tex0(c.tfx, c.tcc), c.colour, 0, 0, 1, 1, Uv(0, 0), Uv(16, 16));
        EXPECT_EQ(pixel(0, 0), c.want) << std::hex << c.colour;
    }
}

TEST_F(Shading, TexturedTrianglesMapTexelsOneToOneWithUvOrStq)
{
    putTexture(16, 16, 1, Coordinates);
    // UV, then S and T running 0..2 with Q = 2: texel = S / Q * 16. A fourth vertex without a strip
    // starts the next triangle and draws nothing.
    write({{gs::TEX0_1, Tex0(1, true)}, {gs::PRIM, 0x113}, {gs::UV, Uv(0, 0)}, {gs::XYZ2, Xyz(0, 0)},
           {gs::UV, Uv(256, 0)}, {gs::XYZ2, Xyz(16, 0)}, {gs::UV, Uv(0, 256)}, {gs::XYZ2, Xyz(0, 16)},
           {gs::UV, Uv(256, 256)}, {gs::XYZ2, Xyz(16, 16)},
           {gs::PRIM, 0x013}, {gs::RGBAQ, u64{std::bit_cast<u32>(2.0f)} << 32}, {gs::ST, St(0, 0)},
           {gs::XYZ2, Xyz(20, 0)}, {gs::ST, St(2, 0)}, {gs::XYZ2, Xyz(36, 0)}, {gs::ST, St(0, 2)},
           {gs::XYZ2, Xyz(20, 16)},
           {gs::PRIM, 0x016}, {gs::ST, St(0, 0)}, {gs::XYZ2, Xyz(40, 0)}, {gs::ST, St(2, 2)}, {gs::XYZ2, Xyz(56, 16)}});
    for (u32 y = 0; y < 16; ++y)
        for (u32 x = 0; x + y < 16; ++x) {
            ASSERT_EQ(pixel(x, y), Coordinates(x, y)) << x << "," << y;
            ASSERT_EQ(pixel(20 + x, y), Coordinates(x, y)) << x << "," << y;
        }
    EXPECT_EQ(pixel(15, 15), 0u);
    expectFrame(40, 0, 16, 16, Coordinates);
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
    // Big blended flat sprites go by table; small ones with As up to 0x80 skip the clamp.
    const struct {
        u32 prim;
        int width, height;
    } sprites[] = {{0x156, 70, 64}, {0x116, 70, 64}, {0x046, 70, 64},
                   {0x006, 70, 64}, {0x046, 30, 20}, {0x046, 30, 20}};
    auto scene = [&](u64 test) {
        gs.memory().clear();
        putTexture(16, 16, 1, VariedAlpha);
        fill(640, 224, 0x80402010);
        Writes w{{gs::TEST_1, test}, {gs::ALPHA_1, 0x44}, {gs::TEX0_1, Tex0(1, true)}};
        int cell = 0;
        auto corner = [&](int k, int x16, int y16) {
            const int cx = (cell % 4) * 150 * 16, cy = (cell / 4) * 72 * 16;
            w.push_back({gs::RGBAQ, Rgba(40 * k + 20, 200 - 50 * k + cell, 90, 0x30 + 0x28 * k + (cell % 2) * 0x60)});
            w.push_back({gs::UV, Uv(37 * k * 16 + 5, (11 + 70 * k) % 250)});
            w.push_back({gs::XYZ2, Xyz16(cx + x16, cy + y16, 0x1000 * (k + 1) + cell)});
        };
        for (u32 prim : triangles) {
            w.push_back({gs::PRIM, prim});
            for (int k = 0; k < 3; ++k) corner(k, 13 + 431 * k + cell * 5, 27 + 333 * ((k + 1) % 3));
            ++cell;
        }
        for (const auto& sprite : sprites) {
            w.push_back({gs::PRIM, sprite.prim});
            corner(0, 21 + cell * 3, 9);
            corner(1, 21 + cell * 3 + sprite.width * 16 + 5, 9 + sprite.height * 16);
            ++cell;
        }
        write(w);
        std::vector<u32> words(2048 * 70 * 2);
        for (u32 i = 0; i < words.size() / 2; ++i) {
            words[i] = gs.memory().read(i);
            words[words.size() / 2 + i] = gs.memory().read(kZPage * 2048 + i);
        }
        return words;
    };
    for (u64 depth : {0x0ull, 0x30000ull, 0x50000ull, 0x70000ull})
        ASSERT_EQ(scene(depth), scene(depth | 0x3)) << std::hex << depth; // ATE, ALWAYS
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
        expectFrame(1, 5, 99, 1, [](u32, u32) { return 0x11223344u; });
        EXPECT_EQ(pixel(100, 5), 0x11223344u + 100);
    }
}

// Register values a program should not send still draw something defined and never fault.
TEST_F(Shading, OutOfRangeTextureInputIsSafe)
{
    putTexture(16, 16, 1, Coordinates);
    const float nan = std::bit_cast<float>(0x7FC00000u), inf = std::bit_cast<float>(0x7F800000u);
    for (const float q : {0.0f, nan, inf, -0.0f, 1e-30f})
        for (const float s : {0.0f, nan, inf, -inf, 3e38f})
            write({{gs::TEX0_1, Tex0(1, true)}, {gs::RGBAQ, u64{std::bit_cast<u32>(q)} << 32}, {gs::PRIM, 0x016},
                   {gs::ST, St(s, s)}, {gs::XYZ2, Xyz(0, 0)}, {gs::XYZ2, Xyz(4, 4)}, {gs::PRIM, 0x013},
                   {gs::XYZ2, Xyz(10, 0)}, {gs::ST, St(1, 1)}, {gs::XYZ2, Xyz(14, 0)}, {gs::XYZ2, Xyz(10, 4)}});
    // Region bounds the wrong way round, and sizes past 1024 texels.
    write(gs::CLAMP_1, 2 | 2 << 2 | 9 << 4 | 3 << 14 | u64{9} << 24 | u64{3} << 34);
    texturedSprite(Tex0(1, true), 0, 20, 0, 30, 10, Uv(0, 0), Uv(160, 160));
    texturedSprite(Tex0(1, true, 15), 0, 40, 0, 50, 10, Uv(0, 0), Uv(0x3FFF, 0x3FFF));
    EXPECT_EQ(gs.pixelsDrawn(), 25u * (16 + 10) + 2 * 100);
}

} // namespace
} // namespace gs_test
