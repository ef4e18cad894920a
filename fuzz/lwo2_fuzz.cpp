// Feeds arbitrary bytes to the LWO2 loader, as a model image of type 1 (build and run: fuzz/run.sh).

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string_view>
#include <vector>

#include "console/clock.h"
#include "console/machine.h"
#include "core/pool.h"
#include "model/loader.h"

namespace {

// The console that the trace text is drawn on; its pictures and messages are dropped.
class QuietHost final : public console::Host {
public:
    void field(const console::Field&) override {}
    void message(std::string_view) override {}
};

u32 BlockSize(const void* data)
{
    u32 size;
    std::memcpy(&size, static_cast<const u8*>(data) - POOL_HEADER_SIZE, sizeof size);
    return size;
}

// Stop the run as a crash: the address sanitizer cannot see a write that stays inside the pool.
void Require(bool holds)
{
    if (!holds) std::abort();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    static QuietHost host;
    static console::VirtualClock clock;
    static console::Machine machine(host, clock);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // A buffer of exactly the input's size (never null, even when empty), so any read past the image is caught.
    const std::unique_ptr<u8[]> image(new u8[size]);
    std::memcpy(image.get(), data, size);
    OrbMemInit();
    const MeshSource source = {MESH_TYPE_LWO2, image.get(), static_cast<s32>(size)};
    Require(OrbMeshOpen(&source) == 0);

    Mesh* mesh = static_cast<Mesh*>(OrbAlloc(sizeof(Mesh)));
    *mesh = {};
    const int code = OrbMeshLoad(mesh);
    Require(code >= 0 && code <= 3 && code != 2);
    if (mesh->vertices) Require(BlockSize(mesh->vertices) >= u64{mesh->vertexCount} * sizeof(MeshVertex));
    if (mesh->triangles) Require(BlockSize(mesh->triangles) >= u64{mesh->triangleCount} * sizeof(MeshTriangle));
    Require(mesh->vertices || mesh->vertexCount == 0);
    Require(mesh->triangles || mesh->triangleCount == 0);

    // The arrays of a second PNTS or POLS chunk replace the first without freeing them, so the pool need not come
    // back whole; but its free list must still be ordered, apart and inside the storage.
    OrbMeshFree(mesh);
    u64 end = 0;
    for (const PoolFreeBlock& block : OrbPoolFreeBlocks()) {
        Require(block.offset > end && u64{block.offset} + POOL_HEADER_SIZE + block.size <= POOL_SIZE);
        end = u64{block.offset} + POOL_HEADER_SIZE + block.size;
    }
    return 0;
}
