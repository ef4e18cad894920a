#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "cloth/cloth.h"
#include "cloth/mesh.h"
#include "cloth/net.h"
#include "console/gs/layout.h"
#include "core/pool.h"
#include "data/images.h"
#include "gfx/display.h"
#include "gfx/draw2d.h"
#include "gfx/gs.h"
#include "gfx/packet.h"
#include "gfx/texture.h"
#include "tests/support/recording_console.h"

namespace {

using testing_support::GifTransfer;
using testing_support::RegisterWrite;

constexpr DisplayInitParams kDemoParams = {1, 0x30, 5};

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

class ClothMeshTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        PS2Init(&kDemoParams);
        BuildFlagMesh();
        ClothNetBuild(&net);
        ClothMeshUpdate(&ClothMesh, &net);
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

    testing_support::RecordingConsole console;
    ClothNet net = {};
};

TEST_F(ClothMeshTest, BuildLaysTwoTrianglesOverEachCellFromThePool)
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
}

TEST_F(ClothMeshTest, ASecondBuildTakesNewArraysAndPrintsNothing)
{
    Mesh other = {};
    testing::internal::CaptureStdout();
    ClothMeshBuild(&other);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(other.triangleCount, 2262u);
    EXPECT_NE(other.vertices, ClothMesh.vertices);
    EXPECT_NE(other.triangles, ClothMesh.triangles);
    EXPECT_EQ(other.triangles[2261].corners[0].vertex, 1169u);
    OrbFree(other.triangles);
    OrbFree(other.vertices);
}

TEST_F(ClothMeshTest, WithoutRoomInThePoolTheMeshStaysEmpty)
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

    // It draws the set-up alone.
    EXPECT_EQ(Draw(&starved).qwc, 6u);
}

TEST_F(ClothMeshTest, UpdateCopiesAsManyParticlesAsTheMeshHasRoomFor)
{
    for (u32 k = 0; k < 1200; ++k) {
        ASSERT_EQ(ClothMesh.vertices[k].x, ParticlePool[k].position.x) << k;
        ASSERT_EQ(ClothMesh.vertices[k].y, ParticlePool[k].position.y) << k;
        ASSERT_EQ(ClothMesh.vertices[k].z, ParticlePool[k].position.z) << k;
    }

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
    ASSERT_EQ(packet.tags.size(), 1u);
    EXPECT_EQ(packet.tags[0].lo, PS2GifTagPacked(13577));
    const u64 tex0 = (0x3c0000 / 256) | 4ull << 14 | 8ull << 26 | 8ull << 30 | 1ull << 34 | 1ull << 35;
    const std::vector<RegisterWrite> setup = {
        {GS_ALPHA_1, 0x44}, {GS_ZBUF_1, 0xA0000}, {GS_TEST_1, 0x30000}, {GS_TEX0_1, tex0}, {GS_PRIM, 0x1DB}};
    ASSERT_EQ(packet.writes.size(), 13577u);
    EXPECT_EQ(std::vector<RegisterWrite>(packet.writes.begin(), packet.writes.begin() + 5), setup);

    // Triangle 0: vertex 0 at (0, 22), vertex 1 at (0, 29), vertex 30 at (15, 22), all at depth 65535.
    const std::vector<RegisterWrite> first = {
        {GS_UV, 0},           {GS_XYZ2, 0xFFFFull << 32 | 1046 * 16 << 16 | 1024 * 16},
        {GS_UV, 136u << 16},  {GS_XYZ2, 0xFFFFull << 32 | 1053 * 16 << 16 | 1024 * 16},
        {GS_UV, 102},         {GS_XYZ2, 0xFFFFull << 32 | 1046 * 16 << 16 | 1039 * 16}};
    EXPECT_EQ(std::vector<RegisterWrite>(packet.writes.begin() + 5, packet.writes.begin() + 11), first);

    u64 largestU = 0, largestV = 0;
    for (const RegisterWrite& w : packet.writes) {
        if (w.reg != GS_UV) continue;
        largestU = std::max(largestU, w.value & 0x3fff);
        largestV = std::max(largestV, w.value >> 16 & 0x3fff);
    }
    EXPECT_EQ(largestU, 3993u);
    EXPECT_EQ(largestV, 3959u);
}

TEST_F(ClothMeshTest, PositionsAreTruncatedAndDepthCountsDownFrom65535)
{
    std::vector<MeshVertex> vertices(ClothMesh.vertices, ClothMesh.vertices + 1200);
    vertices[0] = {15.7f, 22.2f, -3.9f, 0};
    Mesh moved = ClothMesh;
    moved.vertices = vertices.data();
    const GifTransfer packet = Draw(&moved);
    EXPECT_EQ(packet.writes.at(6).value, 65538ull << 32 | 1046 * 16 << 16 | 1039 * 16);
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

// Blend a texel over a frame pixel as ALPHA_1 0x44 does: (Cs - Cd) x As / 128 + Cd; alpha is the texel's.
u32 Blend(u32 texel, u32 frame)
{
    const int alpha = static_cast<int>(texel >> 24);
    u32 out = texel & 0xff000000u;
    for (int shift = 0; shift < 24; shift += 8) {
        const int cs = static_cast<int>(texel >> shift & 0xff), cd = static_cast<int>(frame >> shift & 0xff);
        out |= static_cast<u32>((((cs - cd) * alpha) >> 7) + cd) << shift;
    }
    return out;
}

TEST_F(ClothMeshTest, TheFlagShowsItsTextureBlendedOverTheBand)
{
    TextureSlotCount = 0;
    const int slot = PS2TextureUpload(FlagImage.pixels, 256, 256);
    DrawFilledRect(0, 20, 640, 226, 0x777777);
    ClothMeshDraw(&ClothMesh, slot, 256, 256);

    const gs::Gs& gs = console.gs();
    const u32 frame = PS2GetDisplay()->drawBuffer / 256;
    auto pixel = [&](u32 x, u32 y) { return gs.memory().read(gs::kLayoutC32.address(frame, 10, x, y)); };
    const u32 band = 0x7f767676;
    ASSERT_EQ(pixel(600, 100), band);

    // Grid points (i, j) at pixel (15 i, 22 + 7 j), and the texel their UV falls in, well inside it.
    struct Sample {
        u32 i, j, u, v;
    };
    for (const Sample& s : {Sample{1, 2, 6, 17}, Sample{8, 6, 51, 51}, Sample{13, 21, 83, 179},
                            Sample{26, 25, 166, 213}}) {
        const u32 texel = FlagImage.pixels[s.v * 256 + s.u];
        ASSERT_EQ(texel >> 24, 0x7fu);
        EXPECT_EQ(pixel(15 * s.i, 22 + 7 * s.j), Blend(texel, band)) << s.i << ", " << s.j;
    }
    EXPECT_TRUE(console.messages().empty());
}

} // namespace
