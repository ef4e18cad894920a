#include <gtest/gtest.h>

#include <limits>
#include <vector>

#include "core/pool.h"
#include "data/model.h"
#include "gfx/packet.h"
#include "math3d/mesh_render.h"
#include "tests/support/demo_display.h"

namespace {

using testing_support::GifTransfer;
using testing_support::RegisterWrite;
using testing_support::Writes;
using testing_support::Xyz2;

// The set-up that starts every packet of the renderer.
const Writes kHeader = {
    {GS_ALPHA_1, 0x44}, {GS_ZBUF_1, 0xA0000}, {GS_TEST_1, 0x30000}, {GS_TEX0_1, 0xD98007C00}, {GS_PRIM, 0x1DB}};
const RegisterWrite kFlat = {GS_RGBAQ, 0x0000001F1F3F7F3F};
// The corner (10, 20, 100) wherever it stands in a triangle, and (10, -20, 100) in each place.
const RegisterWrite kBelow = {GS_XYZ2, 0x0000FF9B4AB05720};
const RegisterWrite kAbove = {GS_XYZ2, Xyz2(1394, 1108, 65435)};
const RegisterWrite kAboveThird = {GS_XYZ2, Xyz2(1394, 1109, 65435)};
const Vector3 kBelowPoint = {10, 20, 100};
const Vector3 kAbovePoint = {10, -20, 100};

MeshTriangle Triangle(u32 a, u32 b, u32 c) { return {{{a, 0, 0, 0}, {b, 0, 0, 0}, {c, 0, 0, 0}}, 1, 0}; }

// Return the writes appended to the packet so far.
Writes Appended()
{
    Writes writes;
    for (u32 i = 2; i + 1 < GsPacket.packetIndex; i += 2)
        writes.push_back({static_cast<std::uint8_t>(GsPacket.packetWords[i + 1]), GsPacket.packetWords[i]});
    return writes;
}

// The demo's display, an unturned eye at the origin and an object there, unturned and unscaled.
class MeshRenderTest : public testing_support::DemoDisplayTest {
protected:
    // Draw a mesh of these arrays and return what the GS received.
    std::vector<GifTransfer> Render(std::vector<MeshVertex> v, std::vector<MeshTriangle> t)
    {
        vertices = std::move(v);
        triangles = std::move(t);
        mesh = {static_cast<u32>(vertices.size()), vertices.data(), static_cast<u32>(triangles.size()),
                triangles.data()};
        return Render(&mesh);
    }

    // Draw a mesh and return what the GS received.
    std::vector<GifTransfer> Render(Mesh* drawn)
    {
        object.mesh = drawn;
        console.clear();
        EXPECT_EQ(MeshRender(&object, &camera), 0);
        return console.transfers();
    }

