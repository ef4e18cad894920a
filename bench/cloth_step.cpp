#include <benchmark/benchmark.h>

#include <string_view>

#include "cloth/cloth.h"
#include "cloth/net.h"
#include "console/clock.h"
#include "console/machine.h"
#include "gfx/display.h"

namespace {

class QuietHost final : public console::Host {
public:
    void field(const console::Field&) override {}
    void message(std::string_view) override {}
};

// One physics step of the flag net, as the timeline runs it each frame from 301 to 1999.
void BM_ClothStep(benchmark::State& state)
{
    QuietHost host;
    console::VirtualClock clock;
    console::Machine machine(host, clock);
    const DisplayInitParams params = {1, 0x30, 5};
    PS2Init(&params);

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
