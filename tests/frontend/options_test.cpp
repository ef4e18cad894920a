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

TEST(Options, RefusesWhatItCannotDo)
{
    std::string error;
    EXPECT_FALSE(ParseOptions({"--headless"}, error));
    EXPECT_NE(error.find("--frames"), std::string::npos);
    EXPECT_FALSE(ParseOptions({"--frames", "0"}, error));
    EXPECT_FALSE(ParseOptions({"--frames", "12x"}, error));
    EXPECT_FALSE(ParseOptions({"--every", "-3"}, error));
    EXPECT_FALSE(ParseOptions({"--png"}, error));
    EXPECT_FALSE(ParseOptions({"--colour"}, error));
    EXPECT_NE(error.find("--colour"), std::string::npos);
    EXPECT_FALSE(ParseOptions({"--replay", "a", "--gs-dump", "b"}, error));
    EXPECT_FALSE(ParseOptions({"--gs-dump-from", "5"}, error));
}

TEST(Options, HelpListsEveryOption)
{
    const std::string usage = frontend::UsageText();
    for (const char* option : {"--headless", "--frames", "--png", "--every", "--contact-sheet", "--video",
                               "--gs-dump", "--gs-dump-from", "--replay", "--help"})
        EXPECT_NE(usage.find(option), std::string::npos) << option;
}

} // namespace
