#include "viewer/outline.h"

#include <cmath>

#include "gfx/draw2d.h"
#include "gfx/gs.h"
#include "gfx/packet.h"
#include "viewer/framing.h"
#include "viewer/gs_batch.h"

// Lines come a little nearer than the faces they lie on, so that a face's own depth does not hide them.
static constexpr float LINE_NEARER = 1.004f;
// GEQUAL, depth test on.
static constexpr u64 TEST_ZGEQUAL = 0x50000;
// Faces seen this nearly edge-on (the cosine between normal and line of sight) leave their edges to the faces
// beside them: their own would crowd into a smudge.
static constexpr float EDGE_ON = 0.25f;

// Tell whether the eye sees the triangle a, b, c almost edge-on; a triangle without area is a line or a point
// and is always outlined.
static bool EdgeOn(const Vector3& a, const Vector3& b, const Vector3& c)
{
    const Vector3 u = VectorSub(b, a), v = VectorSub(c, a);
    const Vector3 n = {u.y * v.z - u.z * v.y, u.z * v.x - u.x * v.z, u.x * v.y - u.y * v.x};
    const float facing = n.x * a.x + n.y * a.y + n.z * a.z;
    const float scale = std::sqrt(VectorLength2(n) * VectorLength2(a));
    return scale > 0.0f && std::fabs(facing) < EDGE_ON * scale;
}

u32 ViewerPolygonEdges(const Mesh* mesh, u32 t)
{
    const u32 polygon = mesh->triangles[t].polygon;
    const bool first = t == 0 || mesh->triangles[t - 1].polygon != polygon;
    const bool last = t + 1 == mesh->triangleCount || mesh->triangles[t + 1].polygon != polygon;
    return (first ? 1u : 0u) | 2u | (last ? 4u : 0u);
}

void ViewerOutline(const Mesh* mesh, const Vector3* view, const ViewerScreen* screen, u32 colour)
{
    if (!mesh || !mesh->triangles || !mesh->vertices) return;
    const ViewerGsWrite setup[] = {
        {GS_ZBUF_1, PS2TriangleZbuf()},
        {GS_TEST_1, TEST_ZGEQUAL},
        {GS_PRIM, GS_PRIM_LINE},
        {GS_RGBAQ, PS2ColourRgbaq(colour)},
    };
    ViewerBatchBegin(setup, 4);
    for (u32 t = 0; t < mesh->triangleCount; ++t) {
        const MeshCorner* c = mesh->triangles[t].corners;
        if (!ViewerUsableTriangle(mesh, t)) continue;
        if (EdgeOn(view[c[0].vertex], view[c[1].vertex], view[c[2].vertex])) continue;
        const u32 edges = ViewerPolygonEdges(mesh, t);
        for (u32 k = 0; k < 3; ++k) {
            if (!(edges & 1u << k)) continue;
            Vector3 a = view[c[k].vertex];
            Vector3 b = view[c[(k + 1) % 3].vertex];
            if (!ViewerClipSegment(screen, &a, &b)) continue;
            ViewerBatchRoom(2);
            PS2PacketAdd(GS_XYZ2, ViewerScreenXyz2(screen, a, LINE_NEARER));
            PS2PacketAdd(GS_XYZ2, ViewerScreenXyz2(screen, b, LINE_NEARER));
        }
    }
    ViewerBatchEnd();
}
