#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <span>

#include "data/model.h"
#include "tests/model/lwo_fixture.h"
#include "tools/lwogen/plate.h"

namespace {

using namespace model_testing;
using EmbeddedPlate = LwoTest;

TEST_F(EmbeddedPlate, LoadsTo258VerticesAnd504TrianglesOfAThinPlate)
{
    EXPECT_TRUE(PlateModel.type == MESH_TYPE_LWO2 && PlateModel.data == PlateObject && PlateModel.size == 9313);
    EXPECT_EQ(PlateObject[9312], 0);
    ASSERT_EQ(OrbMeshOpen(&PlateModel), 0);
    ASSERT_EQ(OrbMeshLoad(&mesh), MESH_LOADED);
    EXPECT_EQ(Traced(), "- OrbAlloc :  size -> 4128 - LWOParsePoly :  Object allocation : -> 56504 "
                        "- OrbAlloc :  size -> 56504 - OrbMeshLWOLoad :  -> LWO parsing finished ");
    ASSERT_EQ(std::pair(mesh.vertexCount, mesh.triangleCount), std::pair(258u, 504u));
    // Where the arrays sit in the pool: the vertices at the top, the triangles right below them.
    const auto offset = [](const void* p) { return static_cast<const u8*>(p) - PoolStorage; };
    EXPECT_EQ(std::pair(offset(mesh.vertices), offset(mesh.triangles)), std::pair(10'235'872L, 10'179'360L));

    std::array<float, 6> box = {1, -1, 1, -1, 1, -1};
    for (const MeshVertex& v : std::span(mesh.vertices, 258))
        box = {std::min(box[0], v.x), std::max(box[1], v.x), std::min(box[2], v.y), std::max(box[3], v.y),
               std::min(box[4], v.z), std::max(box[5], v.z)};
    EXPECT_EQ(box, (std::array<float, 6>{-0.456f, 0.556f, -0.1f, 0.1f, -0.342f, 0.34f}));
    for (u32 k = 0; k < 504; ++k) {
        EXPECT_EQ(mesh.triangles[k].polygon, k);
        for (const MeshCorner& corner : mesh.triangles[k].corners) EXPECT_LT(corner.vertex, 258u);
    }
}

TEST(PlateFile, IsWhatTheGeneratorWritesAndWhatTheProgramEmbeds)
{
    std::ifstream in(std::filesystem::path(ORB_SOURCE_DIR) / "data" / "plate.lwo", std::ios::binary);
    const Bytes file{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    EXPECT_EQ(file, lwogen::PlateObject()) << "data/plate.lwo is stale: run orb_lwogen data/plate.lwo";
    ASSERT_EQ(file.size(), 9312u);
    EXPECT_TRUE(std::equal(file.begin(), file.end(), PlateObject));

    // Every length here is below 65536: its two low bytes tell it.
    const auto length = [&](std::size_t at) { return file[at + 6] << 8 | file[at + 7]; };
    std::string chunks;
    for (std::size_t at = 0; at + 8 <= file.size(); at += at ? 8 + length(at) : 12)
        chunks += std::string(&file[at], &file[at] + 4) + " " + std::to_string(length(at)) + " ";
    EXPECT_EQ(chunks, "FORM 9304 TAGS 8 LAYR 18 PNTS 3096 BBOX 24 POLS 4036 PTAG 2020 SURF 42 ");
}

TEST(PlateShape, EachTileIsAClosedSlabWhoseTrianglesFaceOutwards)
{
    const lwogen::Shape plate = lwogen::PlateShape();
    // Every edge is walked once each way: the surface is closed and wound the same way throughout.
    std::map<std::pair<int, int>, int> edges;
    for (const auto& t : plate.triangles)
        for (int k = 0; k < 3; ++k) ++edges[{t[k], t[(k + 1) % 3]}];
    for (const auto& [edge, count] : edges) EXPECT_TRUE(count == 1 && edges.contains({edge.second, edge.first}));

    // Clockwise seen from outside (y up, z away): the plain cross product points away from the tile's middle.
    for (const auto& t : plate.triangles) {
        const lwogen::Point &a = plate.points[t[0]], &b = plate.points[t[1]], &c = plate.points[t[2]];
        const double u[3] = {b.x - a.x, b.y - a.y, b.z - a.z}, v[3] = {c.x - a.x, c.y - a.y, c.z - a.z};
        const double middle[3] = {(a.x + b.x + c.x) / 3, (a.y + b.y + c.y) / 3, (a.z + b.z + c.z) / 3};
        const auto tile = std::find_if(lwogen::PLATE_TILES.begin(), lwogen::PLATE_TILES.end(), [&](const auto& tile) {
            return tile.x0 <= middle[0] && middle[0] <= tile.x1 && tile.z0 <= middle[2] && middle[2] <= tile.z1;
        });
        ASSERT_NE(tile, lwogen::PLATE_TILES.end());
        const double out[3] = {middle[0] - (tile->x0 + tile->x1) / 2, middle[1], middle[2] - (tile->z0 + tile->z1) / 2};
        EXPECT_GT((u[1] * v[2] - u[2] * v[1]) * out[0] + (u[2] * v[0] - u[0] * v[2]) * out[1] +
                      (u[0] * v[1] - u[1] * v[0]) * out[2], 0.0);
    }
}

} // namespace
