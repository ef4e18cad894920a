#pragma once

#include "cloth/mesh.h"
#include "ps2/types.h"

// Model types of a MeshSource; only LWO2 has a loader that does anything.
inline constexpr s32 MESH_TYPE_NONE = 0;
inline constexpr s32 MESH_TYPE_LWO2 = 1;
inline constexpr s32 MESH_TYPE_OTHER = 2;
inline constexpr s32 MESH_LOADER_TYPES = 3;

// What the loaders return.
inline constexpr int MESH_LOADED = 0;
inline constexpr int MESH_NOT_LWO2 = 1;
inline constexpr int MESH_NOTHING_GIVEN = 2; // null mesh, null data or no loader selected
inline constexpr int MESH_MORE_THAN_ONE_LAYER = 3;

// A model's file image in memory: its type, its first byte (null for none) and the bytes a loader may walk.
struct MeshSource {
    s32 type;
    const u8* data;
    s32 size;
};

// The two operations of one model type.
struct MeshLoader {
    int (*attach)(const MeshSource* source);
    int (*load)(Mesh* mesh);
};

extern const MeshLoader MeshLoaders[MESH_LOADER_TYPES];
// The pair chosen by the last OrbMeshOpen of a known type; null until the first.
extern const MeshLoader* MeshLoaderSelected;

// Select the loader of the source's type (an unknown type keeps the earlier one) and attach the image to it.
int OrbMeshOpen(const MeshSource* source);
// Parse the attached image into the mesh with the selected loader; 2 when none was selected.
int OrbMeshLoad(Mesh* mesh);
// Give back the mesh's triangles, its vertices and the record itself to the pool.
int OrbMeshFree(Mesh* mesh);
