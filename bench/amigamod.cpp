#include <benchmark/benchmark.h>

#include <fstream>
#include <iterator>

#include "tests/iop/fake_iop.h"

namespace {

// One field (960 stereo frames at 48,000 Hz) of the demo's song from the player module, as LIBSD asks for it
// field after field. The player renders on a thread of its own, so the time is measured as real time: its
// rendering rate, not the little the asking thread spends.
void BM_AmigamodField(benchmark::State& state)
{
    std::ifstream file(ORB_SOURCE_DIR "/host/ROBOT.MOD", std::ios::binary);
    const std::vector<u8> song(std::istreambuf_iterator<char>(file), {});
    iop_testing::FakeIop iop(AMIGAMOD_PATH);
    iop.start();
    iop.call(0x10, {});
    std::copy(song.begin(), song.end(), iop.memory.begin() + 0x80000);
    if (song.empty() || iop_testing::Word(iop.call(0x20, iop_testing::Words({0x80000})), 0) != 0) {
        state.SkipWithError("host/ROBOT.MOD is missing or does not load");
        return;
    }
    iop.call(0x80, iop_testing::Words({0}));

    std::vector<s16> samples(2 * iop_testing::kFieldFrames);
    for (auto _ : state) {
        iop.fill(iop.fillContext, samples.data(), iop_testing::kFieldFrames);
        benchmark::DoNotOptimize(samples.data());
    }
    state.SetItemsProcessed(state.iterations());
}

} // namespace

BENCHMARK(BM_AmigamodField)->UseRealTime();
