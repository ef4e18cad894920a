#pragma once

#include "cloth/mesh.h"
#include "math3d/vector.h"
#include "ps2/types.h"
#include "viewer/view_space.h"

// Draw the edges of the mesh's polygons (not the seams inside a polygon's fan) as lines in the colour, over
// what ViewerDrawShaded drew from the same camera-space positions, hidden where faces lie in front.
void ViewerOutline(const Mesh* mesh, const Vector3* view, const ViewerScreen* screen, u32 colour);
// Tell which edges of triangle t bound its polygon, as bits: 1 for corner 0 to 1, 2 for 1 to 2, 4 for 2 to 0.
// A fan's inner edges join triangles of the same polygon that follow one another in the array.
u32 ViewerPolygonEdges(const Mesh* mesh, u32 t);
