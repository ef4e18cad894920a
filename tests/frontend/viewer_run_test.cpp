#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "tests/frontend/orbdemo_run.h"

namespace {

using testing_support::Field;
using testing_support::FreshDirectory;
using testing_support::RunOrbdemo;
namespace fs = std::filesystem;
using namespace std::string_literals;

std::size_t Lit(const std::vector<std::uint32_t>& pixels)
{
    return static_cast<std::size_t>(
        std::count_if(pixels.begin(), pixels.end(), [](std::uint32_t p) { return (p & 0xFFFFFF) != 0; }));
}

TEST(ViewerRun, LoadsTheEmbeddedPlateAndTurnsIt)
{
    const auto dir = FreshDirectory("viewer");
    const auto run = RunOrbdemo("--headless --frames 41 --png " + dir.string() + " --every 20", dir, "orbview");
    ASSERT_EQ(run.status, 0) << run.output;
    EXPECT_NE(run.output.find("plate.lwo: 258 vertices, 504 triangles, code 0\n"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("padSetActAlign: 1\n"), std::string::npos) << run.output;
    const auto a = Field(dir, 20), b = Field(dir, 40);
    EXPECT_GT(Lit(a), 2000u);
    EXPECT_GT(Lit(b), 2000u);
    EXPECT_NE(a, b);
}

TEST(ViewerRun, DrawsWhateverAModelFileGave)
{
    const auto dir = FreshDirectory("viewer-models");
    fs::create_directories(dir / "host");
    std::ifstream plate(ORB_SOURCE_DIR "/data/plate.lwo", std::ios::binary);
    const std::string object((std::istreambuf_iterator<char>(plate)), std::istreambuf_iterator<char>());
    std::ofstream(dir / "host" / "plate.lwo", std::ios::binary) << object;
    std::ofstream(dir / "host" / "cut.lwo", std::ios::binary) << object.substr(0, 4000);
    std::ofstream(dir / "host" / "old.lwo", std::ios::binary) << "FORM\0\0\0\4LWOB"s;

    const struct {
        const char* model;
        const char* line;
    } cases[] = {
        {"plate.lwo", "plate.lwo: 258 vertices, 504 triangles, code 0\n"},
        {"old.lwo", "old.lwo: 0 vertices, 0 triangles, code 1\n"},
        {"missing.lwo", "missing.lwo: 0 vertices, 0 triangles, code 2\n"},
    };
    for (const auto& c : cases) {
        const auto run = RunOrbdemo("--headless --frames 3 --host " + (dir / "host").string() + " --model " + c.model,
                                    dir, "orbview");
        EXPECT_EQ(run.status, 0) << run.output;
        EXPECT_NE(run.output.find(c.line), std::string::npos) << run.output;
    }
    // A cut object keeps what it read before the cut.
    const auto cut = RunOrbdemo("--headless --frames 3 --host " + (dir / "host").string() + " --model cut.lwo", dir,
                                "orbview");
    EXPECT_EQ(cut.status, 0) << cut.output;
    EXPECT_NE(cut.output.find("cut.lwo: 258 vertices, "), std::string::npos) << cut.output;
}

TEST(ViewerRun, ControllerKindsSetUpAsTheyCanAndNoneStopsTheRun)
{
    const auto dir = FreshDirectory("viewer-pads");
    const auto digital = RunOrbdemo("--headless --frames 3 --pad digital", dir, "orbview");
    EXPECT_EQ(digital.status, 0) << digital.output;
    EXPECT_NE(digital.output.find("This is NOT a dual shock controller\n"), std::string::npos) << digital.output;
    const auto none = RunOrbdemo("--headless --frames 3 --pad none", dir, "orbview");
    EXPECT_NE(none.status, 0);
    EXPECT_NE(none.output.find("pad initalization failed!\n"), std::string::npos) << none.output;
    EXPECT_NE(none.output.find("went to sleep"), std::string::npos) << none.output;
}

} // namespace
