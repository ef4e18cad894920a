#include <sys/wait.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "tests/frontend/orbdemo_run.h"
#include "tests/support/ffmpeg.h"

namespace {

using testing_support::Field;
using testing_support::FreshDirectory;
using testing_support::RunOrbdemo;
namespace fs = std::filesystem;

TEST(HeadlessRun, WritesEveryFieldAndItsReplayShowsTheSame)
{
    const auto dir = FreshDirectory("ten-fields");
    const auto dump = (dir / "run.gsdump").string();
    const auto run = RunOrbdemo("--headless --frames 10 --png " + (dir / "run").string() + " --gs-dump " + dump, dir);
    ASSERT_EQ(run.status, 0) << run.output;
    const auto replay = RunOrbdemo("--replay " + dump + " --png " + (dir / "replay").string(), dir);
    ASSERT_EQ(replay.status, 0) << replay.output;
    for (int k = 0; k < 10; ++k) EXPECT_EQ(Field(dir / "run", k), Field(dir / "replay", k)) << k;
    EXPECT_FALSE(fs::exists(dir / "run" / "field-00010.png"));
    // The first field shows the second buffer as start-up cleared it.
    for (const std::uint32_t p : Field(dir / "run", 0)) ASSERT_EQ(p, 0xFF000000u);
}

TEST(HeadlessRun, EveryKthFieldKeepsItsOwnNumber)
{
    const auto dir = FreshDirectory("every-third");
    const auto run = RunOrbdemo("--headless --frames 10 --every 3 --png " + dir.string(), dir);
    ASSERT_EQ(run.status, 0) << run.output;
    int files = 0;
    for (const auto& entry : fs::directory_iterator(dir)) files += entry.path().extension() == ".png";
    EXPECT_EQ(files, 4);
    for (const char* name : {"field-00000.png", "field-00003.png", "field-00006.png", "field-00009.png"})
        EXPECT_TRUE(fs::exists(dir / name)) << name;
}

TEST(HeadlessRun, ADumpStartedMidRunReplaysTheSameFields)
{
    const auto dir = FreshDirectory("dump-from");
    const auto dump = (dir / "tail.gsdump.gz").string();
    const auto png = " --png " + (dir / "run").string();
    const auto run = RunOrbdemo("--headless --frames 12 --gs-dump-from 8 --gs-dump " + dump + png, dir);
    ASSERT_EQ(run.status, 0) << run.output;
    ASSERT_EQ(RunOrbdemo("--replay " + dump + " --png " + (dir / "replay").string(), dir).status, 0);
    for (int k = 0; k < 4; ++k) EXPECT_EQ(Field(dir / "run", k + 8), Field(dir / "replay", k)) << k;
}

TEST(HeadlessRun, RecordsAVideoOfTheSampledFields)
{
    if (!testing_support::HaveFfmpeg()) GTEST_SKIP() << "ffmpeg is not installed";
    const auto dir = FreshDirectory("video");
    const auto run = RunOrbdemo("--headless --frames 20 --every 2 --video " + (dir / "run.mp4").string(), dir);
    ASSERT_EQ(run.status, 0) << run.output;
    const std::string probe = "ffprobe -v error -select_streams v:0 -count_frames -show_entries "
                              "stream=width,height,nb_read_frames,display_aspect_ratio -of csv=p=0 " +
                              (dir / "run.mp4").string() + " >" + (dir / "probe.txt").string();
    ASSERT_EQ(std::system(probe.c_str()), 0);
    std::ifstream in(dir / "probe.txt");
    std::string line;
    std::getline(in, line);
    // Ten fields, each line shown twice, on a 4:3 screen.
    EXPECT_EQ(line, "640,512,4:3,10");
}

TEST(HeadlessRun, BrokenDumpsAndBadOptionsFailWithOneMessage)
{
    const auto dir = FreshDirectory("broken");
    std::ofstream(dir / "bad.gsdump") << "ORBGSDMP\x01";
    // A compressed dump of three fields cut where its last record ends, and a dump of no field.
    ASSERT_EQ(RunOrbdemo("--headless --frames 3 --gs-dump " + (dir / "whole.gsdump.gz").string(), dir).status, 0);
    const std::string whole = testing_support::ReadFile(dir / "whole.gsdump.gz");
    std::ofstream(dir / "cut.gsdump.gz", std::ios::binary).write(whole.data(), whole.size() - 8);
    std::ofstream(dir / "empty.gsdump", std::ios::binary).write("ORBGSDMP\1\0\0\0\0\0\0\0", 16);
    const struct {
        std::string arguments;
        int status;
        const char* message;
    } cases[] = {
        {"--replay " + (dir / "bad.gsdump").string() + " --png " + dir.string(), 1, "cut short"},
        {"--replay " + (dir / "missing.gsdump").string(), 1, "cannot read"},
        {"--replay " + (dir / "cut.gsdump.gz").string(), 1, "the dump is damaged: unexpected end of file"},
        {"--replay " + (dir / "empty.gsdump").string(), 1, "holds no fields"},
        {"--frames ten", 2, "--frames"},
        {"--help", 0, ""},
    };
    for (const auto& c : cases) {
        const auto run = RunOrbdemo(c.arguments, dir);
        EXPECT_EQ(run.status, c.status) << c.arguments;
        EXPECT_NE(run.output.find(c.message), std::string::npos) << run.output;
    }
}

// The first picture that cannot be written ends the run with its reason; no empty files are left behind.
TEST(HeadlessRun, APictureThatCannotBeWrittenStopsTheRunWithTheReason)
{
    const auto dir = FreshDirectory();
    const auto png = dir / "png";
    std::filesystem::create_directories(png);
    // Writing to /dev/full fails as a full disk does.
    std::filesystem::create_symlink("/dev/full", png / "field-00003.png");
    const auto run = RunOrbdemo("--headless --frames 40 --png " + png.string(), dir);
    EXPECT_EQ(run.status, 1);
    const std::string line = "cannot write " + (png / "field-00003.png").string() + ": No space left on device";
    EXPECT_NE(run.output.find(line), std::string::npos) << run.output;
    EXPECT_EQ(run.output.find("cannot write"), run.output.rfind("cannot write")) << "one message";
    EXPECT_EQ(run.output.find("libpng"), std::string::npos) << run.output;
    std::vector<std::string> left;
    for (const auto& entry : std::filesystem::directory_iterator(png)) left.push_back(entry.path().filename());
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, (std::vector<std::string>{"field-00000.png", "field-00001.png", "field-00002.png"}));
}

