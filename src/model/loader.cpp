#include "model/loader.h"

#include "core/pool.h"
#include "model/lwo2.h"

static int AttachNothing(const MeshSource*)
{
    return MESH_LOADED;
}

static int LoadNothing(Mesh*)
{
    return MESH_LOADED;
}

const MeshLoader MeshLoaders[MESH_LOADER_TYPES] = {
    {AttachNothing, LoadNothing},
    {OrbMeshLWOAttach, OrbMeshLWOLoad},
    {AttachNothing, LoadNothing},
};

const MeshLoader* MeshLoaderSelected = nullptr;

int OrbMeshOpen(const MeshSource* source)
{
    if (!source) return MESH_NOTHING_GIVEN;
    if (source->type >= 0 && source->type < MESH_LOADER_TYPES) MeshLoaderSelected = &MeshLoaders[source->type];
    if (!source->data || !MeshLoaderSelected) return MESH_NOTHING_GIVEN;
    return MeshLoaderSelected->attach(source);
}

int OrbMeshLoad(Mesh* mesh)
{
    if (!MeshLoaderSelected) return MESH_NOTHING_GIVEN;
    return MeshLoaderSelected->load(mesh);
}

int OrbMeshFree(Mesh* mesh)
{
    if (!mesh) return 0;
    if (mesh->triangles) OrbFree(mesh->triangles);
    if (mesh->vertices) OrbFree(mesh->vertices);
    OrbFree(mesh);
    return 0;
}
