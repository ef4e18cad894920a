#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "cloth/cloth.h"
#include "cloth/mesh.h"
#include "cloth/net.h"
#include "core/pool.h"
#include "gfx/packet.h"
#include "tests/support/demo_display.h"

namespace {

using testing_support::GifTransfer;
using testing_support::RegisterWrite;
using testing_support::Writes;
using testing_support::Xyz2;

// Build the flag mesh once per process from an empty pool, keeping what the build printed.
const std::string& BuildFlagMesh()
{
    static const std::string printed = [] {
        OrbMemInit();
        testing::internal::CaptureStdout();
        ClothMeshBuild(&ClothMesh);
        return testing::internal::GetCapturedStdout();
    }();
    return printed;
}

void ExpectCorner(const MeshCorner& corner, u32 vertex, float s, float t)
{
    EXPECT_EQ(corner.vertex, vertex);
    EXPECT_FLOAT_EQ(corner.s, s) << "vertex " << vertex;
    EXPECT_FLOAT_EQ(corner.t, t) << "vertex " << vertex;
}

// The flag mesh over the flag net as it hangs.
class ClothMeshTest : public testing_support::DemoDisplayTest {
protected:
    void SetUp() override
    {
        DemoDisplayTest::SetUp();
        BuildFlagMesh();
        ClothNetBuild(&net);
        ClothMeshUpdate(&ClothMesh, &net);
        // The first build's trace lines are not the test's.
        console.clear();
    }

    // Draw a mesh and return its one packet.
    GifTransfer Draw(Mesh* mesh)
    {
        console.clear();
        ClothMeshDraw(mesh, 0, 256, 256);
        const auto transfers = console.transfers();
        EXPECT_EQ(transfers.size(), 1u);
        return transfers.empty() ? GifTransfer{} : transfers[0];
    }

