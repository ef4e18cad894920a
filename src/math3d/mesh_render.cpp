#include "math3d/mesh_render.h"

#include <algorithm>

#include "gfx/draw2d.h"
#include "gfx/gs.h"
#include "gfx/packet.h"
#include "gfx/texture.h"
#include "math3d/matrix.h"

Vector3 MeshViewVertices[MESH_VIEW_VERTICES];

static constexpr float PI_F = 3.1415927f;
static constexpr u32 TEXTURE_SIZE = 64;
static constexpr u32 HEADER_WRITES = 5;
// Register writes of one triangle from the flat emitter.
static constexpr u32 TRIANGLE_WRITES = 4;

// Return an angle in degrees as radians, multiplying before dividing.
static float Radians(float degrees) { return (degrees * PI_F) / 180.0f; }

// Build the one transform from the object's space into the camera's.
static void ViewMatrix(const MeshObject* object, const MeshCamera* camera, Matrix* m)
{
    Matrix rx;
    Matrix ry;
    Matrix rz;
    // Turning by 360 - angle undoes the camera's own turn.
    MatrixRotX(&rx, Radians(360.0f - camera->rotation.x));
    MatrixRotY(&ry, Radians(360.0f - camera->rotation.y));
    MatrixRotZ(&rz, Radians(360.0f - camera->rotation.z));
    MatrixCopy(&rx, m);
    MatrixMul(m, &ry);
    MatrixMul(m, &rz);

    const Vector3 d = {object->position.x - camera->position.x, object->position.y - camera->position.y,
                       object->position.z - camera->position.z};
    Vector3 origin;
    MatrixApply(&origin, &d, m);

    MatrixRotX(&rx, Radians(object->rotation.x));
    MatrixRotY(&ry, Radians(object->rotation.y));
    MatrixRotZ(&rz, Radians(object->rotation.z));
    MatrixScale(m, object->scale.x, object->scale.y, object->scale.z);
    MatrixMul(m, &rx);
    MatrixMul(m, &ry);
    MatrixMul(m, &rz);
    MatrixTranslate(m, origin.x, origin.y, origin.z);
}

// Return whether the mesh's arrays hold what its counts say and its vertices fit MeshViewVertices.
static bool Drawable(const Mesh* mesh)
{
    if (!mesh || mesh->vertexCount > MESH_VIEW_VERTICES) return false;
    return (mesh->vertices || mesh->vertexCount == 0) && (mesh->triangles || mesh->triangleCount == 0);
}

int MeshRender(MeshObject* object, MeshCamera* camera)
{
    if (!object || !camera || object->enabled != 1) return 0;
    const Mesh* mesh = object->mesh;
    if (!Drawable(mesh)) return 0;

    Matrix m;
    ViewMatrix(object, camera, &m);
    for (u32 i = 0; i < mesh->vertexCount; ++i) {
        const MeshVertex& v = mesh->vertices[i];
        const Vector3 point = {v.x, v.y, v.z};
        MatrixApply(&MeshViewVertices[i], &point, &m);
    }

    // A mesh larger than one packet goes on in further packets of whole triangles, each with the set-up.
    u32 next = 0;
    do {
        next = MeshRenderPacket(mesh, next);
        PS2SendPacket();
    } while (next < mesh->triangleCount);
    return 0;
}

u32 MeshRenderPacket(const Mesh* mesh, u32 first)
{
    PS2PacketBegin(0);
    PS2PacketAdd(GS_ALPHA_1, GS_ALPHA_BLEND);
    PS2PacketAdd(GS_ZBUF_1, PS2TriangleZbuf());
    PS2PacketAdd(GS_TEST_1, GS_TEST_ZALWAYS);
    PS2PacketAdd(GS_TEX0_1, PS2TextureTex0(TEXTURE_SIZE, TEXTURE_SIZE, 1));
    PS2PacketAdd(GS_PRIM, GS_PRIM_TRIANGLE_TEXTURED);

    const u32 triangles = mesh && mesh->triangles ? mesh->triangleCount : 0;
    const u32 vertices = mesh ? std::min(mesh->vertexCount, MESH_VIEW_VERTICES) : 0;
    u32 n = 0;
    u32 next = first;
    for (; next < triangles && PS2PacketRoom() >= TRIANGLE_WRITES; ++next) {
        const MeshCorner* c = mesh->triangles[next].corners;
        // Loaded models' indices are not checked on the way in.
        if (c[0].vertex >= vertices || c[1].vertex >= vertices || c[2].vertex >= vertices) continue;
        n += MeshEmitFlat(&MeshViewVertices[c[0].vertex], &c[0], &MeshViewVertices[c[1].vertex], &c[1],
                          &MeshViewVertices[c[2].vertex], &c[2]);
    }
    GsPacket.packetWords[0] = PS2GifTagPacked(n + HEADER_WRITES);
    GsPacket.packetQwc = n + HEADER_WRITES + 1;
    return next;
}
