#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>

#include "music/amigamod.h"
#include "gfx/frame.h"
#include "music/music.h"
#include "ps2/sif_rpc.h"
#include "tests/support/recording_console.h"
#include "tests/support/temp_files.h"

namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

std::vector<std::uint8_t> Words(std::initializer_list<std::uint32_t> words)
{
    std::vector<std::uint8_t> bytes(4 * words.size());
    std::memcpy(bytes.data(), words.begin(), bytes.size());
    return bytes;
}

// A stand-in for the player's server that answers with fixed words.
struct FakePlayer {
    static void* Serve(void* context, s32, void*, s32) { return static_cast<FakePlayer*>(context)->reply; }
    std::uint32_t reply[16] = {};
};

class PlayerClient : public testing::Test {
protected:
    void SetUp() override
    {
        SifInitRpc(0);
        console.machine().iop().registerServer(AMIGAMOD_SERVER_ID, FakePlayer::Serve, &player);
        // The client's state outlives a test when tests share a process.
        amigaModQuit();
        console.iop().calls.clear();
        console.iop().lines.clear();
    }

    testing_support::RecordingConsole console;
    FakePlayer player;
};

TEST_F(PlayerClient, GreetsThePlayerOnceUntilItQuits)
{
    EXPECT_EQ(amigaModInit(0), 0);
    EXPECT_EQ(amigaModInit(0), 0);
    amigaModQuit();
    EXPECT_EQ(amigaModInit(1), 0);
    const auto& calls = console.iop().calls;
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0].serverId, 0x0BADCA11u);
    EXPECT_EQ(calls[0].function, 0x10);
    EXPECT_TRUE(calls[0].wait);
    const char message[16] = "amigaModInit !";
    EXPECT_EQ(calls[0].sent, std::vector<std::uint8_t>(message, message + 16));
    EXPECT_EQ(calls[1].function, 0x810);
    EXPECT_FALSE(calls[1].wait);
}

TEST_F(PlayerClient, FailsToInitWithoutTheRpcLayer)
{
    testing_support::RecordingConsole fresh; // a console whose SIF was never brought up
    EXPECT_EQ(amigaModInit(0), -1);
    EXPECT_TRUE(fresh.iop().calls.empty());
}

TEST_F(PlayerClient, SendsTheControlsWithTheirModesAndBytes)
{
    amigaModInit(1);
    MusicPlay();
    MusicSetVolume(16381);
    MusicSetVolume(16384);
    MusicStop();
    const auto& calls = console.iop().calls;
    ASSERT_EQ(calls.size(), 6u);
    const std::pair<int, bool> expected[] = {{0x80, true}, {0x110, true}, {0x110, true},
                                             {0x110, true}, {0x90, false}, {0x110, true}};
    for (std::size_t i = 0; i < calls.size(); ++i) {
        EXPECT_EQ(calls[i].function, expected[i].first) << i;
        EXPECT_EQ(calls[i].wait, expected[i].second) << i;
        EXPECT_EQ(calls[i].sent.size(), 4u) << i;
    }
    EXPECT_EQ(calls[0].sent, Words({0}));
    EXPECT_EQ(calls[1].sent, Words({16383}));
    EXPECT_EQ(calls[2].sent, Words({16381}));
    EXPECT_EQ(calls[3].sent, Words({0})); // only the low 14 bits are sent
    EXPECT_EQ(calls[5].sent, Words({0}));
}

TEST_F(PlayerClient, GetInfoCopiesReplyWordsOneToFour)
{
    amigaModInit(1);
    for (std::uint32_t i = 0; i < 5; ++i) player.reply[i] = 10 + i;
    std::uint32_t info[5] = {0, 0, 0, 0, 99};
    EXPECT_EQ(amigaModGetInfo(info), 0);
    EXPECT_EQ(info[0], 11u);
    EXPECT_EQ(info[3], 14u);
    EXPECT_EQ(info[4], 99u);
}

TEST_F(PlayerClient, SendsBlocksOf252BytesFromAnyAlignment)
{
    amigaModInit(1);
    std::uint8_t source[260];
    for (int i = 0; i < 260; ++i) source[i] = static_cast<std::uint8_t>(i);
    amigaModSendBlock(source + 3);
    const auto& call = console.iop().calls.at(0);
    EXPECT_EQ(call.function, 0x900);
    EXPECT_FALSE(call.wait);
    EXPECT_EQ(call.sent, std::vector<std::uint8_t>(source + 3, source + 255));
}

TEST_F(PlayerClient, LoadCopiesTheSongBeforeTellingThePlayerAndFreesTheLastBlockFirst)
{
    amigaModInit(1);
    player.reply[0] = 7;
    static std::uint8_t song[1000];
    EXPECT_EQ(amigaModLoad(song, 1000), 7);
    EXPECT_EQ(amigaModLoad(song, 600), 7);
    EXPECT_EQ(console.iop().lines, (Lines{"alloc 1000 -> 0x100000", "dma 0x100000 1000", "call 0x20 wait 4",
                                          "free 0x100000", "alloc 600 -> 0x100000", "dma 0x100000 600",
                                          "call 0x20 wait 4"}));
    EXPECT_EQ(console.iop().calls.back().sent, Words({0x100000}));
}

TEST_F(PlayerClient, LoadSendsNothingWhenTheIopHasNoRoom)
{
    amigaModInit(1);
    static std::uint8_t song[100000];
    ASSERT_EQ(amigaModLoad(song, 16), 0);
    // Take the rest of the heap: the next song finds no room once the first block is given back.
    ASSERT_NE(console.machine().iop().allocate(iop::Heap::kEnd - iop::Heap::kStart - 64), 0u);
    console.iop().lines.clear();
    EXPECT_EQ(amigaModLoad(song, 100000), -1);
    EXPECT_EQ(console.iop().lines, (Lines{"free 0x100000", "alloc 100000 -> 0x0"}));
}

