#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/mount.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "console/dump/dump_file.h"
#include "console/dump/gs_dump.h"
#include "tests/frontend/orbdemo_run.h"
#include "tests/support/ffmpeg.h"

extern char** environ;

namespace {

using testing_support::FreshDirectory;
using testing_support::HaveFfmpeg;
using testing_support::ReadFile;
using testing_support::RunResult;
namespace fs = std::filesystem;

// Runs orbdemo in `dir` with `environment` set before it (words for the shell).
RunResult RunIn(const fs::path& dir, const std::string& arguments, const std::string& environment = "")
{
    const auto log = dir / "output.txt";
    const std::string command = "cd '" + dir.string() + "' && " + environment + " " ORB_BINARY_DIR "/orbdemo " +
                                arguments + " >output.txt 2>&1";
    const int raw = std::system(command.c_str());
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, ReadFile(log)};
}

// "codec,duration,frames" per stream.
std::vector<std::string> Probe(const fs::path& video)
{
    const fs::path out = video.parent_path().parent_path() / (video.parent_path().filename().string() + ".probe");
    const std::string command = "ffprobe -v error -count_frames -show_entries stream=codec_name,nb_read_frames,"
                                "duration -of csv=p=0 'file:" + video.string() + "' >'" + out.string() + "' 2>&1";
    std::vector<std::string> lines;
    const bool read = std::system(command.c_str()) == 0;
    std::ifstream in(out);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    if (!read) lines.insert(lines.begin(), "ffprobe failed");
    return lines;
}

// The files in `dir` other than the run's log.
std::vector<std::string> FilesIn(const fs::path& dir)
{
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir))
        if (entry.path().filename() != "output.txt") names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// The duration of a stream that Probe() tells of.
double Duration(const std::string& stream) { return std::stod(stream.substr(stream.find(',') + 1)); }
// The frames of a stream that Probe() tells of.
unsigned long Frames(const std::string& stream) { return std::stoul(stream.substr(stream.rfind(',') + 1)); }

// Stereo frames of a WAV file as its header counts them, after checking the header counts the file.
std::size_t WavFrames(const fs::path& path)
{
    const std::string bytes = ReadFile(path);
    if (bytes.size() < 44) return 0;
    std::uint32_t data;
    std::memcpy(&data, bytes.data() + 40, 4);
    EXPECT_EQ(data, bytes.size() - 44) << path;
    return data / 4;
}

// Writes a dump of one field for each of `magh`, with the display showing 2560 / (MAGH + 1) pixels a line.
void WriteDumpOfWidths(const fs::path& path, const std::vector<unsigned>& magh)
{
    console::DumpFileBuf file;
    ASSERT_TRUE(file.openForWriting(path.string()));
    std::ostream out(&file);
    console::GsDumpWriter dump(out);
    dump.privilegedWrite(gs::PMODE, 0x2);                         // read circuit 2 only
    dump.privilegedWrite(gs::DISPFB2, std::uint64_t{10} << 9);    // 640 pixels a line, PSMCT32
    dump.privilegedWrite(gs::BGCOLOR, 0x204060);
    for (const unsigned m : magh) {
        // DW covers 2560 clocks; MAGH + 1 clocks a pixel.
        dump.privilegedWrite(gs::DISPLAY2, std::uint64_t{2559} << 32 | std::uint64_t{255} << 44 | std::uint64_t{m} << 23);
        dump.vblank();
    }
    out.flush();
    ASSERT_TRUE(file.close());
}

TEST(RecordingRun, WhenFfmpegStopsTheRunStopsSaysWhyAndLeavesNoVideo)
{
    const auto dir = FreshDirectory();
    // An ffmpeg that takes a field and a half, leaves half a file and fails.
    fs::create_directories(dir / "bin");
    std::ofstream(dir / "bin" / "ffmpeg") << "#!/bin/sh\n"
                                             "for last; do :; done\n"
                                             "echo half >\"${last#file:}\"\n"
                                             "head -c 1000000 >/dev/null\n"
                                             "echo 'out.mp4: No space left on device' >&2\n"
                                             "exit 1\n";
    fs::permissions(dir / "bin" / "ffmpeg", fs::perms::owner_all);
    WriteDumpOfWidths(dir / "long.gsdump", std::vector<unsigned>(3000, 3));
    const std::string path = "PATH='" + (dir / "bin").string() + "':\"$PATH\"";
    for (const std::string run : {"--headless --frames 3000 --wav out.wav", "--replay long.gsdump"}) {
        const auto result = RunIn(dir, run + " --video out.mp4", path);
        // Not 141: SIGPIPE did not end it.
        EXPECT_EQ(result.status, 1) << run << ": " << result.output;
        EXPECT_NE(result.output.find("orbdemo: recording out.mp4 failed: ffmpeg stopped with exit status 1:\n"
                                     "    out.mp4: No space left on device\n"),
                  std::string::npos)
            << run << ": " << result.output;
        EXPECT_FALSE(fs::exists(dir / "out.mp4")) << run;
    }
    // The run stopped soon after, and the sound it made is a whole file.
    EXPECT_LT(WavFrames(dir / "out.wav"), 3000u * 960 / 2);
    EXPECT_EQ(FilesIn(dir), (std::vector<std::string>{"bin", "long.gsdump", "out.wav"}));
}

