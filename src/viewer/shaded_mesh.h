#pragma once

#include "cloth/mesh.h"
#include "math3d/vector.h"
#include "ps2/types.h"
#include "viewer/view_space.h"

// The colour a face takes in full light, 0xRRGGBB.
inline constexpr u32 VIEWER_SURFACE_COLOUR = 0xDCCDB4;

// Return how brightly the fixed light shows the camera-space triangle a, b, c, from its side facing the eye:
// 0.2 (in shadow) to 1 (facing the light); below 0 for a triangle with no area, which has no normal.
float ViewerFaceLight(const Vector3& a, const Vector3& b, const Vector3& c);
// Return the surface colour at a brightness of 0 to 1.
u32 ViewerShade(float light);
// Draw the mesh's triangles flat, each lit by the fixed light, depth-tested, from the camera-space positions
// in view; triangles with a corner outside the mesh or without area are left out. Returns those drawn.
u32 ViewerDrawShaded(const Mesh* mesh, const Vector3* view, const ViewerScreen* screen);
