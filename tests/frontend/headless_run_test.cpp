#include <gtest/gtest.h>

#include <fstream>

#include "frontend/png_file.h"
#include "tests/frontend/run_support.h"

namespace {

using testing_support::FreshDirectory;
using testing_support::RunOrbdemo;

console::Picture Read(const std::filesystem::path& path)
{
    console::Picture p;
    std::string error;
    EXPECT_TRUE(frontend::ReadPng(path.string(), p, error)) << error;
    return p;
}

TEST(HeadlessRun, WritesEveryFieldAndItsReplayShowsTheSame)
{
    const auto dir = FreshDirectory("ten-fields");
    const auto run = RunOrbdemo("--headless --frames 10 --png " + (dir / "run").string() + " --gs-dump " +
                                    (dir / "run.gsdump").string(),
                                dir);
    ASSERT_EQ(run.status, 0) << run.output;
    const auto replay =
        RunOrbdemo("--replay " + (dir / "run.gsdump").string() + " --png " + (dir / "replay").string(), dir);
    ASSERT_EQ(replay.status, 0) << replay.output;
    for (int k = 0; k < 10; ++k) {
        char name[32];
        std::snprintf(name, sizeof name, "field-%05d.png", k);
        const console::Picture shown = Read(dir / "run" / name);
        EXPECT_EQ(shown.width, 640u);
        EXPECT_EQ(shown.height, 256u);
        EXPECT_EQ(shown.pixels, Read(dir / "replay" / name).pixels) << name;
    }
    EXPECT_FALSE(std::filesystem::exists(dir / "run" / "field-00010.png"));
    // The first field shows the second buffer as start-up cleared it.
    for (const std::uint32_t p : Read(dir / "run" / "field-00000.png").pixels) ASSERT_EQ(p, 0xFF000000u);
}

TEST(HeadlessRun, EveryKthFieldKeepsItsOwnNumber)
{
    const auto dir = FreshDirectory("every-third");
    const auto run = RunOrbdemo("--headless --frames 10 --every 3 --png " + dir.string(), dir);
    ASSERT_EQ(run.status, 0) << run.output;
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) files += entry.path().extension() == ".png";
    EXPECT_EQ(files, 4);
    for (const char* name : {"field-00000.png", "field-00003.png", "field-00006.png", "field-00009.png"})
        EXPECT_TRUE(std::filesystem::exists(dir / name)) << name;
}

TEST(HeadlessRun, ADumpStartedMidRunReplaysTheSameFields)
{
    const auto dir = FreshDirectory("dump-from");
    ASSERT_EQ(RunOrbdemo("--headless --frames 12 --png " + (dir / "run").string() + " --gs-dump-from 8 --gs-dump " +
                             (dir / "tail.gsdump.gz").string(),
                         dir)
                  .status,
              0);
    ASSERT_EQ(RunOrbdemo("--replay " + (dir / "tail.gsdump.gz").string() + " --png " + (dir / "replay").string(), dir)
                  .status,
              0);
    for (int k = 0; k < 4; ++k) {
        char run[32], replay[32];
        std::snprintf(run, sizeof run, "field-%05d.png", k + 8);
        std::snprintf(replay, sizeof replay, "field-%05d.png", k);
        EXPECT_EQ(Read(dir / "run" / run).pixels, Read(dir / "replay" / replay).pixels) << run;
    }
}

TEST(HeadlessRun, RecordsAVideoOfTheSampledFields)
{
    if (std::system("command -v ffprobe >/dev/null 2>&1") != 0) GTEST_SKIP() << "ffmpeg is not installed";
    const auto dir = FreshDirectory("video");
    const auto video = dir / "run.mp4";
    const auto run = RunOrbdemo("--headless --frames 20 --every 2 --video " + video.string(), dir);
    ASSERT_EQ(run.status, 0) << run.output;
    const std::string probe = "ffprobe -v error -count_frames -show_entries stream=width,height,nb_read_frames "
                              "-of csv=p=0 " + video.string() + " >" + (dir / "probe.txt").string();
    ASSERT_EQ(std::system(probe.c_str()), 0);
    std::ifstream in(dir / "probe.txt");
    std::string line;
    std::getline(in, line);
    // Ten fields, each line shown twice as on the screen.
    EXPECT_EQ(line, "640,512,10");
}

TEST(HeadlessRun, BrokenDumpsAndBadOptionsFailWithOneMessage)
{
    const auto dir = FreshDirectory("broken");
    std::ofstream(dir / "bad.gsdump") << "ORBGSDMP\x01";
    const auto bad = RunOrbdemo("--replay " + (dir / "bad.gsdump").string() + " --png " + dir.string(), dir);
    EXPECT_EQ(bad.status, 1);
    EXPECT_NE(bad.output.find("cut short"), std::string::npos) << bad.output;

    const auto missing = RunOrbdemo("--replay " + (dir / "missing.gsdump").string(), dir);
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.output.find("cannot read"), std::string::npos) << missing.output;

    const auto option = RunOrbdemo("--frames ten", dir);
    EXPECT_EQ(option.status, 2);
    EXPECT_NE(option.output.find("--frames"), std::string::npos);

    EXPECT_EQ(RunOrbdemo("--help", dir).status, 0);
}

} // namespace