TEST(RecordingRun, AFullDiskFailsTheRecordingWithFfmpegsWordsAndNoFileLeft)
{
    if (!HaveFfmpeg()) GTEST_SKIP() << "ffmpeg is not installed";
    const auto dir = FreshDirectory();
    const auto disk = dir / "disk";
    fs::create_directories(disk);
    if (mount("tmpfs", disk.c_str(), "tmpfs", 0, "size=512k") != 0) GTEST_SKIP() << "cannot mount a small tmpfs";
    const auto run = RunIn(disk.parent_path(), "--headless --frames 400 --video disk/out.mp4");
    const auto left = FilesIn(disk);
    umount(disk.c_str());
    EXPECT_EQ(run.status, 1) << run.output;
    EXPECT_NE(run.output.find("orbdemo: recording disk/out.mp4 failed: ffmpeg stopped with exit status"),
              std::string::npos)
        << run.output;
    EXPECT_NE(run.output.find("No space left on device"), std::string::npos) << run.output;
    EXPECT_EQ(left, std::vector<std::string>{});
}

TEST(RecordingRun, NamesThatLookLikeOptionsAreFiles)
{
    if (!HaveFfmpeg()) GTEST_SKIP() << "ffmpeg is not installed";
    const auto dir = FreshDirectory();
    for (const std::string name : {"-y.mp4", "-i:x.mp4"}) {
        const auto run = RunIn(dir, "--headless --frames 10 --video '" + name + "'");
        ASSERT_EQ(run.status, 0) << name << ": " << run.output;
        EXPECT_EQ(Probe(dir / name), (std::vector<std::string>{"h264,0.200000,10", "aac,0.200000,10"})) << name;
    }
}

TEST(RecordingRun, AReplayWhoseDisplayWidthChangesKeepsEveryField)
{
    if (!HaveFfmpeg()) GTEST_SKIP() << "ffmpeg is not installed";
    const auto dir = FreshDirectory();
    // 640, 512, 320 and 1280 pixels a line.
    WriteDumpOfWidths(dir / "widths.gsdump", {3, 3, 4, 4, 4, 7, 7, 1, 3});
    const auto run = RunIn(dir, "--replay widths.gsdump --video widths.mp4");
    ASSERT_EQ(run.status, 0) << run.output;
    // Nine pictures and a silent sound track as long as them.
    EXPECT_EQ(Probe(dir / "widths.mp4"), (std::vector<std::string>{"h264,0.180000,9", "aac,0.180000,9"}));
}

// Starts orbdemo in `dir`; returns its process id.
pid_t Start(const fs::path& dir, const std::vector<std::string>& arguments)
{
    std::vector<std::string> words{ORB_BINARY_DIR "/orbdemo"};
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& w : words) argv.push_back(w.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addchdir_np(&actions, dir.c_str());
    posix_spawn_file_actions_addopen(&actions, 2, "output.txt", O_WRONLY | O_CREAT | O_TRUNC, 0644);
    pid_t pid = -1;
    EXPECT_EQ(posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ), 0);
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

// Waits for the sound file to hold `fields` fields: the run is well under way.
bool WaitForFields(const fs::path& wav, std::uintmax_t fields)
{
    for (int tries = 0; tries < 1200; ++tries) {
        std::error_code ec;
        if (fs::file_size(wav, ec) > 44 + fields * 3840 && !ec) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
}

// Waits for every process this test started, ffmpeg included once its parent has gone.
void ReapAll()
{
    while (waitpid(-1, nullptr, 0) > 0 || errno == EINTR) {
    }
}

TEST(RecordingRun, KilledMidwayTheVideoIsStillWholeAndPlayable)
{
    if (!HaveFfmpeg()) GTEST_SKIP() << "ffmpeg is not installed";
    // ffmpeg, left without its parent, comes to this test to be waited for.
    ASSERT_EQ(prctl(PR_SET_CHILD_SUBREAPER, 1), 0);
    const auto dir = FreshDirectory();
    const pid_t pid = Start(dir, {"--headless", "--frames", "100000", "--video", "out.mp4", "--wav", "out.wav"});
    ASSERT_TRUE(WaitForFields(dir / "out.wav", 100));
    kill(pid, SIGKILL);
    ReapAll();
    EXPECT_EQ(FilesIn(dir), (std::vector<std::string>{"out.mp4", "out.wav"}));
    // ffmpeg saw its input end and closed the file: the fields it was given, with their sound.
    const auto streams = Probe(dir / "out.mp4");
    ASSERT_EQ(streams.size(), 2u) << ::testing::PrintToString(streams);
    EXPECT_GE(Frames(streams[0]), 100u);
    EXPECT_NEAR(Duration(streams[1]), Duration(streams[0]), 0.25);
}

TEST(RecordingRun, StoppedBySigtermOrCtrlCTheVideoAndWavHoldTheSameFields)
{
    if (!HaveFfmpeg()) GTEST_SKIP() << "ffmpeg is not installed";
    for (const int signal : {SIGTERM, SIGINT}) {
        const auto dir = FreshDirectory(std::to_string(signal));
        const pid_t pid = Start(dir, {"--headless", "--frames", "100000", "--video", "out.mp4", "--wav", "out.wav"});
        ASSERT_TRUE(WaitForFields(dir / "out.wav", 100));
        kill(pid, signal);
        int status = 0;
        waitpid(pid, &status, 0);
        if (WIFSIGNALED(status)) GTEST_SKIP() << "orbdemo does not stop at a field on signal " << signal << " yet";
        EXPECT_TRUE(WIFEXITED(status)) << status;
        const auto streams = Probe(dir / "out.mp4");
        ASSERT_EQ(streams.size(), 2u) << ::testing::PrintToString(streams);
        const unsigned long fields = Frames(streams[0]);
        EXPECT_GE(fields, 100u);
        EXPECT_DOUBLE_EQ(Duration(streams[0]), fields / 50.0);
        EXPECT_DOUBLE_EQ(Duration(streams[1]), fields / 50.0);
        EXPECT_EQ(WavFrames(dir / "out.wav"), fields * 960);
    }
}

} // namespace
