#pragma once

#include "cloth/mesh.h"
#include "ps2/types.h"

// What the viewer frames: the box around the points that the mesh's triangles use.
struct ViewerFraming {
    u32 triangles;       // triangles whose three corners are points of the mesh
    u32 strayTriangles;  // triangles naming a point the mesh does not have, or one at no finite place: never drawn
    MeshVertex low;      // the box's corners
    MeshVertex high;
    MeshVertex centre;   // the middle of the box
    float radius;        // the ball around the centre that holds every point used
};

// Tell whether triangle t names three points of the mesh, each at a finite place: only those are drawn.
bool ViewerUsableTriangle(const Mesh* mesh, u32 t);
// Measure the mesh's triangles and the box of the points they use; a mesh without a usable triangle gets an
// empty box at the origin.
void ViewerFrame(const Mesh* mesh, ViewerFraming* out);
// Return how far from the centre the eye must stand for the ball of this radius to fill the picture from edge
// to edge across its narrower way, where tan(half the narrower field of view) is halfField. A ball of radius 0
// (a single point) is given the distance of a ball of radius 1.
float ViewerFramingDistance(float radius, float halfField);
