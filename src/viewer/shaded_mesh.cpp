#include "viewer/shaded_mesh.h"

#include <cmath>

#include "gfx/draw2d.h"
#include "gfx/gs.h"
#include "gfx/packet.h"
#include "viewer/framing.h"
#include "viewer/gs_batch.h"

static constexpr u64 PRIM_TRIANGLE_FLAT = 0x3;
// Towards the light, in camera space: above, to the left and in front of the model.
static constexpr float LIGHT_X = -0.45f, LIGHT_Y = -0.65f, LIGHT_Z = -0.61f;
static constexpr float AMBIENT = 0.2f;
static constexpr float KEY = 0.65f;
// A weak light from the eye keeps faces turned from the key light apart from one another.
static constexpr float FILL = 0.15f;

static Vector3 Cross(const Vector3& u, const Vector3& v)
{
    return {u.y * v.z - u.z * v.y, u.z * v.x - u.x * v.z, u.x * v.y - u.y * v.x};
}

static float Dot(const Vector3& u, const Vector3& v) { return u.x * v.x + u.y * v.y + u.z * v.z; }

float ViewerFaceLight(const Vector3& a, const Vector3& b, const Vector3& c)
{
    Vector3 n = Cross(VectorSub(b, a), VectorSub(c, a));
    const float length = std::sqrt(Dot(n, n));
    if (!(length > 0.0f) || !std::isfinite(length)) return -1.0f;
    n = VectorScale(n, 1.0f / length);
    // Either side may face the eye: the eye sees the side whose normal points back at it.
    if (Dot(n, a) > 0.0f) n = VectorScale(n, -1.0f);
    const float lightLength = std::sqrt(LIGHT_X * LIGHT_X + LIGHT_Y * LIGHT_Y + LIGHT_Z * LIGHT_Z);
    const float key = Dot(n, {LIGHT_X / lightLength, LIGHT_Y / lightLength, LIGHT_Z / lightLength});
    const float distance = std::sqrt(Dot(a, a));
    const float fill = distance > 0.0f ? -Dot(n, a) / distance : 1.0f;
    return AMBIENT + KEY * std::fmax(key, 0.0f) + FILL * std::fmax(fill, 0.0f);
}

u32 ViewerShade(float light)
{
    const float l = std::fmin(std::fmax(light, 0.0f), 1.0f);
    u32 colour = 0;
    for (int shift = 16; shift >= 0; shift -= 8) {
        const float channel = static_cast<float>(VIEWER_SURFACE_COLOUR >> shift & 0xFF) * l;
        colour |= static_cast<u32>(std::lround(channel)) << shift;
    }
    return colour;
}

u32 ViewerDrawShaded(const Mesh* mesh, const Vector3* view, const ViewerScreen* screen)
{
    if (!mesh || !mesh->triangles || !mesh->vertices) return 0;
    const ViewerGsWrite setup[] = {
        {GS_ZBUF_1, PS2TriangleZbuf()},
        {GS_TEST_1, GS_TEST_ZGREATER},
        {GS_PRIM, PRIM_TRIANGLE_FLAT},
    };
    ViewerBatchBegin(setup, 3);
    u32 drawn = 0;
    for (u32 t = 0; t < mesh->triangleCount; ++t) {
        const MeshCorner* c = mesh->triangles[t].corners;
        if (!ViewerUsableTriangle(mesh, t)) continue;
        const Vector3& a = view[c[0].vertex];
        const Vector3& b = view[c[1].vertex];
        const Vector3& d = view[c[2].vertex];
        const float light = ViewerFaceLight(a, b, d);
        if (light < 0.0f) continue;
        Vector3 polygon[VIEWER_CLIP_CORNERS];
        const u32 corners = ViewerClipTriangle(screen, a, b, d, polygon);
        if (corners < 3) continue;
        ViewerBatchRoom(1 + 3 * (corners - 2));
        PS2PacketAdd(GS_RGBAQ, PS2ColourRgbaq(ViewerShade(light)));
        for (u32 k = 2; k < corners; ++k) {
            PS2PacketAdd(GS_XYZ2, ViewerScreenXyz2(screen, polygon[0], 1.0f));
            PS2PacketAdd(GS_XYZ2, ViewerScreenXyz2(screen, polygon[k - 1], 1.0f));
            PS2PacketAdd(GS_XYZ2, ViewerScreenXyz2(screen, polygon[k], 1.0f));
        }
        ++drawn;
    }
    ViewerBatchEnd();
    return drawn;
}
