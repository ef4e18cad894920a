#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "tests/frontend/orbdemo_run.h"

namespace {

using testing_support::FreshDirectory;
using testing_support::ReadFile;
namespace fs = std::filesystem;

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

// SIGTERM in the middle of a recording ends it at a field boundary with both files whole and in step.
TEST(TerminalRun, ASignalDuringARecordingFinishesItAndSaysSo)
{
    if (!Have("ffprobe")) GTEST_SKIP() << "ffmpeg is not installed";
    const auto dir = FreshDirectory();
    const auto video = dir / "-pass.mp4", wav = dir / "pass.wav", status = dir / "status", log = dir / "log";
    // Wait until sound has been recorded, then ask the program to stop.
    const std::string script = "cd " + dir.string() + " && { " + kOrbdemo + " --headless --frames 100000 --video ./-pass.mp4 --wav pass.wav 2>" +
                               log.string() + " & pid=$!; while [ $(stat -c %s pass.wav 2>/dev/null || echo 0) -lt 400000 ]; do sleep 0.1; done; kill -TERM $pid; wait $pid; echo $? > " +
                               status.string() + "; }";
    ASSERT_EQ(std::system(("sh -c '" + script + "'").c_str()), 0);
    EXPECT_EQ(ReadFile(status), "143\n");
    EXPECT_NE(ReadFile(log).find("orbdemo: terminated; what was recorded up to then is kept"), std::string::npos)
        << ReadFile(log);
    // Nothing but the two recordings is left.
    std::vector<std::string> files;
    for (const auto& entry : fs::directory_iterator(dir)) files.push_back(entry.path().filename());
    std::sort(files.begin(), files.end());
    EXPECT_EQ(files, (std::vector<std::string>{"-pass.mp4", "log", "pass.wav", "status"}));

    // The WAV holds whole fields; the video as many frames, and its sound as long.
    const std::uint64_t bytes = fs::file_size(wav) - 44;
    EXPECT_EQ(bytes % 3840, 0u);
    const std::uint64_t fields = bytes / 3840;
    EXPECT_GE(fields, 100u);
    const auto probe = dir / "probe.txt";
    ASSERT_EQ(std::system(("ffprobe -v error -count_frames -show_entries stream=codec_type,nb_read_frames,duration -of csv=p=0 " + video.string() + " > " + probe.string()).c_str()), 0);
    const std::string streams = ReadFile(probe);
    const std::string seconds = std::to_string(fields / 50), frames = std::to_string(fields);
    EXPECT_NE(streams.find("video," + seconds + "."), std::string::npos) << streams;
    EXPECT_NE(streams.find(std::string(",") + frames + "\n"), std::string::npos) << streams << fields;
    EXPECT_NE(streams.find("audio,"), std::string::npos) << streams;
}

} // namespace
