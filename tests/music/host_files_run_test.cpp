// The demo run whole with bad files in its host: folder: it says why and plays its pass without music.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "tests/support/temp_files.h"

namespace {

namespace fs = std::filesystem;
using testing_support::ReadFile;

struct Run {
    int status = -1;
    std::string output;
};

// Runs the demo headless for a few fields on the host folder `host`.
Run RunDemo(const fs::path& host, const fs::path& dir)
{
    const auto log = dir / "output.txt";
    const std::string command = std::string(ORB_BINARY_DIR) + "/orbdemo --headless --frames 20 --host '" +
                                host.string() + "' >'" + log.string() + "' 2>&1";
    const int raw = std::system(command.c_str());
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, ReadFile(log)};
}

// A fresh host folder with the built song and player, the player's bytes replaced by `module`.
fs::path HostFolder(const fs::path& dir, const std::string& module)
{
    const fs::path built = ORB_BINARY_DIR "/host";
    fs::create_directories(dir / "host");
    fs::copy_file(built / "ROBOT.MOD", dir / "host" / "ROBOT.MOD");
    std::ofstream(dir / "host" / "AMIGAMOD.IRX", std::ios::binary) << module;
    return dir / "host";
}

TEST(HostFilesRun, ACutOrRandomPlayerIsRefusedAndThePassRunsWithoutMusic)
{
    const std::string player = ReadFile(ORB_BINARY_DIR "/host/AMIGAMOD.IRX");
    ASSERT_GT(player.size(), 8000u);
    std::string noise(player.size(), '\0');
    std::mt19937 random(9);
    for (char& c : noise) c = static_cast<char>(random());
    const std::size_t cuts[] = {0, 100, 4000, player.size() / 3, player.size() * 2 / 3, player.size() - 1};
    for (std::size_t n = 0; n <= std::size(cuts); ++n) {
        const auto dir = testing_support::FreshDirectory("case" + std::to_string(n));
        const std::string module = n < std::size(cuts) ? player.substr(0, cuts[n]) : noise;
        const auto run = RunDemo(HostFolder(dir, module), dir);
        SCOPED_TRACE(n < std::size(cuts) ? "cut at " + std::to_string(cuts[n]) : "random bytes");
        EXPECT_EQ(run.status, 0) << run.output;
        EXPECT_NE(run.output.find("console: IOP: host:AMIGAMOD.IRX is not a module: "), std::string::npos)
            << run.output;
        EXPECT_NE(run.output.find("MusicInit: cannot load the player host:AMIGAMOD.IRX (error -201); running "
                                  "without music\n"),
                  std::string::npos)
            << run.output;
    }
}

TEST(HostFilesRun, ASongThatIsNoRegularFileIsRefusedByName)
{
    const std::string player = ReadFile(ORB_BINARY_DIR "/host/AMIGAMOD.IRX");
    const struct {
        const char* name;
        void (*make)(const fs::path& song);
        const char* said;
        int error;
    } cases[] = {
        {"fifo", [](const fs::path& song) { ASSERT_EQ(::mkfifo(song.c_str(), 0644), 0); },
         " is a FIFO, not a regular file", -6},
        {"directory", [](const fs::path& song) { fs::create_directory(song); }, " is a directory, not a regular file",
         -21},
        {"huge", [](const fs::path& song) {
             std::ofstream(song, std::ios::binary).put('x');
             fs::resize_file(song, std::uintmax_t{3} << 30);
         },
         " holds 3221225472 bytes, more than an IOP file can (2147483647)", -27},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto dir = testing_support::FreshDirectory(c.name);
        const auto host = HostFolder(dir, player);
        fs::remove(host / "ROBOT.MOD");
        c.make(host / "ROBOT.MOD");
        const auto run = RunDemo(host, dir);
        EXPECT_EQ(run.status, 0) << run.output;
        const auto song = fs::canonical(host) / "ROBOT.MOD";
        EXPECT_NE(run.output.find("console: IOP: cannot open host:/ROBOT.MOD: " + song.string() + c.said + "\n"),
                  std::string::npos)
            << run.output;
        EXPECT_NE(run.output.find("MusicInit: cannot open host:/ROBOT.MOD (error " + std::to_string(c.error) + ")"),
                  std::string::npos)
            << run.output;
        fs::remove_all(dir);
    }
}

TEST(HostFilesRun, AMissingFolderIsNamed)
{
    const auto dir = testing_support::FreshDirectory();
    const auto run = RunDemo(dir / "nonexistent", dir);
    EXPECT_EQ(run.status, 0) << run.output;
    EXPECT_NE(run.output.find("console: IOP: cannot open host:/ROBOT.MOD: the folder " + (dir / "nonexistent").string() +
                              " that host: serves does not exist\n"),
              std::string::npos)
        << run.output;
    EXPECT_NE(run.output.find("running without music"), std::string::npos) << run.output;
}

} // namespace
