#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "tests/support/demo_display.h"
#include "tests/support/mesh_triangles.h"
#include "viewer/framing.h"
#include "viewer/view_space.h"

namespace {

using testing_support::Triangle;
using Framing = testing_support::DemoDisplayTest;

TEST_F(Framing, BoxesOnlyThePointsThatUsableTrianglesUse)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    MeshVertex v[] = {{1, 2, 3, 0}, {5, -2, 3, 0}, {1, 2, 9, 0}, {100, 100, 100, 0}, {nan, 0, 0, 0}};
    MeshTriangle t[] = {Triangle(0, 1, 2), Triangle(0, 1, 7), Triangle(0, 4, 2)};
    const Mesh mesh = {5, v, 3, t};
    ViewerFraming f;
    ViewerFrame(&mesh, &f);
    EXPECT_EQ(std::pair(f.triangles, f.strayTriangles), std::pair(1u, 2u));
    EXPECT_EQ(std::tuple(f.low.x, f.low.y, f.low.z), std::tuple(1.0f, -2.0f, 3.0f));
    EXPECT_EQ(std::tuple(f.high.x, f.high.y, f.high.z), std::tuple(5.0f, 2.0f, 9.0f));
    EXPECT_EQ(std::tuple(f.centre.x, f.centre.y, f.centre.z), std::tuple(3.0f, 0.0f, 6.0f));
    EXPECT_FLOAT_EQ(f.radius, std::sqrt(4.0f + 4.0f + 9.0f));

    // The ball reaches the farthest point, not the box's corner: a square's corners lie inside its box's ball.
    MeshVertex square[] = {{1, 0, 0, 0}, {0, 0, 1, 0}, {-1, 0, 0, 0}, {0, 0, -1, 0}};
    MeshTriangle halves[] = {Triangle(0, 1, 2), Triangle(0, 2, 3)};
    const Mesh diamond = {4, square, 2, halves};
    ViewerFrame(&diamond, &f);
    EXPECT_EQ(f.radius, 1.0f);

    const Mesh empty = {0, nullptr, 0, nullptr};
    ViewerFrame(&empty, &f);
    EXPECT_EQ(f.triangles + f.strayTriangles, 0u);
    EXPECT_EQ(f.radius, 0.0f);
}

TEST_F(Framing, KeepsEveryCornerOfTheBoxInThePictureFromAnyAngleAndFillsIt)
{
    const ViewerScreen screen = ViewerScreenFor(0.01f);
    // Boxes tiny, huge, long and thin, and far from the origin.
    const MeshVertex boxes[][2] = {
        {{-0.001f, -0.001f, -0.001f, 0}, {0.001f, 0.001f, 0.001f, 0}},
        {{-4e5f, -1e5f, -2e5f, 0}, {4e5f, 1e5f, 2e5f, 0}},
        {{-5, -0.1f, -0.1f, 0}, {5, 0.1f, 0.1f, 0}},
        {{9990, -20, 4000, 0}, {10010, 20, 4002, 0}},
    };
    for (const auto& box : boxes) {
        MeshVertex v[8];
        for (int k = 0; k < 8; ++k)
            v[k] = {box[k & 1].x, box[k >> 1 & 1].y, box[k >> 2 & 1].z, 0};
        MeshTriangle t[] = {Triangle(0, 3, 7), Triangle(1, 2, 4), Triangle(5, 6, 0)};
        const Mesh mesh = {8, v, 3, t};
        ViewerFraming f;
        ViewerFrame(&mesh, &f);
        const float distance = ViewerFramingDistance(f.radius, ViewerHalfField(&screen));
        double top = 1e9, bottom = -1e9, left = 1e9, right = -1e9;
        for (float yaw = 0; yaw < 360; yaw += 15)
            for (float pitch = -90; pitch <= 90; pitch += 15) {
                const ViewerCamera camera = {f.centre, yaw, pitch, distance};
                Vector3 out[8];
                ViewerPlaceVertices(&mesh, &camera, out);
                for (const Vector3& p : out) {
                    const u64 xyz2 = ViewerScreenXyz2(&screen, p, 1.0f);
                    const double x = static_cast<double>(xyz2 & 0xFFFF) / 16 - 1024;
                    const double y = static_cast<double>(xyz2 >> 16 & 0xFFFF) / 16 - 1024;
                    top = std::min(top, y), bottom = std::max(bottom, y);
                    left = std::min(left, x), right = std::max(right, x);
                }
            }
        EXPECT_TRUE(top >= 0 && bottom <= 256 && left >= 0 && right <= 640) << top << " " << bottom << " " << left
                                                                            << " " << right;
        // Turned its longest way across, it spans most of the picture's height.
        EXPECT_GT(bottom - top, 0.7 * 256) << box[1].x;
    }
    // A single point is framed as a ball of radius 1.
    EXPECT_EQ(ViewerFramingDistance(0.0f, 0.5f), ViewerFramingDistance(1.0f, 0.5f));
}

} // namespace
