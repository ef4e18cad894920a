#include <gtest/gtest.h>

#include "tests/model/lwo_fixture.h"

namespace {

using namespace model_testing;
using Lwo2Bounds = LwoTest;

TEST_F(Lwo2Bounds, EndsAtAHeaderCutByTheEndAndClipsABodyRunningPastIt)
{
    const Bytes next = Chunk("PNTS", {});
    for (long kept = 1; kept < 8; ++kept) {
        EXPECT_EQ(Load(Join({Object({Points({1, 2, 3})}), {next.begin(), next.begin() + kept}})), MESH_LOADED);
        EXPECT_EQ(mesh.vertexCount, 1u);
    }
    const Bytes points = Points({1, 2, 3, 4, 5, 6, 7, 8});
    EXPECT_EQ(Load(Object({Chunk("PNTS", {points.begin() + 8, points.end()}, 0xFFFFFFF0)})), MESH_LOADED);
    EXPECT_EQ(mesh.vertexCount, 2u);
    // The size given, not the buffer, is the end.
    EXPECT_EQ(Load(Object({Points({1, 2, 3, 4, 5, 6})}), 12 + 8 + 12), MESH_LOADED);
    EXPECT_EQ(mesh.vertexCount, 1u);
}

TEST_F(Lwo2Bounds, DropsAPolygonThatRunsPastItsChunk)
{
    const Bytes cut[] = {{0x03, 0xFF, 0, 1, 0, 2}, {0, 3, 0, 1, 0, 2, 0xFF, 0x01}, {0, 3, 0, 1, 0, 2, 0}, {0}};
    for (const Bytes& last : cut) {
        // The points behind the chunk must not be read as indices, nor anything behind the image.
        EXPECT_EQ(Load(Object({Polygons({Polygon({0, 1, 2}), last}), Points({1, 2, 3})})), MESH_LOADED);
        EXPECT_EQ(Triangles(), (std::vector<Corners>{{0, 1, 2, 0}}));
        EXPECT_EQ(mesh.vertexCount, 1u);
        EXPECT_EQ(Load(Object({Polygons({Polygon({0, 1, 2}), last}, "FACE", 0x7FFFFFFF)})), MESH_LOADED);
        EXPECT_EQ(mesh.triangleCount, 1u);
    }
}

TEST_F(Lwo2Bounds, SizesTheTriangleArrayForPolygonsOfAnySize)
{
    // Hexagons give 4 triangles for 14 bytes, more than one per 4 bytes: the array is sized by the count.
    const Bytes hexagon = Polygon({0, 1, 2, 3, 4, 5});
    EXPECT_EQ(Load(Object({Points({1, 2, 3}), Polygons({hexagon, hexagon, hexagon})})), MESH_LOADED);
    EXPECT_EQ(mesh.triangleCount, 12u);
    EXPECT_EQ(Triangles().back(), (Corners{0, 4, 5, 2}));
    // The vertices lie right above the triangles in the pool: a write past the array would land on them.
    EXPECT_EQ(mesh.vertices[0].z, -3.0f);
    OrbFree(mesh.triangles);
    OrbFree(mesh.vertices);
    EXPECT_EQ(OrbPoolFreeBlocks(), (std::vector<PoolFreeBlock>{{8, POOL_SIZE - 16}}));

    // The largest count the 10 bits hold: 1,021 triangles, far more than the chunk's 515 places of 4 bytes.
    Bytes huge = {0x03, 0xFF};
    huge.resize(2 + 2 * 1023, 0);
    console.clear();
    EXPECT_EQ(Load(Object({Polygons({Polygon({1, 2, 3}), huge})})), MESH_LOADED);
    ASSERT_EQ(mesh.triangleCount, 1022u);
    EXPECT_EQ(Triangles()[1021], (Corners{0, 0, 0, 1}));
    EXPECT_NE(Traced().find("Object allocation : -> 57232 "), std::string::npos) << Traced();
}

TEST_F(Lwo2Bounds, LeavesAChunkEmptyWhenThePoolHasNoRoom)
{
    ASSERT_NE(OrbAlloc(POOL_SIZE - 16 - 100 - 8), nullptr);
    console.clear();
    EXPECT_EQ(Load(Object({Points({1, 2, 3, 4, 5, 6, 7, 8, 9, 1, 2, 3, 4, 5, 6, 7, 8, 9, 1, 2, 3, 4, 5, 6, 7, 8, 9}),
                           Polygons({Polygon({0, 1, 2}), Polygon({2, 1, 0})})})),
              MESH_LOADED);
    EXPECT_EQ(mesh.vertexCount + mesh.triangleCount, 0u);
    EXPECT_TRUE(mesh.vertices == nullptr && mesh.triangles == nullptr);
    EXPECT_EQ(Traced(), "- OrbAlloc :  -> not enought memory - LWOParsePoly :  Object allocation : -> 280 "
                        "- OrbAlloc :  -> not enought memory Null value in function : LWOParsePoly"
                        "- OrbMeshLWOLoad :  -> LWO parsing finished ");
}

TEST_F(Lwo2Bounds, CapsAnArrayTooLargeForAnInt)
{
    // 160 MB of polygons would ask for over 2 GB of triangles: a wrapped count would fit the pool and overflow.
    Bytes image = Object({Polygons({}, "FACE", 0xFFFFFFFF)});
    image.resize(160'000'000);
    EXPECT_EQ(Load(std::move(image)), MESH_LOADED);
    EXPECT_EQ(std::pair(mesh.triangleCount, mesh.triangles), std::pair(0u, static_cast<MeshTriangle*>(nullptr)));
    EXPECT_NE(Traced().find("Object allocation : -> 2147483632 - OrbAlloc :  -> not enought memory"), std::string::npos);
}

TEST_F(Lwo2Bounds, TakesAnImageTooShortForAFormTypeForAnotherFormat)
{
    EXPECT_EQ(Load(Object({}), 11), MESH_NOT_LWO2);
    EXPECT_EQ(Load(Object({}), -12), MESH_NOT_LWO2);
    // A load goes on where the last one stopped: without a new attach, at the end.
    EXPECT_EQ(Load(Object({Points({1, 2, 3})})), MESH_LOADED);
    EXPECT_EQ(OrbMeshLoad(&mesh), MESH_NOT_LWO2);
}

} // namespace