TEST(HeadlessRun, PicturesAsAScreenShowsThem)
{
    const auto dir = FreshDirectory();
    ASSERT_EQ(RunOrbdemo("--headless --frames 2 --png " + dir.string() + " --png-4x3", dir).status, 0);
    console::Picture p;
    std::string error;
    ASSERT_TRUE(frontend::ReadPng((dir / "field-00001.png").string(), p, error)) << error;
    EXPECT_EQ(p.width, 768u);
    EXPECT_EQ(p.height, 576u);
}

TEST(HeadlessRun, StatsSplitReportsEachStretchOfTheRun)
{
    const auto dir = FreshDirectory();
    const auto run = RunOrbdemo("--headless --frames 30 --stats --stats-split 10,20,40", dir);
    ASSERT_EQ(run.status, 0) << run.output;
    // The run ends before the last mark: its last stretch ends with it.
    EXPECT_NE(run.output.find("fields 0-9 at "), std::string::npos) << run.output;
    EXPECT_NE(run.output.find(" fields/s, 10-19 at "), std::string::npos) << run.output;
    EXPECT_NE(run.output.find(" fields/s, 20-29 at "), std::string::npos) << run.output;
    EXPECT_EQ(run.output.find("-39 at"), std::string::npos) << run.output;
}

} // namespace
