#include <benchmark/benchmark.h>

#include <vector>

#include "bench/demo_console.h"
#include "gfx/packet.h"
#include "math3d/mesh_render.h"

namespace {

// A 22 x 13 grid of vertices, 504 triangles, in front of the eye across most of the screen.
class GridScene {
public:
    GridScene()
    {
        constexpr u32 columns = 21;
        constexpr u32 rows = 12;
        for (u32 i = 0; i <= columns; ++i)
            for (u32 j = 0; j <= rows; ++j) vertices_.push_back({i * 6.0f - 63, j * 8.0f - 48, 100, 0});
        for (u32 i = 0; i < columns; ++i) {
            for (u32 j = 0; j < rows; ++j) {
                const u32 v = i * (rows + 1) + j;
                triangles_.push_back(Triangle(v, v + 1, v + rows + 1));
                triangles_.push_back(Triangle(v + 1, v + rows + 2, v + rows + 1));
            }
        }
        mesh_ = {static_cast<u32>(vertices_.size()), vertices_.data(), static_cast<u32>(triangles_.size()),
                 triangles_.data()};
        object_.mesh = &mesh_;
    }

    MeshObject* object() { return &object_; }
    MeshCamera* camera() { return &camera_; }
    const Mesh* mesh() const { return &mesh_; }

private:
    static MeshTriangle Triangle(u32 a, u32 b, u32 c)
    {
        return {{{a, 0, 0, 0}, {b, 0.5f, 0, 0}, {c, 0, 0.5f, 0}}, 1, 0};
    }

    DemoConsole console_;
    std::vector<MeshVertex> vertices_;
    std::vector<MeshTriangle> triangles_;
    Mesh mesh_ = {};
    MeshObject object_ = {{0, 0, 0}, {0, 0, 0}, {1, 1, 1}, nullptr, 1};
    MeshCamera camera_ = {{0, 0, 0}, {0, 0, 0}};
};

// The whole call: transform, packet build, and the GS model drawing the 504 triangles.
void BM_MeshRender(benchmark::State& state)
{
    GridScene scene;
    for (auto _ : state) MeshRender(scene.object(), scene.camera());
    state.SetItemsProcessed(state.iterations() * scene.mesh()->triangleCount);
}

// Filling the PacketBuffer from the camera-space vertices, without sending: 2,022 quadwords.
void BM_MeshRenderPacket(benchmark::State& state)
{
    GridScene scene;
    MeshRender(scene.object(), scene.camera());
    for (auto _ : state) {
        benchmark::DoNotOptimize(MeshRenderPacket(scene.mesh(), 0));
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * scene.mesh()->triangleCount);
    state.counters["qwc"] = GsPacket.packetQwc;
}

// Sending the built packet alone: the DMA transfer and the GS drawing.
void BM_MeshRenderSend(benchmark::State& state)
{
    GridScene scene;
    MeshRender(scene.object(), scene.camera());
    MeshRenderPacket(scene.mesh(), 0);
    for (auto _ : state) PS2SendPacket();
    state.SetItemsProcessed(state.iterations() * scene.mesh()->triangleCount);
}

} // namespace

BENCHMARK(BM_MeshRender);
BENCHMARK(BM_MeshRenderPacket);
BENCHMARK(BM_MeshRenderSend);