    ClothNet net = {};
};

TEST_F(ClothMeshTest, BuildLaysTwoTrianglesOverEachCellFromThePoolAndPrintsTheCountOnce)
{
    EXPECT_EQ(BuildFlagMesh(), "2262\n");
    EXPECT_EQ(ClothMesh.vertexCount, 1200u);
    EXPECT_EQ(ClothMesh.triangleCount, 2262u);
    // Carved from the top of the pool: 19,200 bytes, then 134,400 below its header.
    const u8* vertices = reinterpret_cast<const u8*>(ClothMesh.vertices);
    EXPECT_EQ(vertices, PoolStorage + POOL_SIZE - 19200);
    EXPECT_EQ(reinterpret_cast<const u8*>(ClothMesh.triangles), vertices - 8 - 134400);

    const MeshTriangle* t = ClothMesh.triangles;
    ExpectCorner(t[0].corners[0], 0, 0, 0);
    ExpectCorner(t[0].corners[1], 1, 0, 0.033333335f);
    ExpectCorner(t[0].corners[2], 30, 0.025f, 0);
    ExpectCorner(t[1].corners[0], 1, 0, 0.033333335f);
    ExpectCorner(t[1].corners[1], 31, 0.025f, 0.033333335f);
    ExpectCorner(t[1].corners[2], 30, 0.025f, 0);
    ExpectCorner(t[2261].corners[0], 1169, 0.95f, 0.9666667f);
    ExpectCorner(t[2261].corners[1], 1199, 0.975f, 0.9666667f);
    ExpectCorner(t[2261].corners[2], 1198, 0.975f, 0.9333334f);
    EXPECT_TRUE(std::all_of(t, t + 2262, [](const MeshTriangle& x) { return x.polygon == 1; }));

    // A second build takes new arrays and prints nothing.
    Mesh other = {};
    testing::internal::CaptureStdout();
    ClothMeshBuild(&other);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(other.triangleCount, 2262u);
    EXPECT_NE(other.vertices, ClothMesh.vertices);
    EXPECT_NE(other.triangles, ClothMesh.triangles);
    OrbFree(other.triangles);
    OrbFree(other.vertices);
}

TEST_F(ClothMeshTest, WithoutRoomInThePoolTheMeshStaysEmptyAndDrawsTheSetUpAlone)
{
    // Room for the vertices but not for the triangles: the vertices are given back.
    std::vector<void*> taken;
    const std::vector<PoolFreeBlock> blocks = OrbPoolFreeBlocks();
    for (const PoolFreeBlock& block : blocks)
        taken.push_back(OrbAlloc(&block == &blocks.back() ? block.size - 19300 : block.size));
    const std::vector<PoolFreeBlock> before = OrbPoolFreeBlocks();
    Mesh starved = {};
    ClothMeshBuild(&starved);
    EXPECT_EQ(starved.vertexCount, 0u);
    EXPECT_EQ(starved.triangleCount, 0u);
    EXPECT_EQ(starved.vertices, nullptr);
    EXPECT_EQ(OrbPoolFreeBlocks(), before);
    for (void* block : taken) OrbFree(block);
    EXPECT_EQ(Draw(&starved).qwc, 6u);
}

TEST_F(ClothMeshTest, UpdateCopiesAsManyParticlesAsTheMeshHasRoomFor)
{
    const Vector3& last = ParticlePool[1199].position;
    EXPECT_TRUE(ClothMesh.vertices[1199].x == last.x && ClothMesh.vertices[1199].y == last.y);
    MeshVertex vertices[3] = {{1, 1, 1, 0}, {2, 2, 2, 0}, {3, 3, 3, 0}};
    Mesh small = {2, vertices, 0, nullptr};
    ClothNet empty = {};
    ClothMeshUpdate(&small, &empty);
    EXPECT_EQ(vertices[0].x, 1.0f);
    ClothMeshUpdate(&small, &net);
    EXPECT_EQ(vertices[1].y, ParticlePool[1].position.y);
    EXPECT_EQ(vertices[2].x, 3.0f);
}

TEST_F(ClothMeshTest, TheFlagGoesInOnePacketOf13578Quadwords)
{
    const GifTransfer packet = Draw(&ClothMesh);
    EXPECT_EQ(packet.qwc, 13578u);
    ASSERT_EQ(packet.writes.size(), 13577u);
    const u64 tex0 = (0x3c0000 / 256) | 4ull << 14 | 8ull << 26 | 8ull << 30 | 1ull << 34 | 1ull << 35;
    // Then triangle 0: vertex 0 at (0, 22), vertex 1 at (0, 29), vertex 30 at (15, 22), all at depth 65535.
    EXPECT_EQ(Writes(packet.writes.begin(), packet.writes.begin() + 11),
              (Writes{{GS_ALPHA_1, 0x44}, {GS_ZBUF_1, 0xA0000}, {GS_TEST_1, 0x30000}, {GS_TEX0_1, tex0},
                      {GS_PRIM, 0x1DB}, {GS_UV, 0}, {GS_XYZ2, Xyz2(1024, 1046, 0xFFFF)}, {GS_UV, 136u << 16},
                      {GS_XYZ2, Xyz2(1024, 1053, 0xFFFF)}, {GS_UV, 102}, {GS_XYZ2, Xyz2(1039, 1046, 0xFFFF)}}));
    u64 largestU = 0, largestV = 0;
    for (const RegisterWrite& w : packet.writes) {
        if (w.reg != GS_UV) continue;
        largestU = std::max(largestU, w.value & 0x3fff);
        largestV = std::max(largestV, w.value >> 16 & 0x3fff);
    }
    EXPECT_EQ(largestU, 3993u);
    EXPECT_EQ(largestV, 3959u);

    // Positions are truncated and depth counts down from 65535, past 16 bits for points behind z = 0.
    std::vector<MeshVertex> vertices(ClothMesh.vertices, ClothMesh.vertices + 1200);
    vertices[0] = {15.7f, 22.2f, -3.9f, 0};
    Mesh moved = ClothMesh;
    moved.vertices = vertices.data();
    EXPECT_EQ(Draw(&moved).writes.at(6).value, Xyz2(1039, 1046, 65538));
}

TEST_F(ClothMeshTest, AMeshTooLargeForOnePacketGoesOnInAnother)
{
    std::vector<MeshTriangle> triangles(3000, ClothMesh.triangles[5]);
    Mesh large = {1200, ClothMesh.vertices, 3000, triangles.data()};
    ClothMeshDraw(&large, 0, 256, 256);
    const auto transfers = console.transfers();
    ASSERT_EQ(transfers.size(), 2u);
    EXPECT_LE(transfers[0].qwc, PACKET_WORDS / 2);
    EXPECT_EQ(transfers[0].writes.at(4), (RegisterWrite{GS_PRIM, 0x1DB}));
    EXPECT_EQ((transfers[0].writes.size() - 5) % 6, 0u);
    EXPECT_EQ(transfers[1].writes.at(0).reg, GS_UV);
    EXPECT_EQ(transfers[0].writes.size() + transfers[1].writes.size(), 5 + 6 * 3000u);
}

} // namespace
