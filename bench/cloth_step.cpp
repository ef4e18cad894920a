#include <benchmark/benchmark.h>


#include "bench/demo_console.h"
#include "cloth/cloth.h"
#include "cloth/net.h"
#include "gfx/display.h"

namespace {

// One physics step of the flag net, as the timeline runs it each frame from 301 to 1999.
void BM_ClothStep(benchmark::State& state)
{
    DemoConsole console;

    ClothNet net;
    ClothNetBuild(&net);
    ClothInit(&net);
    int steps = 0;
    for (auto _ : state) {
        // Rebuild now and then so the flag never leaves the range the demo sees.
        if (++steps == 1700) {
            state.PauseTiming();
            ClothNetBuild(&net);
            steps = 0;
            state.ResumeTiming();
        }
        ClothStep(&net);
        benchmark::DoNotOptimize(ParticlePool[0].velocity);
    }
    state.SetItemsProcessed(state.iterations());
}

} // namespace

BENCHMARK(BM_ClothStep);
