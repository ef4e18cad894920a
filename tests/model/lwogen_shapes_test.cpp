#include <gtest/gtest.h>

#include "tests/model/lwo_fixture.h"
#include "tools/lwogen/shapes.h"

namespace {

using namespace model_testing;
using GeneratedShapes = LwoTest;

TEST_F(GeneratedShapes, LoadAsTheirPolygonsFanOut)
{
    // A box: six quads, two triangles each, around its centre.
    EXPECT_EQ(Load(lwogen::PolyhedronObject(lwogen::Box({10, 20, 30}, {2, 4, 6}))), MESH_LOADED);
    ASSERT_EQ(std::pair(mesh.vertexCount, mesh.triangleCount), std::pair(8u, 12u));
    EXPECT_EQ(std::tuple(mesh.vertices[0].x, mesh.vertices[0].y, mesh.vertices[0].z), std::tuple(9.0f, 18.0f, -27.0f));
    EXPECT_EQ(std::tuple(mesh.vertices[7].x, mesh.vertices[7].y, mesh.vertices[7].z), std::tuple(11.0f, 22.0f, -33.0f));

    // A 66-sided prism: two 66-gons of 64 triangles each and 66 walls of 2.
    OrbMemInit();
    EXPECT_EQ(Load(lwogen::PolyhedronObject(lwogen::Prism({0, 0, 0}, 66, 1.0f, 0.5f))), MESH_LOADED);
    ASSERT_EQ(std::pair(mesh.vertexCount, mesh.triangleCount), std::pair(132u, 2u * 64 + 2u * 66));
    EXPECT_EQ(Triangles()[63], (Corners{65, 1, 0, 0}));
    EXPECT_EQ(Triangles()[64], (Corners{66, 67, 68, 1}));
    EXPECT_EQ(Triangles().back(), (Corners{65, 66, 131, 67}));
}

TEST_F(GeneratedShapes, LayersAndPatchesAreWrittenAsAsked)
{
    const lwogen::Polyhedron box = lwogen::Box({0, 0, 0}, {1, 1, 1});
    EXPECT_EQ(Load(lwogen::PolyhedronObject(box, {.layers = 2})), MESH_MORE_THAN_ONE_LAYER);
    EXPECT_EQ(mesh.triangleCount, 12u);
    OrbMemInit();
    mesh = kUntouched;
    EXPECT_EQ(Load(lwogen::PolyhedronObject(box, {.polygonType = "PTCH"})), MESH_LOADED);
    EXPECT_EQ(std::pair(mesh.vertexCount, mesh.triangleCount), std::pair(8u, 99u));
}

} // namespace
