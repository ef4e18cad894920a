#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

#include "tests/iop/fake_iop.h"

namespace {

using namespace iop_testing;

constexpr u32 kSongAddress = 0x80000;

// A small "M.K." module lasting 16 rows (6 fields each): order 0 plays pattern 1, order 1 pattern 0; each
// pattern starts a looped 32-byte square wave on channel 1 at C-2 and breaks to the next order after row 7.
std::vector<u8> SquareSong()
{
    std::vector<u8> song(1084 + 2 * 1024 + 32);
    for (int sample = 0; sample < 31; ++sample)
        song[20 + 30 * sample + 29] = 1; // no loop
    song[20 + 23] = 16;                  // sample 1: 16 words, volume 64, looped whole
    song[20 + 25] = 64;
    song[20 + 29] = 16;
    song[950] = 2;
    song[951] = 127;
    song[952] = 1;
    std::copy_n("M.K.", 4, song.begin() + 1080);
    for (size_t pattern = 1084; pattern < 1084 + 2 * 1024; pattern += 1024) {
        const u8 note[] = {0x01, 0xAC, 0x10, 0x00};  // sample 1, period 428
        const u8 breakOut[] = {0x00, 0x00, 0x0D, 0x00}; // D00 on channel 2 of row 7
        std::copy_n(note, 4, song.begin() + pattern);
        std::copy_n(breakOut, 4, song.begin() + pattern + 7 * 16 + 4);
    }
    std::fill(song.end() - 32, song.end() - 16, u8{100});
    std::fill(song.end() - 16, song.end(), static_cast<u8>(-100));
    return song;
}

// The player, started and sent the initialisation message as the program does.
class Player : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(iop.start(), IRX_RESIDENT_END);
        const char message[16] = "amigaModInit !";
        iop.call(0x10, std::vector<u8>(message, message + 16));
    }

    s32 load(const std::vector<u8>& bytes, u32 address = kSongAddress)
    {
        std::copy_n(bytes.begin(), std::min<size_t>(bytes.size(), kMemorySize - address), iop.memory.begin() + address);
        return Word(iop.call(0x20, Words({address})), 0);
    }
    s32 play() { return Word(iop.call(0x80, Words({0}), 16), 0); }
    void setVolume(u32 volume) { iop.call(0x110, Words({volume})); }
    // Order, pattern, row and speed.
    std::vector<s32> info()
    {
        const auto reply = iop.call(0x210, Words({0}));
        EXPECT_EQ(Word(reply, 0), 0);
        return {Word(reply, 1), Word(reply, 2), Word(reply, 3), Word(reply, 4)};
    }

    FakeIop iop{AMIGAMOD_PATH};
};

TEST(PlayerModule, NeedsLibsdAndServesUntilStopped)
{
    FakeIop iop(AMIGAMOD_PATH);
    ASSERT_NE(iop.imports, nullptr);
    EXPECT_STREQ(iop.imports[0], "libsd");
    EXPECT_EQ(iop.imports[1], nullptr);

    ASSERT_EQ(iop.start(), IRX_RESIDENT_END);
    EXPECT_TRUE(iop.servers.contains(0x0BADCA11));
    EXPECT_EQ(iop.outputCalls, 0);
    iop.call(0x10, {});
    iop.call(0x10, {});
    EXPECT_EQ(iop.outputCalls, 1);
    EXPECT_NE(iop.fill, nullptr);

    iop.stop();
    EXPECT_TRUE(iop.servers.empty());
    EXPECT_EQ(iop.fill, nullptr);
    EXPECT_TRUE(iop.printed.empty());
}

TEST(PlayerModule, UnloadsWhenItsServerIdIsTaken)
{
    FakeIop iop(AMIGAMOD_PATH);
    iop.servers[0x0BADCA11] = {nullptr, nullptr};
    EXPECT_EQ(iop.start(), IRX_NO_RESIDENT_END);
    EXPECT_EQ(iop.printed.size(), 1u);
    EXPECT_TRUE(iop.servers.contains(0x0BADCA11));
}

TEST_F(Player, SoundsOnlyOncePlayedAndFollowsTheVolume)
{
    ASSERT_EQ(load(SquareSong()), 0);
    EXPECT_TRUE(Silent(iop.play()));
    ASSERT_EQ(play(), 0);
    EXPECT_EQ(info(), (std::vector<s32>{0, 1, 0, 6}));
    const auto first = iop.play(2);
    const double full = Rms(first, 0);
    // Channel 1 plays mostly on the left, at a level with room for four channels.
    EXPECT_GT(full, 6000);
    EXPECT_LT(full, 12000);
    EXPECT_GT(Rms(first, 1), 0.2 * full);

    setVolume(8192);
    EXPECT_NEAR(Rms(iop.play(), 0) / full, 0.5, 0.01);
    setVolume(0);
    EXPECT_TRUE(Silent(iop.play()));
    setVolume(0x7FFF);
    EXPECT_NEAR(Rms(iop.play(), 0) / full, 1.0, 0.01);

    iop.call(0x90, Words({0}));
    EXPECT_TRUE(Silent(iop.play(3)));
    ASSERT_EQ(play(), 0);
    EXPECT_EQ(info(), (std::vector<s32>{0, 1, 0, 6}));
    EXPECT_NEAR(Rms(iop.play(), 0) / full, 1.0, 0.02);
}

