#include <set>
#include <utility>
#include <vector>

#include "tests/console/gs_fixture.h"

namespace gs_test {
namespace {

using Pixels = std::set<std::pair<u32, u32>>;

// Each primitive adds 1 to the red of the pixels it covers, so a pixel covered twice shows 2.
class Coverage : public GsTest {
protected:
    Coverage()
    {
        write(gs::ALPHA_1, 0x68 | u64{0x80} << 32); // Cs * FIX(1.0) + Cd
    }

    void draw(u32 prim, const std::vector<std::pair<int, int>>& corners16)
    {
        AdPacket p;
        p.add(gs::PRIM, prim | 0x40).add(gs::RGBAQ, Rgba(1, 0, 0, 0x80));
        for (auto [x, y] : corners16) p.add(gs::XYZ2, Xyz16(x, y));
        send(p.build());
    }

    // The covered pixels of the 128 x 128 top-left corner; fails on a pixel covered more than once.
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
    void clear() { fill(128, 128, 0); }
};

Pixels Rectangle(u32 x0, u32 y0, u32 x1, u32 y1)
{
    Pixels out;
    for (u32 y = y0; y < y1; ++y)
        for (u32 x = x0; x < x1; ++x) out.insert({x, y});
    return out;
}

TEST_F(Coverage, SpriteWithIntegerCornersCoversTopLeftInclusiveBottomRightExclusive)
{
    draw(gs::SPRITE, {{0, 0}, {640 * 16, 256 * 16}});
    EXPECT_EQ(gs.pixelsDrawn(), 640u * 256);
    EXPECT_EQ(pixel(0, 0), 0x80000001u);
    EXPECT_EQ(pixel(639, 255) & 0xFF, 1u);
    EXPECT_EQ(pixel(0, 256), 0u);
    EXPECT_EQ(countChanged(640, 300), 640 * 256);
}

TEST_F(Coverage, SpriteWithFractionalCornersCoversPixelCentresInside)
{
    // x from 1.5 to 10.0625 covers centres 2..10; y from 2.25 to 5.9375 covers 3..5.
    draw(gs::SPRITE, {{24, 36}, {161, 95}});
    EXPECT_EQ(covered(), Rectangle(2, 3, 11, 6));
    clear();
    // Reversed corners cover the same pixels.
    draw(gs::SPRITE, {{161, 95}, {24, 36}});
    EXPECT_EQ(covered(), Rectangle(2, 3, 11, 6));
    clear();
    draw(gs::SPRITE, {{161, 36}, {24, 95}});
    EXPECT_EQ(covered(), Rectangle(2, 3, 11, 6));
    clear();
    // Inside one pixel with no centre: nothing.
    draw(gs::SPRITE, {{17, 17}, {31, 31}});
    EXPECT_TRUE(covered().empty());
    // A corner just past a centre leaves it out; exactly on it takes it in.
    draw(gs::SPRITE, {{16 * 20 + 1, 16 * 20}, {16 * 24, 16 * 21 + 1}});
    EXPECT_EQ(covered(), Rectangle(21, 20, 24, 22));
}

TEST_F(Coverage, TriangleEdgesFollowTheTopLeftRule)
{
    // Right-angled at the origin: the hypotenuse x + y = 10 is a right edge, so its centres are out.
    draw(gs::TRIANGLE, {{0, 0}, {160, 0}, {0, 160}});
    const Pixels p = covered();
    EXPECT_EQ(p.size(), 55u);
    EXPECT_TRUE(p.count({0, 0}) && p.count({9, 0}) && p.count({0, 9}));
    EXPECT_FALSE(p.count({10, 0}) || p.count({5, 5}) || p.count({0, 10}));
}

TEST_F(Coverage, BothWindingsCoverTheSamePixels)
{
    const std::vector<std::pair<int, int>> corners = {{37, 21}, {900, 300}, {250, 1500}};
    draw(gs::TRIANGLE, corners);
    const Pixels forward = covered();
    clear();
    draw(gs::TRIANGLE, {corners[2], corners[1], corners[0]});
    EXPECT_EQ(covered(), forward);
    EXPECT_GT(forward.size(), 300u);
}

TEST_F(Coverage, TwoTrianglesOfAQuadCoverEachPixelOnce)
{
    // A slanted quad with fractional corners, split along either diagonal.
    const std::pair<int, int> a{53, 18}, b{1700, 130}, c{1500, 1900}, d{90, 1300};
    draw(gs::TRIANGLE, {a, b, c});
    draw(gs::TRIANGLE, {a, c, d});
    const Pixels one = covered();
    clear();
    draw(gs::TRIANGLE, {a, b, d});
    draw(gs::TRIANGLE, {b, c, d});
    EXPECT_EQ(covered(), one);
    // An axis-aligned quad of triangles covers what a sprite with the same corners covers.
    clear();
    draw(gs::TRIANGLE, {{24, 36}, {161, 36}, {24, 95}});
    draw(gs::TRIANGLE, {{161, 36}, {161, 95}, {24, 95}});
    EXPECT_EQ(covered(), Rectangle(2, 3, 11, 6));
}

TEST_F(Coverage, StripsAndFansShareTheirEdges)
{
    // A strip of six vertices zig-zagging down a band: four triangles, a 10 x 30 rectangle.
    draw(gs::TRIANGLE_STRIP, {{0, 0}, {160, 0}, {0, 160}, {160, 160}, {0, 480}, {160, 480}});
    EXPECT_EQ(covered(), Rectangle(0, 0, 10, 30));
    clear();
    // A fan round a centre: six triangles making a hexagon, no pixel twice.
    const int cx = 64 * 16, cy = 64 * 16;
    draw(gs::TRIANGLE_FAN,
         {{cx, cy}, {cx + 800, cy}, {cx + 400, cy + 690}, {cx - 400, cy + 690}, {cx - 800, cy}, {cx - 400, cy - 690},
          {cx + 400, cy - 690}, {cx + 800, cy}});
    const Pixels hexagon = covered();
    EXPECT_NEAR(static_cast<double>(hexagon.size()), 2.598 * 50 * 50, 110.0);
    EXPECT_TRUE(hexagon.count({64, 64}));
    EXPECT_FALSE(hexagon.count({64 + 50, 64}));
}

TEST_F(Coverage, XyzThreeBuildsAStripWithoutDrawing)
{
    AdPacket p;
    p.add(gs::PRIM, gs::TRIANGLE_STRIP | 0x40).add(gs::RGBAQ, Rgba(1, 0, 0, 0x80));
    p.add(gs::XYZ3, Xyz(0, 0)).add(gs::XYZ3, Xyz(10, 0)).add(gs::XYZ2, Xyz(0, 10)).add(gs::XYZ2, Xyz(10, 10));
    send(p.build());
    EXPECT_EQ(covered(), Rectangle(0, 0, 10, 10));
    // PRIM empties the vertex queue.
    clear();
    send(AdPacket().add(gs::PRIM, gs::TRIANGLE | 0x40).add(gs::XYZ2, Xyz(0, 0)).add(gs::XYZ2, Xyz(10, 0)).build());
    send(AdPacket().add(gs::PRIM, gs::TRIANGLE | 0x40).add(gs::XYZ2, Xyz(0, 10)).build());
    EXPECT_TRUE(covered().empty());
}

TEST_F(Coverage, LinesDrawTheirFirstEndpointAndNotTheLast)
{
    draw(gs::LINE, {{2 * 16, 5 * 16}, {8 * 16, 5 * 16}});
    EXPECT_EQ(covered(), Rectangle(2, 5, 8, 6));
    clear();
    draw(gs::LINE, {{8 * 16, 5 * 16}, {2 * 16, 5 * 16}});
    EXPECT_EQ(covered(), Rectangle(3, 5, 9, 6));
    clear();
    draw(gs::LINE, {{0, 0}, {4 * 16, 4 * 16}});
    EXPECT_EQ(covered(), (Pixels{{0, 0}, {1, 1}, {2, 2}, {3, 3}}));
    clear();
    // y-major: one pixel per row, x rounded to nearest.
    draw(gs::LINE, {{10 * 16, 0}, {12 * 16, 4 * 16}});
    EXPECT_EQ(covered(), (Pixels{{10, 0}, {11, 1}, {11, 2}, {12, 3}}));
    clear();
    // A strip shares its corners: each drawn once.
    draw(gs::LINE_STRIP, {{0, 10 * 16}, {5 * 16, 10 * 16}, {5 * 16, 15 * 16}});
    Pixels strip = Rectangle(0, 10, 5, 11);
    for (const auto& q : Rectangle(5, 10, 6, 15)) strip.insert(q);
    EXPECT_EQ(covered(), strip);
}

TEST_F(Coverage, PointsLightTheNearestPixel)
{
    draw(gs::POINT, {{3 * 16 + 8, 4 * 16 + 6}});  // (3.5, 4.375) -> (4, 4)
    draw(gs::POINT, {{20 * 16 + 7, 20 * 16 + 9}}); // (20.4375, 20.5625) -> (20, 21)
    EXPECT_EQ(covered(), (Pixels{{4, 4}, {20, 21}}));
}

TEST_F(Coverage, ScissorIsInclusiveAndClipsEveryPrimitive)
{
    write(gs::SCISSOR_1, 10 | u64{20} << 16 | u64{5} << 32 | u64{7} << 48);
    draw(gs::SPRITE, {{0, 0}, {100 * 16, 100 * 16}});
    EXPECT_EQ(covered(), Rectangle(10, 5, 21, 8));
    clear();
    draw(gs::TRIANGLE, {{0, 0}, {100 * 16, 0}, {0, 100 * 16}});
    EXPECT_EQ(covered(), Rectangle(10, 5, 21, 8));
    clear();
    draw(gs::LINE, {{0, 6 * 16}, {100 * 16, 6 * 16}});
    draw(gs::POINT, {{9 * 16, 5 * 16}});
    EXPECT_EQ(covered(), Rectangle(10, 6, 21, 7));
}

TEST_F(Coverage, XyOffsetMovesPrimitiveCoordinatesToTheWindow)
{
    write(gs::XYOFFSET_1, u64{1024 * 16} | u64{2048 * 16} << 32);
    draw(gs::SPRITE, {{(1024 + 3) * 16, (2048 + 4) * 16}, {(1024 + 6) * 16, (2048 + 6) * 16}});
    // Left of or above the window origin: clipped away, not wrapped.
    draw(gs::SPRITE, {{1000 * 16, 2040 * 16}, {(1024 + 1) * 16, (2048 + 1) * 16}});
    EXPECT_EQ(covered(), [] {
        Pixels p = Rectangle(3, 4, 6, 6);
        p.insert({0, 0});
        return p;
    }());
}

} // namespace
} // namespace gs_test
