#include "viewer/view_space.h"

#include <cmath>

#include "gfx/display.h"
#include "gfx/gs.h"

// The framework's mesh renderer divides by the depth with this focal length, in pixels.
static constexpr float FOCAL_LENGTH = 500.5f;
// How far past the picture's edge the guard planes lie, in picture widths from its centre.
static constexpr float GUARD = 1.5f;
// Depth written for a point on the near plane; 24 bits leave the sums of the GS's interpolation exact in a
// double and the top of the 32-bit z-buffer unused.
static constexpr float DEPTH_SCALE = 16777216.0f;
static constexpr float PI_F = 3.14159265f;

static float Radians(float degrees) { return degrees * PI_F / 180.0f; }

ViewerScreen ViewerScreenFor(float nearZ)
{
    const DisplayContext* display = PS2GetDisplay();
    const float w = PS2GetWidth();
    const float h = PS2GetHeight();
    // A field's lines are as tall as the screen's 4:3 shape makes them, whatever the mode's pixel count.
    const float lineHeight = (w * 3.0f) / (h * 4.0f);
    ViewerScreen s;
    s.centreX = (w / 2.0f + static_cast<float>(display->offsetX)) * 16.0f;
    s.centreY = (h / 2.0f + static_cast<float>(display->offsetY)) * 16.0f;
    s.focalX = FOCAL_LENGTH * 16.0f;
    s.focalY = FOCAL_LENGTH * 16.0f / lineHeight;
    s.nearZ = nearZ;
    s.guardX = GUARD * (w / 2.0f) * 16.0f / s.focalX;
    s.guardY = GUARD * (h / 2.0f) * 16.0f / s.focalY;
    return s;
}

float ViewerHalfField(const ViewerScreen* screen)
{
    const float x = screen->guardX / GUARD;
    const float y = screen->guardY / GUARD;
    return x < y ? x : y;
}

void ViewerPlaceVertices(const Mesh* mesh, const ViewerCamera* camera, Vector3* out)
{
    const float sy = std::sin(Radians(camera->yaw)), cy = std::cos(Radians(camera->yaw));
    const float sp = std::sin(Radians(camera->pitch)), cp = std::cos(Radians(camera->pitch));
    for (u32 i = 0; i < mesh->vertexCount; ++i) {
        const MeshVertex& v = mesh->vertices[i];
        // The mesh's z points towards the viewer; the eye looks along LightWave's z, away from it.
        const float x = v.x - camera->centre.x, y = v.y - camera->centre.y, z = camera->centre.z - v.z;
        const float x1 = x * cy + z * sy, z1 = z * cy - x * sy;
        const float y2 = y * cp + z1 * sp, z2 = z1 * cp - y * sp;
        out[i] = {x1, -y2, z2 + camera->distance};
    }
}

// Signed distance of p inside plane k: near, left, right, top, bottom.
static float Inside(const ViewerScreen* s, const Vector3& p, int k)
{
    switch (k) {
    case 0: return p.z - s->nearZ;
    case 1: return s->guardX * p.z + p.x;
    case 2: return s->guardX * p.z - p.x;
    case 3: return s->guardY * p.z + p.y;
    default: return s->guardY * p.z - p.y;
    }
}

static constexpr int PLANES = 5;

static Vector3 Between(const Vector3& a, const Vector3& b, float t)
{
    return {a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t, a.z + (b.z - a.z) * t};
}

u32 ViewerClipTriangle(const ViewerScreen* screen, const Vector3& a, const Vector3& b, const Vector3& c,
                       Vector3* out)
{
    Vector3 buffers[2][VIEWER_CLIP_CORNERS];
    Vector3* from = buffers[0];
    u32 count = 3;
    from[0] = a, from[1] = b, from[2] = c;
    for (int k = 0; k < PLANES && count > 0; ++k) {
        Vector3* to = k == PLANES - 1 ? out : buffers[(k + 1) % 2];
        u32 kept = 0;
        for (u32 i = 0; i < count; ++i) {
            const Vector3& p = from[i];
            const Vector3& q = from[(i + 1) % count];
            const float dp = Inside(screen, p, k), dq = Inside(screen, q, k);
            // Each plane cuts a convex polygon at most twice, so it grows by one corner at most; rounding can
            // make a sliver look otherwise, and the bound is kept all the same.
            if (dp >= 0.0f && kept < VIEWER_CLIP_CORNERS) to[kept++] = p;
            if ((dp >= 0.0f) != (dq >= 0.0f) && kept < VIEWER_CLIP_CORNERS) to[kept++] = Between(p, q, dp / (dp - dq));
        }
        from = to;
        count = kept;
    }
    if (count > 0 && from != out)
        for (u32 i = 0; i < count; ++i) out[i] = from[i];
    return count;
}

bool ViewerClipSegment(const ViewerScreen* screen, Vector3* a, Vector3* b)
{
    float t0 = 0.0f, t1 = 1.0f;
    for (int k = 0; k < PLANES; ++k) {
        const float da = Inside(screen, *a, k), db = Inside(screen, *b, k);
        if (da < 0.0f && db < 0.0f) return false;
        if (da < 0.0f) t0 = std::fmax(t0, da / (da - db));
        if (db < 0.0f) t1 = std::fmin(t1, da / (da - db));
    }
    if (t0 > t1) return false;
    const Vector3 from = *a, to = *b;
    *a = Between(from, to, t0);
    *b = Between(from, to, t1);
    return true;
}

u64 ViewerScreenXyz2(const ViewerScreen* screen, const Vector3& p, float nearer)
{
    const float x = screen->centreX + p.x * screen->focalX / p.z;
    const float y = screen->centreY + p.y * screen->focalY / p.z;
    const float depth = DEPTH_SCALE * nearer * screen->nearZ / p.z;
    return PS2GsXyz2(static_cast<u64>(std::lround(x)), static_cast<u64>(std::lround(y)),
                     static_cast<u64>(std::lround(depth)));
}
