#include <benchmark/benchmark.h>


#include "bench/demo_console.h"
#include "cloth/cloth.h"
#include "cloth/mesh.h"
#include "cloth/net.h"
#include "core/pool.h"
#include "data/images.h"
#include "gfx/display.h"
#include "gfx/packet.h"
#include "gfx/texture.h"

namespace {

// A console showing the flag as the timeline has it on frame 0: net, mesh and texture in place.
class FlagScene {
public:
    FlagScene()
    {
        OrbMemInit();
        ClothNetBuild(&net_);
        ClothMeshBuild(&ClothMesh);
        ClothMeshUpdate(&ClothMesh, &net_);
        TextureSlotCount = 0;
        slot_ = PS2TextureUpload(FlagImage.pixels, 256, 256);
    }

    ClothNet* net() { return &net_; }
    int slot() const { return slot_; }

private:
    DemoConsole console_;
    ClothNet net_ = {};
    int slot_ = 0;
};

// Filling the PacketBuffer with the flag's 13,578 quadwords, without sending them.
void BM_ClothMeshPacket(benchmark::State& state)
{
    FlagScene scene;
    for (auto _ : state) {
        benchmark::DoNotOptimize(ClothMeshPacket(&ClothMesh, 0, 256, 256));
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * ClothMesh.triangleCount);
    state.counters["qwc"] = GsPacket.packetQwc;
}

// Sending the built packet: the DMA transfer and the GS model drawing 2,262 textured triangles.
void BM_ClothMeshSend(benchmark::State& state)
{
    FlagScene scene;
    ClothMeshPacket(&ClothMesh, 0, 256, 256);
    for (auto _ : state) PS2SendPacket();
    state.SetItemsProcessed(state.iterations() * ClothMesh.triangleCount);
}

// The whole per-frame cost of the flag's drawing as the timeline calls it: update, build and send.
void BM_ClothMeshUpdateAndDraw(benchmark::State& state)
{
    FlagScene scene;
    for (auto _ : state) {
        ClothMeshUpdate(&ClothMesh, scene.net());
        ClothMeshDraw(&ClothMesh, scene.slot(), 256, 256);
    }
    state.SetItemsProcessed(state.iterations() * ClothMesh.triangleCount);
}

// Copying the 1,200 particle positions into the mesh.
void BM_ClothMeshUpdate(benchmark::State& state)
{
    FlagScene scene;
    for (auto _ : state) {
        ClothMeshUpdate(&ClothMesh, scene.net());
        benchmark::ClobberMemory();
    }
}

} // namespace

BENCHMARK(BM_ClothMeshPacket);
BENCHMARK(BM_ClothMeshSend);
BENCHMARK(BM_ClothMeshUpdateAndDraw);
BENCHMARK(BM_ClothMeshUpdate);