// The demo's start-up against the real player module, with songs good and bad in a host folder of its own.
class MusicStartUp : public testing::Test {
protected:
    void SetUp() override
    {
        dir = testing_support::FreshDirectory();
        const fs::path built = ORB_BINARY_DIR "/host";
        fs::copy_file(built / "AMIGAMOD.IRX", dir / "AMIGAMOD.IRX");
        fs::copy_file(built / "ROBOT.MOD", dir / "ROBOT.MOD");
        console.machine().iop().setHostDirectory(dir);
        amigaModQuit();
        // A song block that an earlier test in this process left to the client is freed first: not this test's.
        console.iop().lines.clear();
        console.iop().calls.clear();
    }

    // What the IOP received, without the freeing of a block from an earlier test.
    Lines Received()
    {
        Lines lines = console.iop().lines;
        std::erase_if(lines, [](const std::string& line) { return line.starts_with("free"); });
        return lines;
    }

    void TearDown() override { fs::remove_all(dir); }

    void WriteSong(const std::string& bytes) { std::ofstream(dir / "ROBOT.MOD", std::ios::binary) << bytes; }

    // Runs MusicInit and returns what it said on stderr.
    std::string Init(int expected)
    {
        testing::internal::CaptureStderr();
        EXPECT_EQ(MusicInit("host:/ROBOT.MOD"), expected);
        return testing::internal::GetCapturedStderr();
    }

    fs::path dir;
    testing_support::RecordingConsole console;
};

TEST_F(MusicStartUp, LoadsTheModulesReadsTheSongAndHandsItOver)
{
    const auto size = fs::file_size(dir / "ROBOT.MOD");
    EXPECT_EQ(Init(0), "");
    EXPECT_EQ(Received(),
              (Lines{"load rom0:LIBSD -> 1", "load host:AMIGAMOD.IRX -> 2", "call 0x10 wait 16",
                     "alloc " + std::to_string(size) + " -> 0x100000", "dma 0x100000 " + std::to_string(size),
                     "call 0x20 wait 4"}));
    EXPECT_EQ(SongSize, size);
    EXPECT_EQ(std::memcmp(console.machine().iop().memory(0x100000, 1084), SongBuffer, 1084), 0);
}

TEST_F(MusicStartUp, RunsWithoutMusicWhenSomethingIsMissing)
{
    fs::remove(dir / "ROBOT.MOD");
    EXPECT_EQ(Init(-1), "MusicInit: cannot open host:/ROBOT.MOD (error -2); running without music\n");
    fs::remove(dir / "AMIGAMOD.IRX");
    WriteSong("M.K.");
    EXPECT_EQ(Init(-1), "MusicInit: cannot load the player host:AMIGAMOD.IRX (error -2); running without music\n");
    for (const auto& line : console.iop().lines) EXPECT_FALSE(line.starts_with("call")) << line;
}

TEST_F(MusicStartUp, NeverReadsMoreThanTheSongBufferHolds)
{
    WriteSong(std::string(300000, 'x'));
    SongBuffer[SONG_BUFFER_SIZE - 1] = 0x5A;
    EXPECT_EQ(Init(-1), "MusicInit: host:/ROBOT.MOD is 300000 bytes, more than the 204800 the song buffer holds; "
                        "running without music\n");
    EXPECT_EQ(SongBuffer[SONG_BUFFER_SIZE - 1], 0x5A);
    for (const auto& line : console.iop().lines) EXPECT_FALSE(line.starts_with("alloc")) << line;
}

TEST_F(MusicStartUp, ReportsASongThePlayerCannotTake)
{
    std::string noise(5000, '\0');
    std::mt19937 random(7);
    for (char& c : noise) c = static_cast<char>(random());
    WriteSong(noise);
    const std::string said = Init(-1);
    EXPECT_NE(said.find("MusicInit: the player cannot take host:/ROBOT.MOD"), std::string::npos) << said;
    WriteSong("");
    EXPECT_EQ(Init(-1), "MusicInit: host:/ROBOT.MOD is empty; running without music\n");
}

// A console that keeps the sound of every field.
class SoundRecord : public testing_support::RecordingConsole {
public:
    void sound(std::span<const std::int16_t> samples) override { fields.emplace_back(samples.begin(), samples.end()); }
    std::vector<std::vector<std::int16_t>> fields;
};

TEST(MusicTiming, EachFieldSoundsAsTheCallsBeforeItsBlankLeftThePlayer)
{
    SoundRecord console;
    amigaModQuit();
    testing::internal::CaptureStderr();
    ASSERT_EQ(MusicInit("host:/ROBOT.MOD"), 0) << testing::internal::GetCapturedStderr();
    testing::internal::GetCapturedStderr();
    // The player makes a field's sound while the program goes on; a call right after the blank must not reach
    // into that field.
    for (int i = 0; i < 20; ++i) {
        PS2WaitVSync();
        MusicPlay();
        PS2WaitVSync();
        MusicStop();
    }
    PS2WaitVSync();
    // The last blank's field is still in the making.
    ASSERT_EQ(console.fields.size(), 40u);
    const auto silent = [](const std::vector<std::int16_t>& f) {
        return std::all_of(f.begin(), f.end(), [](std::int16_t s) { return s == 0; });
    };
    for (std::size_t k = 0; k < console.fields.size(); ++k) EXPECT_EQ(silent(console.fields[k]), k % 2 == 0) << k;
}

} // namespace
