#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "tests/frontend/orbdemo_run.h"

namespace {

using testing_support::FreshDirectory;
using testing_support::ReadFile;
using testing_support::RunOrbdemo;
namespace fs = std::filesystem;

const fs::path kGoldens = fs::path(ORB_SOURCE_DIR) / "tests/goldens";

// A whole pass draws every field and makes every sample exactly as the recorded pass did: any change to the
// GS model's pixels or to the music's timing shows here, with the first field that differs. `gsThreads` (1
// or 2) chooses whether a second thread draws the GS's lower rows.
void ExpectPassAsRecorded(const char* gsThreads)
{
    const auto dir = FreshDirectory();
    const auto hashes = dir / "hashes.txt";
    const auto wav = dir / "pass.wav";
    setenv("ORB_GS_THREADS", gsThreads, 1);
    const auto run = RunOrbdemo("--headless --frames 4101 --field-hashes " + hashes.string() + " --wav " + wav.string(),
                                dir);
    unsetenv("ORB_GS_THREADS");
    ASSERT_EQ(run.status, 0) << run.output;

    std::ifstream got(hashes), want(kGoldens / "pass-hashes.txt");
    ASSERT_TRUE(want) << "no recorded hashes";
    std::string a, b;
    int lines = 0;
    while (std::getline(want, b)) {
        ASSERT_TRUE(std::getline(got, a)) << "the run ended before " << b;
        ASSERT_EQ(a, b) << "first field that differs";
        ++lines;
    }
    EXPECT_FALSE(std::getline(got, a)) << "more fields than recorded: " << a;
    EXPECT_EQ(lines, 4101);

    const auto sum = dir / "sum.txt";
    ASSERT_EQ(std::system(("sha256sum < " + wav.string() + " | cut -c1-64 > " + sum.string()).c_str()), 0);
    EXPECT_EQ(ReadFile(sum), ReadFile(kGoldens / "pass-sound.sha256")) << "the sound of the pass changed";
}

TEST(PassHashes, EveryFieldAndTheSoundOfAPassAreAsRecorded) { ExpectPassAsRecorded("1"); }

TEST(PassHashes, AsRecordedWithTheGsDrawnByTwoThreads) { ExpectPassAsRecorded("2"); }

} // namespace
