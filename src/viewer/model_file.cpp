#include "viewer/model_file.h"

#include <cstdio>
#include <cstring>

#include "core/file.h"
#include "core/pool.h"
#include "data/model.h"
#include "model/loader.h"

static const char EmbeddedName[] = "plate.lwo";

// Read a host file whole into a pool block; the block, or null with size 0.
static u8* ReadHostFile(const char* name, s32* size)
{
    char path[256];
    std::snprintf(path, sizeof path, "host:%s", name);
    *size = 0;
    const int fd = OrbFileOpen(path, 0);
    if (fd < 0) {
        std::printf("%s: cannot open %s (%d)\n", name, path, fd);
        return nullptr;
    }
    const int length = OrbFileSize(fd);
    // The pool carves blocks back to back: a whole number of quadwords keeps the blocks after it aligned.
    u8* data = length > 0 ? static_cast<u8*>(OrbAlloc((static_cast<u32>(length) + 15) & ~15u)) : nullptr;
    if (data && OrbFileRead(fd, data, length) == length) *size = length;
    OrbFileClose(fd);
    if (*size == 0 && length > 0) std::printf("%s: cannot read %d bytes\n", name, length);
    return data;
}

Mesh* ViewerLoadModel(const char* name)
{
    Mesh* mesh = static_cast<Mesh*>(OrbAlloc(sizeof(Mesh)));
    if (!mesh) return nullptr;
    std::memset(mesh, 0, sizeof *mesh);
    MeshSource source = PlateModel;
    if (name) {
        s32 size = 0;
        source = {MESH_TYPE_LWO2, ReadHostFile(name, &size), size};
    }
    int code = OrbMeshOpen(&source);
    if (code == 0) code = OrbMeshLoad(mesh);
    std::printf("%s: %u vertices, %u triangles, code %d\n", name ? name : EmbeddedName, mesh->vertexCount,
                mesh->triangleCount, code);
    // The file image is parsed; the mesh keeps nothing of it.
    if (name && source.data) OrbFree(const_cast<u8*>(source.data));
    return mesh;
}
