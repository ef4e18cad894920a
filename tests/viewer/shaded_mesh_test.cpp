#include <gtest/gtest.h>

#include "tests/support/demo_display.h"
#include "tests/support/mesh_triangles.h"
#include "viewer/outline.h"
#include "viewer/shaded_mesh.h"
#include "viewer/view_space.h"

namespace {

using testing_support::Triangle;

class ShadedMesh : public testing_support::DemoDisplayTest {
protected:
    // The draw buffer's pixel as 0xRRGGBB: the GS keeps red in the low byte.
    u32 Rgb(u32 x, u32 y)
    {
        const u32 p = DrawnPixel(x, y);
        return (p & 0xFF) << 16 | (p & 0xFF00) | (p >> 16 & 0xFF);
    }
};

TEST(FaceLight, LightsTheSideTowardsTheLightAndEitherWindingAlike)
{
    // A face looking straight at the eye, the top of one below the eye (the light comes from above) and the
    // underside of one above it.
    const float facing = ViewerFaceLight({0, 0, 10}, {1, 0, 10}, {0, 1, 10});
    const float up = ViewerFaceLight({0, 2, 10}, {1, 2, 10}, {0, 2, 11});
    const float down = ViewerFaceLight({0, -2, 10}, {1, -2, 10}, {0, -2, 9});
    EXPECT_GT(up, down);
    EXPECT_GT(facing, down);
    EXPECT_LE(std::max(facing, up), 1.0f);
    EXPECT_GE(down, 0.2f);
    EXPECT_FLOAT_EQ(ViewerFaceLight({0, 0, 10}, {0, 1, 10}, {1, 0, 10}), facing);
    // No area, no normal.
    EXPECT_LT(ViewerFaceLight({0, 0, 10}, {0, 0, 10}, {1, 0, 10}), 0.0f);
    EXPECT_EQ(ViewerShade(1.0f), VIEWER_SURFACE_COLOUR);
    EXPECT_EQ(ViewerShade(0.5f), 0x6E675Au);
    EXPECT_EQ(ViewerShade(2.0f), VIEWER_SURFACE_COLOUR);
}

TEST_F(ShadedMesh, TheNearerFaceWinsWhateverTheOrderAndBadTrianglesAreLeftOut)
{
    const ViewerScreen screen = ViewerScreenFor(1.0f);
    // Across the picture's middle: a far face looking at the eye, a small one behind a near face tilted up.
    Vector3 view[] = {{-4, -4, 10}, {4, -4, 10}, {0, 4, 10}, {-2, -2, 5}, {2, -2, 5}, {0, 2, 6},
                      {-1, -1, 10}, {1, -1, 10}, {0, 1, 10}};
    MeshVertex vertices[9] = {};
    MeshTriangle triangles[] = {Triangle(3, 4, 5, 0), Triangle(0, 1, 2, 1), Triangle(0, 1, 9, 2),
                                Triangle(0, 0, 1, 3), Triangle(6, 7, 8, 4)};
    const Mesh mesh = {9, vertices, 5, triangles};
    EXPECT_EQ(ViewerDrawShaded(&mesh, view, &screen), 3u);
    const u32 nearColour = ViewerShade(ViewerFaceLight(view[3], view[4], view[5]));
    const u32 farColour = ViewerShade(ViewerFaceLight(view[0], view[1], view[2]));
    ASSERT_NE(nearColour, farColour);
    EXPECT_EQ(Rgb(320, 128), nearColour);
    // Drawn the other way round, the far faces do not cover the near one.
    std::swap(triangles[0], triangles[4]);
    EXPECT_EQ(ViewerDrawShaded(&mesh, view, &screen), 3u);
    EXPECT_EQ(Rgb(320, 128), nearColour);
    // Only the far face reaches down to here.
    EXPECT_EQ(Rgb(320, 128 + 98), farColour);

    // The outline shows the near face's top edge, but not the small face's edges behind it.
    ViewerOutline(&mesh, view, &screen, 0x010203);
    const auto pixel = [&](const Vector3& p) {
        const u64 xyz2 = ViewerScreenXyz2(&screen, p, 1.0f);
        return Rgb(static_cast<u32>((xyz2 & 0xFFFF) + 8) / 16 - 1024,
                   static_cast<u32>((xyz2 >> 16 & 0xFFFF) + 8) / 16 - 1024);
    };
    EXPECT_EQ(pixel({0, -2, 5}), 0x010203u);
    EXPECT_EQ(pixel({0, -1, 10}), nearColour);
}

TEST(PolygonEdges, OutlinesAPolygonNotTheSeamsOfItsFan)
{
    // A pentagon's fan (three triangles of polygon 4), then a lone triangle and a line (a, a, b).
    MeshTriangle t[] = {Triangle(0, 1, 2, 4), Triangle(0, 2, 3, 4), Triangle(0, 3, 4, 4), Triangle(5, 6, 7, 5),
                        Triangle(8, 8, 9, 6)};
    const Mesh mesh = {10, nullptr, 5, t};
    std::vector<u32> edges;
    for (u32 k = 0; k < 5; ++k) edges.push_back(ViewerPolygonEdges(&mesh, k));
    EXPECT_EQ(edges, (std::vector<u32>{1 | 2, 2, 2 | 4, 7, 7}));
}

} // namespace
