#include "frontend/options.h"

#include <gtest/gtest.h>

namespace {

using frontend::ParseOptions;

TEST(Options, HeadlessRunWithPicturesEveryKthField)
{
    std::string error;
    const auto o = ParseOptions({"--headless", "--frames", "4103", "--png", "out", "--every", "50"}, error);
    ASSERT_TRUE(o) << error;
    EXPECT_TRUE(o->headless);
    EXPECT_EQ(o->frames, 4103u);
    EXPECT_EQ(o->pngDir, "out");
    EXPECT_EQ(o->every, 50u);
}

TEST(Options, RefusesWhatItCannotDoNamingTheOption)
{
    const std::vector<std::vector<std::string>> refused = {
        {"--headless"}, {"--frames", "0"}, {"--frames", "12x"}, {"--every", "-3"}, {"--png"}, {"--colour"},
        {"--replay", "a", "--gs-dump", "b"}, {"--gs-dump-from", "5"}, {"--pad", "joystick"},
        {"--replay", "a", "--wav", "b"}, {"--model", "x.lwo"},
        {"--gs-dump-from", "10", "--gs-dump", "d", "--headless", "--frames", "10"}};
    for (const auto& args : refused) {
        std::string error;
        EXPECT_FALSE(ParseOptions(args, error)) << args[0];
        EXPECT_NE(error.find(args[0] == "--headless" ? "--frames" : args[0]), std::string::npos) << error;
    }
}

TEST(Options, SoundHostControllerAndTheProgramsOwnOptions)
{
    std::string error;
    const auto o = ParseOptions({"--wav", "a.wav", "--host", "dir", "--pad", "dualshock-noact", "--model", "cube.lwo"},
                                error, {"--model"});
    ASSERT_TRUE(o) << error;
    EXPECT_EQ(o->wav, "a.wav");
    EXPECT_EQ(o->hostDir, "dir");
    EXPECT_EQ(o->pad, pad::Kind::DualShockNoActuators);
    EXPECT_EQ(o->programArgs, (std::vector<std::string>{"--model", "cube.lwo"}));
    EXPECT_EQ(ParseOptions({"--pad", "none"}, error)->pad, pad::Kind::None);
    EXPECT_EQ(ParseOptions({}, error)->pad, pad::Kind::DualShock);
}

TEST(Options, GsCheckIsOffUnlessAskedAndStrictOnlyWhenSaid)
{
    using Check = frontend::Options::GsCheck;
    std::string error;
    EXPECT_EQ(ParseOptions({}, error)->gsCheck, Check::Off);
    EXPECT_EQ(ParseOptions({"--gs-check"}, error)->gsCheck, Check::On);
    EXPECT_EQ(ParseOptions({"--gs-check=strict"}, error)->gsCheck, Check::Strict);
    EXPECT_FALSE(ParseOptions({"--gs-check=loud"}, error));
    EXPECT_NE(error.find("\"loud\""), std::string::npos) << error;
}

TEST(Options, StatsSplitsAreIncreasingFieldCounts)
{
    std::string error;
    EXPECT_EQ(ParseOptions({"--stats-split", "1600,2000,3700"}, error)->statsSplits,
              (std::vector<std::uint64_t>{1600, 2000, 3700}));
    for (const char* bad : {"", "1600,", ",5", "5,5", "7,3", "0", "1600;2000", "2x", "-4"}) {
        EXPECT_FALSE(ParseOptions({"--stats-split", bad}, error)) << bad;
        EXPECT_NE(error.find("--stats-split"), std::string::npos) << error;
    }
}

TEST(Options, HelpListsEveryOption)
{
    const frontend::Program viewer{"orbview", 500, {"--model"}, nullptr};
    const std::string usage = frontend::UsageText(viewer);
    for (const char* option : {"--headless", "--frames", "--png", "--every", "--contact-sheet", "--video", "--wav",
                               "--host", "--pad", "--gs-dump", "--gs-dump-from", "--replay", "--gs-check[=strict]", "--stats-split", "--help", "--model",
                               "orbview.mp4"})
        EXPECT_NE(usage.find(option), std::string::npos) << option;
}

} // namespace
