#include "frontend/viewer_options.h"

#include <gtest/gtest.h>

namespace {

using namespace std::string_literals;

using frontend::Options;

// The options after orbview settles its own: the host folder and the words handed to the program.
std::pair<std::string, std::vector<std::string>> Settled(std::vector<std::string> words, std::string host = "")
{
    Options options;
    options.hostDir = std::move(host);
    options.programArgs = std::move(words);
    std::string error;
    EXPECT_TRUE(frontend::PrepareViewerOptions(options, error)) << error;
    return {options.hostDir, options.programArgs};
}

using Words = std::vector<std::string>;

TEST(ViewerOptions, APathServesItsFolderAndAHostNameStaysInTheHostFolder)
{
    EXPECT_EQ(Settled({"--model", "/a/b/c.lwo"}), std::pair("/a/b"s, Words{"--model", "c.lwo"}));
    EXPECT_EQ(Settled({"--model", "c.lwo"}), std::pair("."s, Words{"--model", "c.lwo"}));
    EXPECT_EQ(Settled({"--model", "../c.lwo"}), std::pair(".."s, Words{"--model", "c.lwo"}));
    // With --host, the value is a name inside that folder, confined there by the host device.
    EXPECT_EQ(Settled({"--model", "sub/c.lwo"}, "h"), std::pair("h"s, Words{"--model", "sub/c.lwo"}));
    EXPECT_EQ(Settled({"--model", "host:sub/c.lwo"}), std::pair(""s, Words{"--model", "sub/c.lwo"}));
    // The program takes the last --model; only that one is settled.
    EXPECT_EQ(Settled({"--model", "a/x.lwo", "--linger", "7", "--model", "b/y.lwo"}),
              std::pair("b"s, Words{"--model", "a/x.lwo", "--linger", "7", "--model", "y.lwo"}));
    EXPECT_EQ(Settled({"--linger", "0"}), std::pair(""s, Words{"--linger", "0"}));
}

TEST(ViewerOptions, RefusesAFolderForAModelAndNonsenseForFields)
{
    for (const Words& words : {Words{"--model", "dir/"}, Words{"--model", "."}, Words{"--model", "a/.."},
                               Words{"--model", "host:"}, Words{"--linger", "-1"}, Words{"--linger", "5x"},
                               Words{"--linger", "99999999999"}}) {
        Options options;
        options.programArgs = words;
        std::string error;
        EXPECT_FALSE(frontend::PrepareViewerOptions(options, error)) << words[1];
        EXPECT_NE(error.find(words[0]), std::string::npos) << error;
    }
}

} // namespace
