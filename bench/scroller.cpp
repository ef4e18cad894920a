#include <benchmark/benchmark.h>


#include "bench/demo_console.h"
#include "gfx/display.h"
#include "gfx/packet.h"
#include "gfx/scroller.h"

namespace {

constexpr const char* kGreeting = "Welcome to this new mini compo for round #16 of QVD, Zorzal by Kavel ..... :D, no VU "
                                  "microcode :(( perhaps for the next month !!";

// The frame of the pass whose scroller packet is the largest, as the timeline calls it (x = 640 - f, y = 244).
s32 LargestFrame()
{
    u32 largest = 0;
    s32 frame = 0;
    for (s32 f = 0; f <= 4100; ++f) {
        const u32 qwc = ScrollerBuildPacket(640 - f, 244, kGreeting, f) + 1;
        if (qwc > largest) {
            largest = qwc;
            frame = f;
        }
    }
    return frame;
}

// Only the packet build of the largest frame.
void BM_ScrollerBuild(benchmark::State& state)
{
    DemoConsole console;
    const s32 f = LargestFrame();
    for (auto _ : state) {
        benchmark::DoNotOptimize(ScrollerBuildPacket(640 - f, 244, kGreeting, f));
        benchmark::ClobberMemory();
    }
    state.counters["frame"] = f;
    state.counters["qwc"] = GsPacket.packetQwc;
}

// The whole DrawScroller of the largest frame: depth switches, build, and the send through the console model.
void BM_DrawScroller(benchmark::State& state)
{
    DemoConsole console;
    const s32 f = LargestFrame();
    for (auto _ : state) DrawScroller(640 - f, 244, kGreeting, f);
    state.counters["frame"] = f;
}

} // namespace

BENCHMARK(BM_ScrollerBuild);
BENCHMARK(BM_DrawScroller);
