#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "tests/frontend/orbdemo_run.h"

namespace {

using testing_support::FreshDirectory;
using testing_support::ReadFile;

const std::string kOrbdemo = std::string(ORB_BINARY_DIR) + "/orbdemo";

bool Have(const char* command) { return std::system(("command -v " + std::string(command) + " >/dev/null").c_str()) == 0; }

// On a terminal the progress line is rewritten in place and ended before the statistics, which get a line
// of their own.
TEST(TerminalRun, TheProgressLineSaysHowFarAndHowFastAndLeavesRoomForWhatFollows)
{
    if (!Have("script")) GTEST_SKIP() << "script is not installed";
    const auto dir = FreshDirectory();
    const auto log = dir / "terminal.txt";
    const std::string run = kOrbdemo + " --headless --frames 120 --stats";
    ASSERT_EQ(std::system(("script -qec '" + run + "' " + log.string() + " >/dev/null").c_str()), 0);
    const std::string text = ReadFile(log);
    const auto last = text.find("\r\033[Kfield 120 of 120 (100%), ");
    ASSERT_NE(last, std::string::npos) << text;
    const auto stats = text.find("orbdemo: 120 fields in ", last);
    ASSERT_NE(stats, std::string::npos) << text;
    EXPECT_NE(text.substr(last, stats - last).find(" fields/s\r\n"), std::string::npos) << text.substr(last);
}

} // namespace
