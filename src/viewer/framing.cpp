#include "viewer/framing.h"

#include <cmath>

static bool Finite(const MeshVertex& v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

bool ViewerUsableTriangle(const Mesh* mesh, u32 t)
{
    for (const MeshCorner& corner : mesh->triangles[t].corners)
        if (corner.vertex >= mesh->vertexCount || !Finite(mesh->vertices[corner.vertex])) return false;
    return true;
}

void ViewerFrame(const Mesh* mesh, ViewerFraming* out)
{
    *out = {};
    bool any = false;
    for (u32 t = 0; mesh && mesh->triangles && mesh->vertices && t < mesh->triangleCount; ++t) {
        if (!ViewerUsableTriangle(mesh, t)) {
            ++out->strayTriangles;
            continue;
        }
        ++out->triangles;
        for (const MeshCorner& corner : mesh->triangles[t].corners) {
            const MeshVertex& v = mesh->vertices[corner.vertex];
            if (!any) out->low = out->high = v;
            any = true;
            out->low = {std::fmin(out->low.x, v.x), std::fmin(out->low.y, v.y), std::fmin(out->low.z, v.z), 0.0f};
            out->high = {std::fmax(out->high.x, v.x), std::fmax(out->high.y, v.y), std::fmax(out->high.z, v.z), 0.0f};
        }
    }
    // Halves first: the sum of two far-apart coordinates near the top of the float range would overflow.
    out->centre = {out->low.x / 2 + out->high.x / 2, out->low.y / 2 + out->high.y / 2, out->low.z / 2 + out->high.z / 2,
                   0.0f};
    // The ball reaches the farthest point used, which may lie well inside the box's corners (a disc, a ball).
    double farthest = 0;
    for (u32 t = 0; mesh && mesh->triangles && mesh->vertices && t < mesh->triangleCount; ++t) {
        if (!ViewerUsableTriangle(mesh, t)) continue;
        for (const MeshCorner& corner : mesh->triangles[t].corners) {
            const MeshVertex& v = mesh->vertices[corner.vertex];
            const double dx = static_cast<double>(v.x) - out->centre.x;
            const double dy = static_cast<double>(v.y) - out->centre.y;
            const double dz = static_cast<double>(v.z) - out->centre.z;
            farthest = std::fmax(farthest, dx * dx + dy * dy + dz * dz);
        }
    }
    out->radius = static_cast<float>(std::sqrt(farthest));
}

float ViewerFramingDistance(float radius, float halfField)
{
    const float r = radius > 0.0f ? radius : 1.0f;
    // The ball's outline touches the edges when the eye sees its radius under half the field of view.
    return r * std::sqrt(1.0f + halfField * halfField) / halfField;
}
