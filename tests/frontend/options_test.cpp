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
        {"--replay", "a", "--gs-dump", "b"}, {"--gs-dump-from", "5"}};
    for (const auto& args : refused) {
        std::string error;
        EXPECT_FALSE(ParseOptions(args, error)) << args[0];
        EXPECT_NE(error.find(args[0] == "--headless" ? "--frames" : args[0]), std::string::npos) << error;
    }
}

TEST(Options, HelpListsEveryOption)
{
    const std::string usage = frontend::UsageText();
    for (const char* option : {"--headless", "--frames", "--png", "--every", "--contact-sheet", "--video",
                               "--gs-dump", "--gs-dump-from", "--replay", "--help"})
        EXPECT_NE(usage.find(option), std::string::npos) << option;
}

} // namespace
