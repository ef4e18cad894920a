#include <gtest/gtest.h>

#include <libopenmpt/libopenmpt.h>

#include <memory>
#include <string>

#include "tests/iop/fake_iop.h"
#include "tools/modgen/mod_writer.h"
#include "tools/modgen/test_songs.h"

namespace {

using namespace iop_testing;

constexpr u32 kSongAddress = 0x80000;
constexpr u32 kFields = 100;

std::vector<u8> TestSong(const std::string& tag) { return modgen::WriteModule(modgen::ComposeTestSong(tag)); }

// `fields` fields of the song played by libopenmpt itself, set up as the player sets it up.
std::vector<s16> PlayedDirectly(const std::vector<u8>& song, u32 fields)
{
    const std::unique_ptr<openmpt_module, void (*)(openmpt_module*)> module(
        openmpt_module_create_from_memory2(song.data(), song.size(), openmpt_log_func_silent, nullptr,
                                           openmpt_error_func_ignore, nullptr, nullptr, nullptr, nullptr),
        openmpt_module_destroy);
    EXPECT_NE(module, nullptr);
    std::vector<s16> samples(2 * kFieldFrames * fields);
    if (!module)
        return samples;
    openmpt_module_ctl_set_boolean(module.get(), "render.resampler.emulate_amiga", 1);
    openmpt_module_ctl_set_integer(module.get(), "dither", 0);
    openmpt_module_set_repeat_count(module.get(), -1);
    for (u32 field = 0; field < fields; ++field)
        openmpt_module_read_interleaved_stereo(module.get(), 48000, kFieldFrames,
                                               samples.data() + 2 * kFieldFrames * field);
    return samples;
}

// The player handed one kind of song, as the program hands it: in a heap block, with other bytes after it.
class SongKinds : public testing::TestWithParam<const char*> {
protected:
    void SetUp() override
    {
        ASSERT_EQ(iop.start(), IRX_RESIDENT_END);
        iop.call(0x10, {});
        song = TestSong(GetParam());
        std::copy(song.begin(), song.end(), iop.memory.begin() + kSongAddress);
        std::fill_n(iop.memory.begin() + kSongAddress + static_cast<long>(song.size()), 8192, u8{0x55});
    }

    s32 load(u32 block)
    {
        iop.blocks[kSongAddress] = block;
        iop.readUpTo = 0;
        return Word(iop.call(0x20, Words({kSongAddress})), 0);
    }

    FakeIop iop{AMIGAMOD_PATH};
    std::vector<u8> song;
};

TEST_P(SongKinds, AreReadWholeAndPlayAsTheLibraryPlaysThem)
{
    const u32 size = static_cast<u32>(song.size());
    // A block larger than the song: the player takes exactly the bytes the song holds.
    ASSERT_EQ(load(size + 4096), 0);
    EXPECT_EQ(iop.readUpTo, kSongAddress + size);
    EXPECT_TRUE(iop.printed.empty()) << iop.printed.front();

    ASSERT_EQ(load(size), 0);
    EXPECT_TRUE(iop.printed.empty()) << iop.printed.front();
    ASSERT_EQ(Word(iop.call(0x80, Words({0}), 16), 0), 0);
    const auto played = iop.play(kFields);
    EXPECT_FALSE(Silent(played));
    EXPECT_TRUE(played == PlayedDirectly(song, kFields));
}

TEST_P(SongKinds, SayWhenTheyAreCutShort)
{
    const u32 size = static_cast<u32>(song.size());
    ASSERT_EQ(load(size - 2), 0);
    ASSERT_EQ(iop.printed.size(), 1u);
    EXPECT_EQ(iop.printed[0], "AMIGAMOD: the song at 0x80000 is cut short: " + std::to_string(size - 2) + " of the " +
                                  std::to_string(size) + " bytes it names");
}

INSTANTIATE_TEST_SUITE_P(EveryTag, SongKinds,
                         testing::Values("M.K.", "M!K!", "4CHN", "FLT4", "2CHN", "6CHN", "8CHN", "FLT8", "OKTA",
                                         "CD81", "10CH", "12CH", "16CN", "32CH", ""),
                         [](const testing::TestParamInfo<const char*>& info) {
                             std::string name;
                             for (const char c : std::string(info.param))
                                 name += c == '.' ? std::string("Dot") : c == '!' ? "Bang" : std::string(1, c);
                             return name.empty() ? std::string("Soundtracker15") : "Tag" + name;
                         });

TEST(TestSongs, DifferInTheirBytesWhereTheKindMatters)
{
    // Kinds with the same channel count hold the same bytes but for the tag and, for FLT8, the order table.
    const auto mk = TestSong("M.K."), eight = TestSong("8CHN"), flt8 = TestSong("FLT8"), old = TestSong("");
    ASSERT_EQ(eight.size(), flt8.size());
    EXPECT_EQ(eight.size() - mk.size(), 3u * 64 * 4 * 4);
    EXPECT_EQ(mk.size() - old.size(), 1084u - 600);
    EXPECT_EQ(std::string(flt8.begin() + 952, flt8.begin() + 956), std::string("\0\2\4\2", 4));
    EXPECT_EQ(std::string(old.begin() + 472, old.begin() + 476), std::string("\0\1\2\1", 4));
    // FLT8 stores channels 5 to 8 of pattern 0 in the second kilobyte.
    EXPECT_TRUE(std::equal(flt8.begin() + 1084 + 1024, flt8.begin() + 1084 + 1040, eight.begin() + 1084 + 16));
}

} // namespace
