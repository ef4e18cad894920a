#pragma once

#include "cloth/cloth.h"
#include "ps2/types.h"

// A vertex position; the fourth float fills the record to 16 bytes.
struct MeshVertex {
    float x;
    float y;
    float z;
    float pad;
};

// One corner of a triangle: its vertex and its texture coordinates, 0..1 across and down the image.
struct MeshCorner {
    u32 vertex;
    float s;
    float t;
    u32 pad;
};

// A triangle: three corners in drawing order and the number of the polygon it was cut from.
struct MeshTriangle {
    MeshCorner corners[3];
    u32 polygon;
    u32 pad;
};

// The pool sizes of the arrays are known by these strides: 19,200 bytes for the flag's 1,200 vertices
// and 134,400 for its 2,400 triangles.
static_assert(sizeof(MeshVertex) == 16 && sizeof(MeshTriangle) == 56);

// A triangle mesh whose arrays come from the memory pool and belong to it.
struct Mesh {
    u32 vertexCount;
    MeshVertex* vertices;
    u32 triangleCount;
    MeshTriangle* triangles;
};

// The flag's mesh over the 40 x 30 grid: vertex i x 30 + j is grid point (i, j).
extern Mesh ClothMesh;

// Allocate the arrays and lay two triangles over each grid cell, printing the count once; empty without room.
void ClothMeshBuild(Mesh* mesh);
// Copy the positions of the net's particles, in list order, into the vertices.
void ClothMeshUpdate(Mesh* mesh, ClothNet* net);
// Fill the PacketBuffer with triangles from `first` on (set-up first for 0); returns the first that did not fit.
u32 ClothMeshPacket(Mesh* mesh, u32 first, u32 textureWidth, u32 textureHeight);
// Send the mesh as textured, alpha-blended triangles over the texture area; the slot is not read.
void ClothMeshDraw(Mesh* mesh, int slot, u32 textureWidth, u32 textureHeight);
