#include <set>
#include <utility>
#include <vector>

#include "tests/console/gs_fixture.h"

namespace gs_test {
namespace {

using Pixels = std::set<std::pair<u32, u32>>;
using Corners = std::vector<std::pair<int, int>>; // in 1/16 pixel

Pixels Rectangle(u32 x0, u32 y0, u32 x1, u32 y1)
{
    Pixels out;
    for (u32 y = y0; y < y1; ++y)
        for (u32 x = x0; x < x1; ++x) out.insert({x, y});
    return out;
}

// Each primitive adds 1 to the red of the pixels it covers, so a pixel covered twice shows 2.
class Coverage : public GsTest {
protected:
    Coverage() { write(gs::ALPHA_1, 0x68 | u64{0x80} << 32); } // Cs * FIX(1.0) + Cd

    // Returns the covered pixels of the 128 x 128 top-left corner; fails on a pixel covered more than once.
    Pixels covered()
    {
        Pixels out;
        for (u32 y = 0; y < 128; ++y)
            for (u32 x = 0; x < 128; ++x) {
                const u32 n = pixel(x, y) & 0xFF;
                EXPECT_LE(n, 1u) << "pixel " << x << ", " << y << " drawn " << n << " times";
                if (n) out.insert({x, y});
            }
        return out;
    }
    // Draws primitives of one type on a cleared corner and returns what they covered.
    Pixels cover(u32 prim, const Corners& corners)
    {
        fill(128, 128, 0);
        Writes w{{gs::PRIM, prim | 0x40}, {gs::RGBAQ, Rgba(1, 0, 0, 0x80)}};
        for (auto [x, y] : corners) w.push_back({gs::XYZ2, Xyz16(x, y)});
        write(w);
        return covered();
    }
};

TEST_F(Coverage, SpritesCoverThePixelCentresInside)
{
    const Pixels fractional = Rectangle(2, 3, 11, 6); // x 1.5 to 10.0625, y 2.25 to 5.9375
    const struct {
        Corners corners;
        Pixels want;
    } cases[] = {
        {{{0, 0}, {160, 96}}, Rectangle(0, 0, 10, 6)}, // top-left inclusive, bottom-right exclusive
        {{{24, 36}, {161, 95}}, fractional},
        {{{161, 95}, {24, 36}}, fractional}, // corners in either order
        {{{161, 36}, {24, 95}}, fractional},
        {{{17, 17}, {31, 31}}, {}},          // inside one pixel with no centre
        {{{321, 320}, {384, 337}}, Rectangle(21, 20, 24, 22)}, // just past a centre leaves it out, on it takes it
    };
    for (size_t i = 0; i < std::size(cases); ++i) EXPECT_EQ(cover(gs::SPRITE, cases[i].corners), cases[i].want) << i;
    cover(gs::SPRITE, {{0, 0}, {640 * 16, 256 * 16}});
    EXPECT_EQ(countChanged(640, 300), 640 * 256);
    EXPECT_EQ(pixel(0, 0), 0x80000001u);
}

TEST_F(Coverage, TrianglesFollowTheTopLeftRuleInBothWindings)
{
    // Right-angled at the origin: the hypotenuse x + y = 10 is a right edge, so its centres are out.
    const Pixels p = cover(gs::TRIANGLE, {{0, 0}, {160, 0}, {0, 160}});
    EXPECT_EQ(p.size(), 55u);
    EXPECT_TRUE(p.count({0, 0}) && p.count({9, 0}) && p.count({0, 9}));
    EXPECT_FALSE(p.count({10, 0}) || p.count({5, 5}) || p.count({0, 10}));

    const std::pair<int, int> a{37, 21}, b{900, 300}, c{250, 1500};
    const Pixels forward = cover(gs::TRIANGLE, {a, b, c});
    EXPECT_GT(forward.size(), 300u);
    EXPECT_EQ(cover(gs::TRIANGLE, {c, b, a}), forward);
}

TEST_F(Coverage, TrianglesSharingAnEdgeCoverEachPixelOnce)
{
    // A slanted quad with fractional corners, split along either diagonal.
    const std::pair<int, int> a{53, 18}, b{1700, 130}, c{1500, 1900}, d{90, 1300};
    EXPECT_EQ(cover(gs::TRIANGLE, {a, b, c, a, c, d}), cover(gs::TRIANGLE, {a, b, d, b, c, d}));
    // A strip of six vertices zig-zagging down a band: four triangles, a 10 x 30 rectangle.
    EXPECT_EQ(cover(gs::TRIANGLE_STRIP, {{0, 0}, {160, 0}, {0, 160}, {160, 160}, {0, 480}, {160, 480}}),
              Rectangle(0, 0, 10, 30));
    // A fan round a centre: six triangles making a hexagon.
    const int cx = 64 * 16, cy = 64 * 16;
    const Pixels hexagon = cover(gs::TRIANGLE_FAN, {{cx, cy}, {cx + 800, cy}, {cx + 400, cy + 690},
                                                    {cx - 400, cy + 690}, {cx - 800, cy}, {cx - 400, cy - 690},
                                                    {cx + 400, cy - 690}, {cx + 800, cy}});
    EXPECT_NEAR(static_cast<double>(hexagon.size()), 2.598 * 50 * 50, 110.0);
}

TEST_F(Coverage, XyzThreeBuildsAStripWithoutDrawingAndPrimEmptiesTheQueue)
{
    write({{gs::PRIM, gs::TRIANGLE_STRIP | 0x40}, {gs::RGBAQ, Rgba(1, 0, 0, 0x80)}, {gs::XYZ3, Xyz(0, 0)},
           {gs::XYZ3, Xyz(10, 0)}, {gs::XYZ2, Xyz(0, 10)}, {gs::XYZ2, Xyz(10, 10)}});
    EXPECT_EQ(covered(), Rectangle(0, 0, 10, 10));
    fill(128, 128, 0);
    write({{gs::PRIM, gs::TRIANGLE | 0x40}, {gs::XYZ2, Xyz(0, 0)}, {gs::XYZ2, Xyz(10, 0)}});
    write({{gs::PRIM, gs::TRIANGLE | 0x40}, {gs::XYZ2, Xyz(0, 10)}});
    EXPECT_TRUE(covered().empty());
}

TEST_F(Coverage, LinesDrawTheirFirstEndpointAndNotTheLast)
{
    EXPECT_EQ(cover(gs::LINE, {{32, 80}, {128, 80}}), Rectangle(2, 5, 8, 6));
    EXPECT_EQ(cover(gs::LINE, {{128, 80}, {32, 80}}), Rectangle(3, 5, 9, 6));
    EXPECT_EQ(cover(gs::LINE, {{0, 0}, {64, 64}}), (Pixels{{0, 0}, {1, 1}, {2, 2}, {3, 3}}));
    // y-major: one pixel per row, x rounded to nearest.
    EXPECT_EQ(cover(gs::LINE, {{160, 0}, {192, 64}}), (Pixels{{10, 0}, {11, 1}, {11, 2}, {12, 3}}));
    // A strip shares its corners: each drawn once.
    Pixels strip = Rectangle(0, 10, 5, 11);
    strip.merge(Rectangle(5, 10, 6, 15));
    EXPECT_EQ(cover(gs::LINE_STRIP, {{0, 160}, {80, 160}, {80, 240}}), strip);
    // Points light the nearest pixel: (3.5, 4.375) -> (4, 4), (20.4375, 20.5625) -> (20, 21).
    EXPECT_EQ(cover(gs::POINT, {{56, 70}, {327, 329}}), (Pixels{{4, 4}, {20, 21}}));
}

TEST_F(Coverage, ScissorIsInclusiveAndClipsEveryPrimitive)
{
    write(gs::SCISSOR_1, 10 | u64{20} << 16 | u64{5} << 32 | u64{7} << 48);
    EXPECT_EQ(cover(gs::SPRITE, {{0, 0}, {1600, 1600}}), Rectangle(10, 5, 21, 8));
    EXPECT_EQ(cover(gs::TRIANGLE, {{0, 0}, {1600, 0}, {0, 1600}}), Rectangle(10, 5, 21, 8));
    EXPECT_EQ(cover(gs::LINE, {{0, 96}, {1600, 96}}), Rectangle(10, 6, 21, 7));
    EXPECT_TRUE(cover(gs::POINT, {{144, 80}}).empty());
}

TEST_F(Coverage, XyOffsetMovesPrimitiveCoordinatesToTheWindow)
{
    write(gs::XYOFFSET_1, u64{1024 * 16} | u64{2048 * 16} << 32);
    // The second sprite starts left of and above the window origin: clipped away, not wrapped.
    Pixels want = Rectangle(3, 4, 6, 6);
    want.insert({0, 0});
    EXPECT_EQ(cover(gs::SPRITE, {{(1024 + 3) * 16, (2048 + 4) * 16}, {(1024 + 6) * 16, (2048 + 6) * 16},
                                 {1000 * 16, 2040 * 16}, {(1024 + 1) * 16, (2048 + 1) * 16}}),
              want);
}

} // namespace
} // namespace gs_test
