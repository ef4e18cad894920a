#pragma once

#include "cloth/mesh.h"
#include "math3d/vector.h"
#include "ps2/types.h"

// Three f32 components: a position, angles in degrees about X, Y and Z, or scale factors.
struct MeshTriple {
    float x;
    float y;
    float z;
};

// A mesh placed in the world; drawn only when enabled is exactly 1.
struct MeshObject {
    MeshTriple position;
    MeshTriple rotation;
    MeshTriple scale;
    Mesh* mesh;
    s32 enabled;
};

// The eye: where it stands and how it is turned, in degrees.
struct MeshCamera {
    MeshTriple position;
    MeshTriple rotation;
};

inline constexpr u32 MESH_VIEW_VERTICES = 1000;

// Camera-space positions of the last drawn mesh's vertices, index for index.
extern Vector3 MeshViewVertices[MESH_VIEW_VERTICES];

// Draw a mesh as flat-coloured triangles seen from the camera; returns 0. Meshes of more than
// MESH_VIEW_VERTICES vertices draw nothing, triangles with a corner outside the mesh are left out.
int MeshRender(MeshObject* object, MeshCamera* camera);
// Fill the PacketBuffer with the set-up and the triangles from first on, taking the corners from
// MeshViewVertices; returns the first triangle that did not fit.
u32 MeshRenderPacket(const Mesh* mesh, u32 first);

// Place a camera-space point on the screen as the coloured-textured emitter places its corners; false when its
// depth truncates to 0.
bool MeshCornerXyz2(const Vector3* p, u64* xyz2);
// Append one triangle in the flat colour; returns its quadwords, 4, or 0 when it is left out.
u32 MeshEmitFlat(const Vector3* p0, const MeshCorner* c0, const Vector3* p1, const MeshCorner* c1,
                 const Vector3* p2, const MeshCorner* c2);
// Append one triangle textured from the corners' coordinates; returns its quadwords, 6, or 0 when left out.
u32 MeshEmitTextured(const Vector3* p0, const MeshCorner* c0, const Vector3* p1, const MeshCorner* c1,
                     const Vector3* p2, const MeshCorner* c2);
// Append one triangle textured and coloured grey at every corner; returns its quadwords, 9, or 0 when left out.
u32 MeshEmitColourTextured(const Vector3* p0, const MeshCorner* c0, const Vector3* p1, const MeshCorner* c1,
                           const Vector3* p2, const MeshCorner* c2);