    MeshObject object = {{0, 0, 0}, {0, 0, 0}, {1, 1, 1}, nullptr, 1};
    MeshCamera camera = {{0, 0, 0}, {0, 0, 0}};
    std::vector<MeshVertex> vertices;
    std::vector<MeshTriangle> triangles;
    Mesh mesh = {};
    const MeshCorner corner = {0, 1.0f, 1.0f, 0};
};

TEST_F(MeshRenderTest, EmittersProjectAroundTheScreenCentreAndRoundTheThirdCornersYTheOtherWay)
{
    const Vector3 centre = {0, 0, 100};
    const MeshCorner quarter = {0, 0.5f, 0.25f, 0};
    PS2PacketBegin(0);
    EXPECT_EQ(MeshEmitFlat(&centre, &corner, &kBelowPoint, &corner, &kAbovePoint, &corner), 4u);
    EXPECT_EQ(MeshEmitFlat(&kAbovePoint, &corner, &kAbovePoint, &corner, &kBelowPoint, &corner), 4u);
    EXPECT_EQ(MeshEmitTextured(&kAbovePoint, &quarter, &kAbovePoint, &corner, &kAbovePoint, &corner), 6u);
    const RegisterWrite uv = {GS_UV, 1024 | 1024 << 16};
    EXPECT_EQ(Appended(), (Writes{kFlat, {GS_XYZ2, Xyz2(1344, 1152, 65435)}, kBelow, kAboveThird, kFlat, kAbove,
                                  kAbove, kBelow, {GS_UV, 512 | 256 << 16}, kAbove, uv, kAbove, uv, kAboveThird}));

    // The coloured-textured emitter places every corner alike in whole numbers and scales by 127.
    PS2PacketBegin(0);
    EXPECT_EQ(MeshEmitColourTextured(&kAbovePoint, &corner, &kAbovePoint, &corner, &kBelowPoint, &corner), 9u);
    const RegisterWrite grey = {GS_RGBAQ, 0x80808080};
    const RegisterWrite uv127 = {GS_UV, 127 | 127 << 16};
    EXPECT_EQ(Appended(), (Writes{grey, uv127, kAboveThird, grey, uv127, kAboveThird, grey, uv127, kBelow}));
}

TEST_F(MeshRenderTest, EmittersLeaveOutCornersAtTheEyeAndTrianglesThatDoNotFit)
{
    const Vector3 eye = {5, 5, 0.5f};
    PS2PacketBegin(0);
    EXPECT_EQ(MeshEmitFlat(&kBelowPoint, &corner, &eye, &corner, &kBelowPoint, &corner), 0u);
    EXPECT_EQ(MeshEmitTextured(&eye, &corner, &kBelowPoint, &corner, &kBelowPoint, &corner), 0u);
    EXPECT_EQ(MeshEmitColourTextured(&kBelowPoint, &corner, &kBelowPoint, &corner, &eye, &corner), 0u);
    EXPECT_EQ(GsPacket.packetIndex, 2u);

    // Behind the eye a corner projects mirrored, its depth past 0xFFFF; wild values saturate.
    const Vector3 behind = {10, 20, -100};
    const float inf = std::numeric_limits<float>::infinity();
    const Vector3 wild[] = {{inf, -inf, 1}, {std::numeric_limits<float>::quiet_NaN(), 1e30f, 3e9f}, {1e30f, 0, -1}};
    EXPECT_EQ(MeshEmitFlat(&behind, &corner, &behind, &corner, &behind, &corner), 4u);
    EXPECT_EQ(Appended().at(1), (RegisterWrite{GS_XYZ2, Xyz2(1294, 1108, 65635)}));
    EXPECT_EQ(MeshEmitColourTextured(&wild[0], &corner, &wild[1], &corner, &wild[2], &corner), 9u);

    GsPacket.packetIndex = PACKET_WORDS - 8;
    EXPECT_EQ(MeshEmitTextured(&kBelowPoint, &corner, &kBelowPoint, &corner, &kBelowPoint, &corner), 0u);
    EXPECT_EQ(MeshEmitFlat(&kBelowPoint, &corner, &kBelowPoint, &corner, &kBelowPoint, &corner), 4u);
    EXPECT_EQ(MeshEmitFlat(&kBelowPoint, &corner, &kBelowPoint, &corner, &kBelowPoint, &corner), 0u);
    EXPECT_EQ(GsPacket.packetIndex, PACKET_WORDS);
}

TEST_F(MeshRenderTest, OnlyAnObjectEnabledWithOneIsDrawnInAPacketThatStartsWithTheSetUp)
{
    for (s32 enabled : {0, 2}) {
        object.enabled = enabled;
        EXPECT_TRUE(Render({{10, 20, 100, 0}}, {Triangle(0, 0, 0)}).empty()) << enabled;
    }
    object.enabled = 1;
    auto transfers = Render(&mesh);
    ASSERT_EQ(transfers.size(), 1u);
    Writes expected = kHeader;
    expected.insert(expected.end(), {kFlat, kBelow, kBelow, kBelow});
    EXPECT_EQ(transfers[0].writes, expected);
    EXPECT_EQ(transfers[0].qwc, 10u);

    transfers = Render({}, {});
    ASSERT_EQ(transfers.size(), 1u);
    EXPECT_EQ(transfers[0].tags.at(0).lo, 0x1000000000008005u);
    EXPECT_EQ(transfers[0].tags.at(0).hi, 0xEu);
    EXPECT_EQ(transfers[0].qwc, 6u);
}

TEST_F(MeshRenderTest, The504TrianglesOfAGridOrOfTheEmbeddedPlateGoInOnePacket)
{
    std::vector<MeshVertex> grid;
    std::vector<MeshTriangle> cells;
    for (u32 i = 0; i <= 21; ++i)
        for (u32 j = 0; j <= 12; ++j) grid.push_back({i * 4.0f - 50, j * 4.0f - 40, 100, 0});
    for (u32 v = 0; v + 14 < grid.size(); ++v) {
        if (v % 13 == 12) continue;
        cells.push_back(Triangle(v, v + 1, v + 13));
        cells.push_back(Triangle(v + 1, v + 14, v + 13));
    }
    auto transfers = Render(std::move(grid), std::move(cells));
    ASSERT_EQ(transfers.size(), 1u);
    EXPECT_EQ(transfers[0].tags.at(0).lo & 0x7fff, 2021u);
    EXPECT_EQ(transfers[0].qwc, 2022u);
    // The GS writes depth without testing it: the grid lies under the screen centre.
    EXPECT_EQ(console.gs().memory().read(gs::kLayoutZ32.address(0, 10, 320, 128)), 65435u);

    OrbMemInit();
    Mesh plate = {};
    ASSERT_EQ(OrbMeshOpen(&PlateModel), 0);
    ASSERT_EQ(OrbMeshLoad(&plate), MESH_LOADED);
    object.position = {0, 0, 300};
    object.scale = {100, 100, 100};
    transfers = Render(&plate);
    ASSERT_EQ(transfers.size(), 1u);
    EXPECT_EQ(transfers[0].qwc, 2022u);
    EXPECT_EQ(Writes(transfers[0].writes.begin(), transfers[0].writes.begin() + 5), kHeader);
}

TEST_F(MeshRenderTest, MoreTrianglesThanOnePacketHoldsGoOnInPacketsThatEachStartWithTheSetUp)
{
    const auto transfers = Render({{10, 20, 100, 0}}, std::vector<MeshTriangle>(5000, Triangle(0, 0, 0)));
    ASSERT_EQ(transfers.size(), 2u);
    // 4,094 triangles fill 16,382 of the buffer's 16,384 quadwords.
    EXPECT_EQ(transfers[0].qwc, 16382u);
    EXPECT_EQ(transfers[1].qwc, 6 + 4 * 906u);
    for (const GifTransfer& t : transfers) {
        EXPECT_EQ(Writes(t.writes.begin(), t.writes.begin() + 6), (Writes{kHeader[0], kHeader[1], kHeader[2],
                                                                          kHeader[3], kHeader[4], kFlat}));
        EXPECT_EQ(t.writes.back(), kBelow);
    }
}

TEST_F(MeshRenderTest, TrianglesThatCannotBeDrawnAreLeftOutAndOversizedMeshesDrawNothing)
{
    // Corner indices past the vertices and a corner at the eye: one triangle of four is drawn.
    auto transfers = Render({{10, 20, 100, 0}, {1, 1, 0.9f, 0}, {10, 20, 100, 0}},
                            {Triangle(0, 2, 3), Triangle(0, 1, 2), Triangle(0xFFFFFFFF, 0, 0), Triangle(2, 0, 2)});
    ASSERT_EQ(transfers.size(), 1u);
    EXPECT_EQ(transfers[0].qwc, 10u);

    Mesh hollow = {3, nullptr, 1, triangles.data()};
    EXPECT_TRUE(Render(&hollow).empty());
    hollow = {3, vertices.data(), 1, nullptr};
    EXPECT_TRUE(Render(&hollow).empty());
    EXPECT_TRUE(Render(nullptr).empty());

    // 1,001 vertices do not fit the camera-space array; 1,000 do.
    EXPECT_TRUE(Render(std::vector<MeshVertex>(MESH_VIEW_VERTICES + 1, {10, 20, 100, 0}), {Triangle(0, 1, 2)}).empty());
    mesh.vertexCount = MESH_VIEW_VERTICES;
    EXPECT_EQ(Render(&mesh).size(), 1u);
}

TEST_F(MeshRenderTest, TheCameraUndoesItsOwnTurnAndPlaceAndTheObjectIsScaledAndTurned)
{
    // A turn of 360 degrees about each axis is the identity but for rounding.
    object.position = {1, 2, 50};
    camera.position = {1, 2, -50};
    Render({{10, 20, 0, 0}}, {});
    EXPECT_NEAR(MeshViewVertices[0].x, 10, 1e-4);
    EXPECT_NEAR(MeshViewVertices[0].y, 20, 1e-4);
    EXPECT_NEAR(MeshViewVertices[0].z, 100, 1e-4);

    // The camera's turn undoes the object's; a quarter turn about Z then takes (10, 20) to (20, -10).
    object.position = camera.position = {0, 0, 0};
    object.rotation = camera.rotation = {0, 40, 0};
    Render({{10, 20, 30, 0}}, {});
    EXPECT_NEAR(MeshViewVertices[0].x, 10, 1e-4);
    EXPECT_NEAR(MeshViewVertices[0].z, 30, 1e-4);
    camera.rotation = {0, 0, 0};
    object.rotation = {0, 0, 90};
    object.scale = {2, 3, 4};
    Render(&mesh);
    EXPECT_NEAR(MeshViewVertices[0].x, 40, 1e-4);
    EXPECT_NEAR(MeshViewVertices[0].y, -30, 1e-4);
    EXPECT_NEAR(MeshViewVertices[0].z, 120, 1e-4);

    // The object's place is seen through the camera's turn.
    object.rotation = {0, 0, 0};
    object.scale = {1, 1, 1};
    object.position = {0, 0, 100};
    camera.rotation = {0, 90, 0};
    Render({{0, 0, 0, 0}}, {});
    EXPECT_NEAR(MeshViewVertices[0].x, 100, 1e-4);
    EXPECT_NEAR(MeshViewVertices[0].z, 0, 1e-4);
}

} // namespace
