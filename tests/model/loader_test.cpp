#include <gtest/gtest.h>

#include "data/model.h"
#include "tests/model/lwo_fixture.h"

namespace {

using namespace model_testing;
using MeshLoaderTest = LwoTest;

TEST_F(MeshLoaderTest, SelectsTheLoaderByTypeAndKeepsItForUnknownTypes)
{
    const Bytes one = Object({Points({1, 2, 3})});
    const Bytes two = Object({Points({1, 2, 3, 4, 5, 6})});
    const auto source = [](s32 type, const Bytes& image) { return MeshSource{type, image.data(), static_cast<s32>(image.size())}; };
    const MeshSource unknown = source(7, two), none = source(0, one), other = source(2, one), lwo = source(1, one);

    EXPECT_EQ(OrbMeshLoad(&mesh), MESH_NOTHING_GIVEN);
    EXPECT_EQ(OrbMeshOpen(&unknown), MESH_NOTHING_GIVEN);
    EXPECT_EQ(OrbMeshLoad(&mesh), MESH_NOTHING_GIVEN);
    for (const MeshSource* idle : {&none, &other}) {
        EXPECT_EQ(OrbMeshOpen(idle), 0);
        EXPECT_EQ(OrbMeshLoad(&mesh), 0);
    }
    EXPECT_EQ(mesh.vertexCount, 77u);
    EXPECT_EQ(Traced(), "");

    // An unknown type attaches its image to the loader chosen before.
    EXPECT_EQ(OrbMeshOpen(&lwo), 0);
    EXPECT_EQ(OrbMeshOpen(&unknown), 0);
    EXPECT_EQ(OrbMeshLoad(&mesh), MESH_LOADED);
    EXPECT_EQ(mesh.vertexCount, 2u);

    const MeshSource nothing = {MESH_TYPE_NONE, nullptr, 12};
    EXPECT_EQ(OrbMeshOpen(&nothing), MESH_NOTHING_GIVEN);
    EXPECT_EQ(MeshLoaderSelected, &MeshLoaders[MESH_TYPE_NONE]);
    EXPECT_EQ(OrbMeshOpen(nullptr), MESH_NOTHING_GIVEN);
}

TEST_F(MeshLoaderTest, FreeGivesTheTrianglesTheVerticesAndTheRecordBack)
{
    Mesh* plate = static_cast<Mesh*>(OrbAlloc(sizeof(Mesh)));
    *plate = {};
    ASSERT_EQ(OrbMeshOpen(&PlateModel), 0);
    ASSERT_EQ(OrbMeshLoad(plate), MESH_LOADED);
    console.clear();
    EXPECT_EQ(OrbMeshFree(plate), 0);
    EXPECT_EQ(Traced(), "- OrbFree :  size -> 56504 - OrbFree :  size -> 4128 - OrbFree :  size -> 32 ");

    Mesh* empty = static_cast<Mesh*>(OrbAlloc(sizeof(Mesh)));
    *empty = {};
    EXPECT_EQ(OrbMeshFree(empty), 0);
    EXPECT_EQ(OrbMeshFree(nullptr), 0);
    EXPECT_EQ(OrbPoolFreeBlocks(), (std::vector<PoolFreeBlock>{{8, POOL_SIZE - 16}}));
}

} // namespace
