#include <gtest/gtest.h>

#include "model/lwo2.h"
#include "tests/model/lwo_fixture.h"

namespace {

using namespace model_testing;
using Lwo2 = LwoTest;

TEST_F(Lwo2, CutsEachPolygonIntoAFanNumberedAfterIt)
{
    const std::pair<Bytes, std::vector<Corners>> cases[] = {
        {Polygon({1, 2, 3, 4}), {{1, 2, 3, 0}, {1, 3, 4, 0}}},
        {Polygon({9, 8, 7, 6, 5}), {{9, 8, 7, 0}, {9, 7, 6, 0}, {9, 6, 5, 0}}},
        {Polygon({3, 8}), {{3, 3, 8, 0}}},
        {Polygon({5}), {{5, 5, 5, 0}}},
        {{0x84, 0x03, 0, 1, 0, 2, 0, 3}, {{1, 2, 3, 0}}},
        {{0, 3, 0xFF, 0x01, 0x23, 0x45, 0x12, 0x34, 0xFE, 0xFF}, {{0x012345, 0x1234, 0xFEFF, 0}}},
        {Join({Polygon({1, 2, 3}), Polygon({4, 5}), Polygon({6, 7, 8, 9})}),
         {{1, 2, 3, 0}, {4, 4, 5, 1}, {6, 7, 8, 2}, {6, 8, 9, 2}}},
        // No index follows a count of 0: the next polygon is read where it is, and keeps its number.
        {Join({{0, 0}, Polygon({1, 2, 3})}), {{1, 2, 3, 1}}},
    };
    for (const auto& [polygons, triangles] : cases) {
        OrbMemInit();
        mesh = kUntouched;
        EXPECT_EQ(Load(Object({Polygons({polygons})})), MESH_LOADED);
        EXPECT_EQ(Triangles(), triangles);
        EXPECT_EQ(mesh.vertexCount, 77u);
    }
}

// A polygon of n vertices 0, 1, ..., n - 1 (each index written in the form its size asks) and its fan.
std::pair<Bytes, std::vector<Corners>> Ngon(std::uint32_t n, std::uint32_t number, std::uint32_t from = 0)
{
    Bytes polygon;
    lwogen::PutU16(polygon, static_cast<std::uint16_t>(n));
    std::vector<Corners> fan;
    for (std::uint32_t k = 0; k < n; ++k) {
        lwogen::PutIndex(polygon, from + k);
        if (k >= 2) fan.push_back({from, from + k - 1, from + k, number});
    }
    return {polygon, fan};
}

TEST_F(Lwo2, GivesPolygonsOfManyVerticesEveryTriangleOfTheirFan)
{
    const auto [sixtySix, sixtySixFan] = Ngon(66, 0);
    const auto [eighteen, eighteenFan] = Ngon(18, 0);
    for (const auto& [polygon, fan] : {std::pair(sixtySix, sixtySixFan), std::pair(eighteen, eighteenFan)}) {
        OrbMemInit();
        console.clear();
        EXPECT_EQ(Load(Object({Polygons({polygon})})), MESH_LOADED);
        EXPECT_EQ(Triangles(), fan);
        // Sized for the fan, not for a triangle per 4 bytes of the chunk.
        EXPECT_NE(Traced().find("Object allocation : -> " + std::to_string(fan.size() * 56) + " "),
                  std::string::npos) << Traced();
    }
    EXPECT_EQ(sixtySixFan.size(), 64u);
    EXPECT_EQ(eighteenFan.size(), 16u);

    // Among other polygons each fan keeps its polygon's number; long indices take 4 bytes.
    const auto [big, bigFan] = Ngon(66, 1, 0xFF00 - 30);
    const auto [small, smallFan] = Ngon(18, 3, 7);
    std::vector<Corners> all = {{0, 1, 2, 0}};
    all.insert(all.end(), bigFan.begin(), bigFan.end());
    all.push_back({4, 5, 6, 2});
    all.insert(all.end(), smallFan.begin(), smallFan.end());
    OrbMemInit();
    EXPECT_EQ(Load(Object({Polygons({Polygon({0, 1, 2}), big, Polygon({4, 5, 6}), small})})), MESH_LOADED);
    EXPECT_EQ(Triangles(), all);
}

TEST_F(Lwo2, StoresPointsWithZNegatedAndIgnoresTrailingBytes)
{
    Bytes points = Join({Points({1, 2, 3, -0.5f, 0.25f, -8}), {0x3f}});
    points[7] = 25;
    EXPECT_EQ(Load(Object({points})), MESH_LOADED);
    ASSERT_EQ(mesh.vertexCount, 2u);
    EXPECT_EQ(std::vector<float>({mesh.vertices[0].x, mesh.vertices[0].y, mesh.vertices[0].z, mesh.vertices[1].z}),
              std::vector<float>({1, 2, -3, 8}));
    EXPECT_EQ(mesh.triangleCount, 99u);
}

TEST_F(Lwo2, ReportsEachOutcomeOnTheTraceLog)
{
    EXPECT_EQ(Load(Object({})), MESH_LOADED);
    EXPECT_EQ(Traced(), "- OrbMeshLWOLoad :  -> LWO parsing finished ");
    EXPECT_EQ(std::pair(mesh.vertexCount, mesh.triangleCount), std::pair(77u, 99u));

    console.clear();
    EXPECT_EQ(Load(Object({Points({1, 2, 3})}, "LWOB")), MESH_NOT_LWO2);
    EXPECT_EQ(mesh.vertexCount, 77u);
    EXPECT_EQ(OrbMeshLWOLoad(nullptr), MESH_NOTHING_GIVEN);
    EXPECT_EQ(Traced(), "- OrbMeshLWOLoad :  -> Wrong LWO version ");

    console.clear();
    EXPECT_EQ(Load(Object({Polygons({Polygon({0, 1, 2}), Polygon({2, 1, 0})})})), MESH_LOADED);
    EXPECT_EQ(Traced(), "- LWOParsePoly :  Object allocation : -> 280 - OrbAlloc :  size -> 280 "
                        "- OrbMeshLWOLoad :  -> LWO parsing finished ");
}

TEST_F(Lwo2, StopsAtTheSecondLayerKeepingTheFirst)
{
    const Bytes layer = Chunk("LAYR", Bytes(18, 0));
    EXPECT_EQ(Load(Object({layer, Points({1, 2, 3}), Polygons({Polygon({0, 0, 0})}), layer, Points({4, 5, 6, 7, 8, 9})})),
              MESH_MORE_THAN_ONE_LAYER);
    EXPECT_EQ(mesh.vertexCount, 1u);
    EXPECT_EQ(Triangles(), (std::vector<Corners>{{0, 0, 0, 0}}));
    EXPECT_TRUE(Traced().ends_with("- OrbMeshLWOLoad :  -> Error : file has more than 1 layer ! "));
}

TEST_F(Lwo2, SkipsOtherChunksAndPolygonTypesUnpaddedAndLetsLaterArraysReplaceEarlier)
{
    EXPECT_EQ(Load(Object({Chunk("CLIP", {1, 2, 3}), Points({1, 1, 1}), Polygons({Polygon({0, 0, 0})}, "PTCH"),
                           Chunk("SURF", Bytes(42, 0x50)), Points({2, 2, 2, 3, 3, 3})})),
              MESH_LOADED);
    // The odd CLIP body has no pad byte behind it, or the points would not be found.
    ASSERT_EQ(mesh.vertexCount, 2u);
    EXPECT_EQ(mesh.vertices[1].x, 3.0f);
    EXPECT_EQ(std::pair(mesh.triangleCount, mesh.triangles), std::pair(99u, static_cast<MeshTriangle*>(nullptr)));
}

} // namespace
