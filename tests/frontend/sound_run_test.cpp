#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>

#include "tests/frontend/orbdemo_run.h"

namespace {

using testing_support::FreshDirectory;
using testing_support::RunOrbdemo;
namespace fs = std::filesystem;

constexpr std::size_t kFieldFrames = 960;

// The samples of a 48 kHz stereo 16-bit WAV file, after checking its header.
std::vector<std::int16_t> ReadWav(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_GE(bytes.size(), 44u);
    if (bytes.size() < 44) return {};
    std::uint32_t rate, dataBytes;
    std::uint16_t channels, bits;
    std::memcpy(&channels, &bytes[22], 2);
    std::memcpy(&rate, &bytes[24], 4);
    std::memcpy(&bits, &bytes[34], 2);
    std::memcpy(&dataBytes, &bytes[40], 4);
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 4), "RIFF");
    EXPECT_EQ(rate, 48000u);
    EXPECT_EQ(channels, 2u);
    EXPECT_EQ(bits, 16u);
    EXPECT_EQ(dataBytes, bytes.size() - 44);
    std::vector<std::int16_t> samples(dataBytes / 2);
    std::memcpy(samples.data(), bytes.data() + 44, samples.size() * 2);
    return samples;
}

// The loudest sample of field k.
int Peak(const std::vector<std::int16_t>& samples, std::size_t k)
{
    int peak = 0;
    for (std::size_t i = 2 * kFieldFrames * k; i < 2 * kFieldFrames * (k + 1) && i < samples.size(); ++i)
        peak = std::max(peak, std::abs(int{samples[i]}));
    return peak;
}

TEST(SoundRun, MusicPlaysFromFieldOneFadesAndStopsUntilTheNextPass)
{
    const auto dir = FreshDirectory("wav");
    const auto run = RunOrbdemo("--headless --frames 4103 --wav " + (dir / "out.wav").string(), dir);
    ASSERT_EQ(run.status, 0) << run.output;
    const auto samples = ReadWav(dir / "out.wav");
    ASSERT_EQ(samples.size(), 4103 * 2 * kFieldFrames);
    // Field 0 comes before frame 0 starts the music.
    EXPECT_EQ(Peak(samples, 0), 0);
    int silentSeconds = 0;
    for (std::size_t second = 0; second < 74; ++second) {
        int loudest = 0;
        for (std::size_t k = 1 + 50 * second; k < 51 + 50 * second; ++k) loudest = std::max(loudest, Peak(samples, k));
        silentSeconds += loudest < 1000;
    }
    EXPECT_EQ(silentSeconds, 0);
    // Stopped at the end of frame 3909: silence from field 3910 until the next pass plays at its frame 0.
    for (std::size_t k = 3910; k <= 4101; ++k) ASSERT_EQ(Peak(samples, k), 0) << k;
    EXPECT_GT(Peak(samples, 4102), 0);
}

TEST(SoundRun, WithoutGoodMusicFilesTheDemoRunsOnAndSaysWhy)
{
    const fs::path built = ORB_BINARY_DIR "/host";
    std::string noise(20000, '\0');
    std::mt19937 random(3);
    for (char& c : noise) c = static_cast<char>(random());
    std::ifstream songFile(built / "ROBOT.MOD", std::ios::binary);
    const std::string song((std::istreambuf_iterator<char>(songFile)), std::istreambuf_iterator<char>());

    const struct {
        const char* name;
        std::string song; // empty: no song file
        bool module;
        const char* message;
    } cases[] = {
        {"no-song", "", true, "MusicInit: cannot open host:/ROBOT.MOD"},
        {"big-song", std::string(300000, 'x'), true, "is 300000 bytes, more than the 204800"},
        {"random-song", noise, true, "MusicInit: the player cannot take host:/ROBOT.MOD"},
        {"truncated-song", song.substr(0, 3000), true,
         "AMIGAMOD: the song at 0x100000 is cut short: 3000 of the 46698 bytes it names"},
        {"no-module", song, false, "MusicInit: cannot load the player host:AMIGAMOD.IRX"},
    };
    for (const auto& c : cases) {
        const auto dir = FreshDirectory(c.name);
        fs::create_directories(dir / "host");
        if (!c.song.empty()) std::ofstream(dir / "host" / "ROBOT.MOD", std::ios::binary) << c.song;
        if (c.module) fs::copy_file(built / "AMIGAMOD.IRX", dir / "host" / "AMIGAMOD.IRX");
        const auto run = RunOrbdemo("--headless --frames 60 --png " + (dir / "png").string() + " --every 59 --host " +
                                        (dir / "host").string() + " --wav " + (dir / "out.wav").string(),
                                    dir);
        EXPECT_EQ(run.status, 0) << c.name << ": " << run.output;
        EXPECT_NE(run.output.find(c.message), std::string::npos) << c.name << ": " << run.output;
        EXPECT_TRUE(fs::exists(dir / "png" / "field-00059.png")) << c.name;
        EXPECT_EQ(ReadWav(dir / "out.wav").size(), 60 * 2 * kFieldFrames) << c.name;
    }
}

} // namespace
