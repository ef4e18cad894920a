#include "cloth/mesh.h"

#include <cstdio>

#include "core/pool.h"
#include "gfx/display.h"
#include "gfx/draw2d.h"
#include "gfx/gs.h"
#include "gfx/packet.h"
#include "gfx/texture.h"
#include "math3d/convert.h"

Mesh ClothMesh;

static constexpr u32 GRID_COLUMNS = 40;
static constexpr u32 GRID_ROWS = 30;
static constexpr u32 MESH_VERTICES = GRID_COLUMNS * GRID_ROWS;
static constexpr u32 MESH_TRIANGLE_ROOM = 2400;
static constexpr float S_STEP = 0.025f;
static constexpr float T_STEP = 0.033333335f;
// Register writes per triangle: UV and XYZ2 for each corner.
static constexpr u32 TRIANGLE_WRITES = 6;

static bool CountShown;

// Return the corner at grid point (i, j).
static MeshCorner Corner(u32 i, u32 j)
{
    return {i * GRID_ROWS + j, static_cast<float>(i) * S_STEP, static_cast<float>(j) * T_STEP, 0};
}

void ClothMeshBuild(Mesh* mesh)
{
    mesh->vertexCount = MESH_VERTICES;
    mesh->vertices = static_cast<MeshVertex*>(OrbAlloc(MESH_VERTICES * sizeof(MeshVertex)));
    mesh->triangleCount = MESH_TRIANGLE_ROOM;
    mesh->triangles = static_cast<MeshTriangle*>(OrbAlloc(MESH_TRIANGLE_ROOM * sizeof(MeshTriangle)));
    if (!mesh->vertices || !mesh->triangles) {
        // Nothing may be written through a failed allocation; an empty mesh draws nothing.
        OrbFree(mesh->vertices);
        OrbFree(mesh->triangles);
        mesh->vertices = nullptr;
        mesh->triangles = nullptr;
        mesh->vertexCount = 0;
        mesh->triangleCount = 0;
        return;
    }

    u32 count = 0;
    for (u32 i = 0; i + 1 < GRID_COLUMNS; ++i) {
        for (u32 j = 0; j + 1 < GRID_ROWS; ++j) {
            mesh->triangles[count++] = {{Corner(i, j), Corner(i, j + 1), Corner(i + 1, j)}, 1, 0};
            mesh->triangles[count++] = {{Corner(i, j + 1), Corner(i + 1, j + 1), Corner(i + 1, j)}, 1, 0};
        }
    }
    if (!CountShown) {
        std::printf("%d\n", static_cast<int>(count));
        CountShown = true;
    }
    mesh->triangleCount = count;
}

void ClothMeshUpdate(Mesh* mesh, ClothNet* net)
{
    u32 k = 0;
    for (const ClothParticle* p = net->particles; p && k < mesh->vertexCount; p = p->next, ++k) {
        MeshVertex& v = mesh->vertices[k];
        v.x = p->position.x;
        v.y = p->position.y;
        v.z = p->position.z;
    }
}

u32 ClothMeshPacket(Mesh* mesh, u32 first, u32 textureWidth, u32 textureHeight)
{
    const DisplayContext* display = PS2GetDisplay();
    const float width = static_cast<float>(textureWidth);
    const float height = static_cast<float>(textureHeight);

    PS2PacketBegin(0);
    if (first == 0) {
        PS2PacketAdd(GS_ALPHA_1, GS_ALPHA_BLEND);
        PS2PacketAdd(GS_ZBUF_1, PS2TriangleZbuf());
        PS2PacketAdd(GS_TEST_1, GS_TEST_ZALWAYS);
        PS2PacketAdd(GS_TEX0_1, PS2TextureTex0(textureWidth, textureHeight, textureWidth / 64));
        PS2PacketAdd(GS_PRIM, GS_PRIM_TRIANGLE_TEXTURED);
    }
    u32 next = first;
    for (; next < mesh->triangleCount && PS2PacketRoom() >= TRIANGLE_WRITES; ++next) {
        for (const MeshCorner& corner : mesh->triangles[next].corners) {
            const MeshVertex& v = mesh->vertices[corner.vertex];
            const u32 u = FloatToUnsigned((corner.s * width) * 16.0f);
            const u32 t = FloatToUnsigned((corner.t * height) * 16.0f);
            const u32 x = static_cast<u32>(FloatToInt(v.x)) + display->offsetX;
            const u32 y = static_cast<u32>(FloatToInt(v.y)) + display->offsetY;
            const u32 z = 65535u - static_cast<u32>(FloatToInt(v.z));
            PS2PacketAdd(GS_UV, PS2GsUv(u, t));
            PS2PacketAdd(GS_XYZ2, PS2GsXyz2(x * 16, y * 16, z));
        }
    }
    PS2PacketClose();
    return next;
}

void ClothMeshDraw(Mesh* mesh, int, u32 textureWidth, u32 textureHeight)
{
    // The flag fits one packet; a larger mesh goes on in further packets of whole triangles, so the GS
    // receives the same writes in the same order.
    u32 next = 0;
    do {
        next = ClothMeshPacket(mesh, next, textureWidth, textureHeight);
        PS2SendPacket();
    } while (next < mesh->triangleCount);
}
