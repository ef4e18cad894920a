#include <gtest/gtest.h>

#include <cmath>

#include "tests/support/demo_display.h"
#include "viewer/view_space.h"

namespace {

using ViewSpace = testing_support::DemoDisplayTest;

// The screen pixel (x, y) of an XYZ2 value, and its depth.
struct Placed {
    double x, y;
    u32 z;
};

Placed Unpack(u64 xyz2)
{
    return {static_cast<double>(xyz2 & 0xFFFF) / 16.0 - 1024.0,
            static_cast<double>(xyz2 >> 16 & 0xFFFF) / 16.0 - 1024.0,
            static_cast<u32>(xyz2 >> 32)};
}

TEST_F(ViewSpace, PlacesTheCentreAheadAndKeepsUpUpAndNearNear)
{
    const Mesh mesh = {4, nullptr, 0, nullptr};
    MeshVertex vertices[4] = {{1, 2, 3, 0}, {1, 3, 3, 0}, {1, 2, 4, 0}, {2, 2, 3, 0}};
    Mesh m = mesh;
    m.vertices = vertices;
    const ViewerCamera camera = {{1, 2, 3, 0}, 0.0f, 0.0f, 10.0f};
    Vector3 out[4];
    ViewerPlaceVertices(&m, &camera, out);
    EXPECT_FLOAT_EQ(out[0].z, 10.0f);
    EXPECT_FLOAT_EQ(out[0].x, 0.0f);
    // Up in the model is up on the screen, where y falls; the mesh's +z comes towards the eye.
    EXPECT_FLOAT_EQ(out[1].y, -1.0f);
    EXPECT_FLOAT_EQ(out[2].z, 9.0f);
    EXPECT_FLOAT_EQ(out[3].x, 1.0f);

    // A quarter turn brings the right side to the front; looking down from above lifts the front.
    const ViewerCamera turned = {{1, 2, 3, 0}, 90.0f, 0.0f, 10.0f};
    ViewerPlaceVertices(&m, &turned, out);
    EXPECT_NEAR(out[3].z, 9.0f, 1e-5);
    const ViewerCamera above = {{1, 2, 3, 0}, 0.0f, 90.0f, 10.0f};
    ViewerPlaceVertices(&m, &above, out);
    EXPECT_NEAR(out[1].z, 9.0f, 1e-5);
    EXPECT_NEAR(out[2].y, 1.0f, 1e-5);
}

TEST_F(ViewSpace, ProjectsAFourByThreePictureWithNearerPointsDeeper)
{
    const ViewerScreen screen = ViewerScreenFor(0.5f);
    const Placed centre = Unpack(ViewerScreenXyz2(&screen, {0, 0, 10}, 1.0f));
    EXPECT_EQ(std::pair(centre.x, centre.y), std::pair(320.0, 128.0));
    // A square stays square on a 4:3 screen: its 640 x 256 field pixels are 1.875 times as tall as wide.
    const Placed corner = Unpack(ViewerScreenXyz2(&screen, {1, 1, 10}, 1.0f));
    EXPECT_NEAR((corner.x - 320.0) / (corner.y - 128.0), 1.875, 0.01);
    EXPECT_NEAR(corner.x - 320.0, 50.05, 0.07);
    // The near plane gets 2^24; twice as far, half of it; a line nudged nearer gets more.
    EXPECT_EQ(Unpack(ViewerScreenXyz2(&screen, {0, 0, 0.5f}, 1.0f)).z, 1u << 24);
    EXPECT_EQ(Unpack(ViewerScreenXyz2(&screen, {0, 0, 1.0f}, 1.0f)).z, 1u << 23);
    EXPECT_GT(Unpack(ViewerScreenXyz2(&screen, {0, 0, 1.0f}, 1.004f)).z, 1u << 23);
    EXPECT_NEAR(ViewerHalfField(&screen), 128.0 * 1.875 / 500.5, 1e-5);
}

TEST_F(ViewSpace, ClipsTrianglesToTheNearPlaneAndTheGuardBand)
{
    const ViewerScreen screen = ViewerScreenFor(1.0f);
    Vector3 out[VIEWER_CLIP_CORNERS];
    // Wholly inside: unchanged.
    ASSERT_EQ(ViewerClipTriangle(&screen, {0, 0, 5}, {1, 0, 5}, {0, 1, 6}, out), 3u);
    EXPECT_EQ(std::tuple(out[1].x, out[1].y, out[1].z), std::tuple(1.0f, 0.0f, 5.0f));
    // Wholly behind the eye: nothing.
    EXPECT_EQ(ViewerClipTriangle(&screen, {0, 0, -5}, {1, 0, -5}, {0, 1, -6}, out), 0u);
    // One corner behind: a quad, every corner on or in front of the near plane.
    const u32 n = ViewerClipTriangle(&screen, {0, 0, 5}, {1, 0, 5}, {0, 0, -5}, out);
    ASSERT_EQ(n, 4u);
    for (u32 k = 0; k < n; ++k) EXPECT_GE(out[k].z, 1.0f - 1e-5f);
    // A triangle far larger than the picture keeps only what lies within the guard band.
    const u32 big = ViewerClipTriangle(&screen, {-1000, -1000, 2}, {1000, -1000, 2}, {0, 1000, 2}, out);
    ASSERT_GE(big, 3u);
    for (u32 k = 0; k < big; ++k) {
        const Placed p = Unpack(ViewerScreenXyz2(&screen, out[k], 1.0f));
        EXPECT_TRUE(p.x >= -161 && p.x <= 801 && p.y >= -65 && p.y <= 321) << p.x << ", " << p.y;
    }
}

TEST_F(ViewSpace, ClipsSegmentsTheSameWay)
{
    const ViewerScreen screen = ViewerScreenFor(1.0f);
    Vector3 a = {0, 0, -4}, b = {0, 0, 6};
    ASSERT_TRUE(ViewerClipSegment(&screen, &a, &b));
    EXPECT_NEAR(a.z, 1.0f, 1e-5);
    EXPECT_EQ(b.z, 6.0f);
    a = {0, 0, -4}, b = {0, 0, 0.5f};
    EXPECT_FALSE(ViewerClipSegment(&screen, &a, &b));
    // Off to the side of the picture, past the guard plane, at every depth.
    a = {100, 0, 2}, b = {100, 0, 4};
    EXPECT_FALSE(ViewerClipSegment(&screen, &a, &b));
}

} // namespace
