#pragma once

#include "cloth/mesh.h"
#include "math3d/vector.h"
#include "ps2/types.h"

// Camera space: x to the right, y down the screen, z away from the eye; the eye sits at the origin.

// Where the eye looks from: the model turned about its own vertical (yaw) and then tilted towards the eye by
// the elevation (pitch), both in degrees, its centre `distance` ahead of the eye.
struct ViewerCamera {
    MeshVertex centre;
    float yaw;
    float pitch;
    float distance;
};

// How camera space meets the screen: in 1/16 pixel units, as the GS takes its coordinates.
struct ViewerScreen {
    float centreX;
    float centreY;
    float focalX;
    float focalY;
    float nearZ; // nothing nearer than this is drawn; depth is nearZ / z, 1 at this plane
    float guardX; // |x| / z beyond which a point lies well outside the picture
    float guardY;
};

// The largest corner count a triangle can have after clipping by the near plane and the four guard planes.
inline constexpr u32 VIEWER_CLIP_CORNERS = 8;

// Return the screen of the display in use for a camera that never comes nearer than nearZ to what it draws:
// a 4:3 picture whose horizontal field is that of the framework's mesh renderer.
ViewerScreen ViewerScreenFor(float nearZ);
// Return the tangent of half the picture's smaller field of view, the one that limits the framing.
float ViewerHalfField(const ViewerScreen* screen);
// Write the camera-space position of each of the mesh's vertices into out.
void ViewerPlaceVertices(const Mesh* mesh, const ViewerCamera* camera, Vector3* out);
// Clip the triangle a, b, c to the part in front of the near plane and inside the guard planes; returns the
// corners of that convex polygon (0 when nothing is left), at most VIEWER_CLIP_CORNERS, written into out.
u32 ViewerClipTriangle(const ViewerScreen* screen, const Vector3& a, const Vector3& b, const Vector3& c,
                       Vector3* out);
// Clip the segment a-b the same way; false when nothing of it is left.
bool ViewerClipSegment(const ViewerScreen* screen, Vector3* a, Vector3* b);
// Return XYZ2 for a clipped camera-space point, its depth raised by the factor `nearer` (1 for none), larger
// for nearer points so that the GS's GREATER test keeps the nearest.
u64 ViewerScreenXyz2(const ViewerScreen* screen, const Vector3& p, float nearer);