TEST_F(Player, ReportsThePositionAndLoopsAtTheEnd)
{
    ASSERT_EQ(load(SquareSong()), 0);
    ASSERT_EQ(play(), 0);
    iop.play(33);
    EXPECT_EQ(info(), (std::vector<s32>{0, 1, 5, 6}));
    iop.play(27);
    EXPECT_EQ(info(), (std::vector<s32>{1, 0, 1, 6}));
    // Past the 16th row the song starts again, without a gap.
    for (int field = 60; field < 192; ++field)
        ASSERT_GT(Rms(iop.play(), 0), 6000) << "field " << field;
    iop.play(1);
    EXPECT_EQ(info(), (std::vector<s32>{0, 1, 0, 6}));
}

TEST_F(Player, ANewLoadReplacesTheSongAndQuitForgetsIt)
{
    ASSERT_EQ(load(SquareSong()), 0);
    ASSERT_EQ(play(), 0);
    iop.play(10);
    ASSERT_EQ(load(SquareSong(), 0x100000), 0);
    EXPECT_TRUE(Silent(iop.play()));
    ASSERT_EQ(play(), 0);
    EXPECT_FALSE(Silent(iop.play()));

    iop.call(0x810, Words({0}));
    EXPECT_TRUE(Silent(iop.play()));
    EXPECT_EQ(play(), -1);
    EXPECT_EQ(info(), (std::vector<s32>{0, 0, 0, 0}));
    EXPECT_TRUE(iop.printed.empty());
}

TEST_F(Player, RefusesBytesThatAreNoModule)
{
    std::vector<u8> noise(4096);
    std::mt19937 random(7);
    std::generate(noise.begin(), noise.end(), [&] { return static_cast<u8>(random()); });
    EXPECT_LT(load(noise), 0);
    EXPECT_EQ(iop.printed, (std::vector<std::string>{"AMIGAMOD: the song at 0x80000 is not a module it can play"}));
    EXPECT_EQ(play(), -1);
    EXPECT_TRUE(Silent(iop.play(5)));
}

TEST_F(Player, ReadsNoFurtherThanIopMemory)
{
    // The last 20 bytes of the wave lie past the end: the rest still plays.
    const auto song = SquareSong();
    EXPECT_EQ(load(song, kMemorySize - static_cast<u32>(song.size()) + 20), 0);
    ASSERT_EQ(play(), 0);
    iop.play(10);

    // Only part of the header is there.
    EXPECT_LT(load(song, kMemorySize - 600), 0);
    EXPECT_LT(load({}, kMemorySize), 0);
    ASSERT_EQ(iop.printed.size(), 3u);
    EXPECT_EQ(iop.printed[0], "AMIGAMOD: the song at 0x1ff3b8 is cut short: 3144 of the 3164 bytes it names");
    EXPECT_TRUE(Silent(iop.play()));
}

TEST_F(Player, ReadsNoFurtherThanTheSongsHeapBlockAndSaysSo)
{
    // The block holds a song cut before its wave; what follows the block must not be taken for the song.
    auto song = SquareSong();
    std::fill(iop.memory.begin() + kSongAddress, iop.memory.begin() + kSongAddress + 8192, u8{0x55});
    iop.blocks[kSongAddress] = 3136;
    EXPECT_EQ(load(std::vector<u8>(song.begin(), song.begin() + 3136)), 0);
    EXPECT_EQ(iop.printed, (std::vector<std::string>{
                               "AMIGAMOD: the song at 0x80000 is cut short: 3136 of the 3164 bytes it names"}));
    iop.blocks[kSongAddress] = 4096;
    iop.printed.clear();
    EXPECT_EQ(load(song), 0);
    EXPECT_TRUE(iop.printed.empty());
}

TEST_F(Player, AnswersUnknownFunctionsWithMinusOneAndIgnoresBlocks)
{
    EXPECT_EQ(Word(iop.call(0x300, Words({0})), 0), -1);
    EXPECT_EQ(iop.printed, (std::vector<std::string>{"AMIGAMOD: unknown function 0x300"}));
    EXPECT_EQ(Word(iop.call(0x900, std::vector<u8>(252, 0xEE)), 0), 0);
    EXPECT_EQ(iop.printed.size(), 1u);
}

TEST_F(Player, PlaysTheDemosSong)
{
    std::ifstream file(ORB_SOURCE_DIR "/host/ROBOT.MOD", std::ios::binary);
    ASSERT_TRUE(file) << "host/ROBOT.MOD is missing";
    ASSERT_EQ(load(std::vector<u8>(std::istreambuf_iterator<char>(file), {})), 0);
    ASSERT_EQ(play(), 0);
    const auto second = iop.play(50);
    EXPECT_GT(Rms(second, 0) + Rms(second, 1), 1000);
    EXPECT_GT(info()[3], 0);
}

} // namespace
