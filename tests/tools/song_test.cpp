#include "tools/modgen/mod_writer.h"
#include "tools/modgen/song.h"
#include "tools/modgen/synth_math.h"
#include "tools/modgen/tracks.h"

#include <gtest/gtest.h>
#include <libopenmpt/libopenmpt.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace {

using Bytes = std::vector<std::uint8_t>;

// ProTracker's finetune-0 periods, C-1 to B-3.
constexpr std::array<int, 36> kPeriods{856, 808, 762, 720, 678, 640, 604, 570, 538, 508, 480, 453,
                                       428, 404, 381, 360, 339, 320, 302, 285, 269, 254, 240, 226,
                                       214, 202, 190, 180, 170, 160, 151, 143, 135, 127, 120, 113};

Bytes CommittedSong()
{
    std::ifstream in(std::filesystem::path(ORB_SOURCE_DIR) / "host" / "ROBOT.MOD", std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

int Word(const Bytes& file, std::size_t at)
{
    return file[at] << 8 | file[at + 1];
}

int NoteOfPeriod(int period)
{
    const auto it = std::find(kPeriods.begin(), kPeriods.end(), period);
    return it == kPeriods.end() ? -1 : static_cast<int>(it - kPeriods.begin());
}

TEST(Song, TheCommittedSongIsWhatTheGeneratorComposes)
{
    const Bytes committed = CommittedSong();
    ASSERT_FALSE(committed.empty()) << "host/ROBOT.MOD is missing";
    EXPECT_TRUE(modgen::WriteModule(modgen::ComposeSong()) == committed)
        << "host/ROBOT.MOD is stale: run orb_modgen host/ROBOT.MOD";
}

TEST(Song, IsAWellFormedFourChannelModule)
{
    const Bytes file = CommittedSong();
    ASSERT_GT(file.size(), 1084u);
    EXPECT_LT(file.size(), 120u * 1024) << "the player's song buffer holds 204,800 bytes";
    EXPECT_EQ(std::string(file.begin() + 1080, file.begin() + 1084), "M.K.");
    EXPECT_EQ(std::string(file.begin(), file.begin() + 5), "ROBOT");
    EXPECT_EQ(file[951], 127);
    const int length = file[950];
    ASSERT_TRUE(length >= 1 && length <= 128);
    const int patterns = *std::max_element(file.begin() + 952, file.begin() + 1080) + 1;
    for (int i = length; i < 128; ++i) EXPECT_EQ(file[952 + i], 0);

    std::size_t expected = 1084 + 1024 * static_cast<std::size_t>(patterns);
    std::size_t data = expected;
    std::array<bool, 32> present{};
    for (int n = 1; n <= 31; ++n) {
        const std::size_t at = 20 + 30 * static_cast<std::size_t>(n - 1);
        const int words = Word(file, at + 22), start = Word(file, at + 26), repeat = Word(file, at + 28);
        expected += 2 * static_cast<std::size_t>(words);
        present[n] = words > 0;
        if (!present[n]) continue;
        SCOPED_TRACE("sample " + std::to_string(n));
        EXPECT_EQ(file[at + 24], 0);
        EXPECT_LE(file[at + 25], 64);
        ASSERT_GE(repeat, 1);
        ASSERT_LE(data + 2 * static_cast<std::size_t>(words), file.size());
        if (repeat == 1) {
            EXPECT_EQ(start, 0);
            EXPECT_EQ(file[data], 0);
            EXPECT_EQ(file[data + 1], 0);
            // A one-shot that stops loud clicks.
            const auto tail = file.begin() + static_cast<std::ptrdiff_t>(data + 2 * words - 16);
            for (auto it = tail; it != tail + 16; ++it) EXPECT_LE(std::abs(static_cast<std::int8_t>(*it)), 2);
        } else {
            EXPECT_LE(start + repeat, words);
        }
        data += 2 * static_cast<std::size_t>(words);
    }
    EXPECT_EQ(file.size(), expected);

    // Play the order list through, following each channel's note for the arpeggios.
    std::array<int, 4> playing{-1, -1, -1, -1};
    int jumps = 0;
    for (int position = 0; position < length; ++position) {
        const int pattern = file[952 + position];
        for (int row = 0; row < 64; ++row) {
            for (int ch = 0; ch < 4; ++ch) {
                const std::size_t at = 1084 + 1024 * static_cast<std::size_t>(pattern) + 16 * row + 4 * ch;
                SCOPED_TRACE("position " + std::to_string(position) + " row " + std::to_string(row) + " channel " +
                             std::to_string(ch + 1));
                const int sample = (file[at] & 0xF0) | file[at + 2] >> 4, period = (file[at] & 0x0F) << 8 | file[at + 1];
                const int effect = file[at + 2] & 0x0F, param = file[at + 3];
                ASSERT_TRUE(sample == 0 || present[sample]);
                if (period != 0) {
                    playing[ch] = NoteOfPeriod(period);
                    ASSERT_GE(playing[ch], 0) << "period " << period << " is not in the table";
                }
                EXPECT_FALSE(effect == 0xF && param == 0);
                if (effect == 0 && param != 0) {
                    ASSERT_GE(playing[ch], 0);
                    EXPECT_LT(playing[ch] + std::max(param >> 4, param & 0xF), 36) << "arpeggio above B-3";
                }
                if (effect == 0xB) {
                    ++jumps;
                    EXPECT_EQ(param, 0);
                    EXPECT_EQ(position, length - 1);
                    EXPECT_EQ(row, 63);
                }
            }
        }
    }
    EXPECT_EQ(jumps, 1) << "the song loops with one B00 at its very end";
}

TEST(Song, PlaysForAboutEightySecondsWithoutSilenceOrClipping)
{
    const Bytes file = CommittedSong();
    openmpt_module* module = openmpt_module_create_from_memory2(file.data(), file.size(), nullptr, nullptr, nullptr,
                                                                nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(module, nullptr);
    EXPECT_EQ(openmpt_module_get_num_channels(module), 4);
    const double seconds = openmpt_module_get_duration_seconds(module);
    EXPECT_GE(seconds, 75.0);
    EXPECT_LE(seconds, 90.0);

    // Every 8-second stretch of the first 72 s is music: audible on both sides, never held at full scale.
    constexpr int kRate = 48000, kStretch = 8 * kRate;
    std::vector<float> stereo(2 * kStretch);
    for (int stretch = 0; stretch < 9; ++stretch) {
        SCOPED_TRACE("from " + std::to_string(stretch * 8) + " s");
        std::size_t frames = 0;
        while (frames < kStretch) {
            const std::size_t got = openmpt_module_read_interleaved_float_stereo(module, kRate, kStretch - frames,
                                                                                 stereo.data() + 2 * frames);
            ASSERT_GT(got, 0u);
            frames += got;
        }
        double left = 0, right = 0;
        int clipped = 0;
        for (int i = 0; i < kStretch; ++i) {
            left += stereo[2 * i] * stereo[2 * i];
            right += stereo[2 * i + 1] * stereo[2 * i + 1];
            clipped += std::abs(stereo[2 * i]) >= 0.99f || std::abs(stereo[2 * i + 1]) >= 0.99f;
        }
        left = std::sqrt(left / kStretch);
        right = std::sqrt(right / kStretch);
        EXPECT_GT(left, 0.05);
        EXPECT_GT(right, 0.05);
        EXPECT_LT(std::max(left, right), 0.4);
        EXPECT_LT(std::max(left, right) / std::min(left, right), 1.6) << "left " << left << " right " << right;
        EXPECT_LT(clipped, kStretch / 1000);
    }
    openmpt_module_destroy(module);
}

modgen::Module TinyModule()
{
    modgen::Module m;
    m.title = "T";
    m.samples.resize(17, modgen::Sample{"one-shot", {0, 0, 5, -5}, 64, 0, 0});
    m.samples[16] = modgen::Sample{"loop", {1, 2, 3, 4}, 40, 2, 2};
    m.patterns.resize(2);
    m.order = {1, 0};
    return m;
}

TEST(ModWriter, PacksCellsAndLoopsIntoTheirFields)
{
    modgen::Module m = TinyModule();
    m.patterns[0].rows[1][2] = {modgen::NoteIndex("A#2"), 17, 0xC, 0x20};
    const Bytes file = modgen::WriteModule(m);
    ASSERT_EQ(file.size(), 1084u + 2 * 1024 + 17 * 4);
    const std::size_t cell = 1084 + 16 + 8;
    // Sample 17 splits into bit 4 beside the period's high bits and 1 beside the effect.
    EXPECT_EQ(Bytes(file.begin() + cell, file.begin() + cell + 4), (Bytes{0x10, 240, 0x1C, 0x20}));
    const std::size_t header = 20 + 30 * 16;
    EXPECT_EQ(Word(file, header + 22), 2);
    EXPECT_EQ(Word(file, header + 26), 1);
    EXPECT_EQ(Word(file, header + 28), 1);
    EXPECT_EQ(Word(file, 20 + 28), 1) << "a one-shot repeats one word";
    EXPECT_EQ(file[950], 2);
    EXPECT_EQ(file[952], 1);
}

TEST(ModWriter, RefusesModulesThatWouldPlayWrongly)
{
    const auto rejects = [](auto change) {
        modgen::Module m = TinyModule();
        change(m);
        EXPECT_THROW(modgen::WriteModule(m), std::invalid_argument);
    };
    rejects([](modgen::Module& m) { m.samples[0].data[1] = 3; });
    rejects([](modgen::Module& m) { m.samples[16].loopLength = 4; });
    rejects([](modgen::Module& m) { m.samples[0].data.push_back(0); });
    rejects([](modgen::Module& m) { m.patterns[0].rows[0][0] = {modgen::kNoNote, 0, 0xF, 0}; });
    rejects([](modgen::Module& m) { m.patterns[0].rows[0][0].sample = 18; });
    rejects([](modgen::Module& m) { m.patterns.resize(3); });
    rejects([](modgen::Module& m) { m.samples.resize(32); });
    rejects([](modgen::Module& m) { m.tag = "8CHN"; });
    rejects([](modgen::Module& m) { m.channels = 6; });
    rejects([](modgen::Module& m) { m.tag = "M.K!"; });
    rejects([](modgen::Module& m) { m.tag = ""; }); // 17 samples do not fit an old module
    rejects([](modgen::Module& m) { m.patterns[1].rows[5][4] = {modgen::NoteIndex("C-2"), 1, 0, 0}; });
}

TEST(ModWriter, KnowsTheChannelsOfEachTag)
{
    for (const auto& [tag, channels] : std::initializer_list<std::pair<const char*, int>>{
             {"", 4}, {"M.K.", 4}, {"M!K!", 4}, {"FLT4", 4}, {"1CHN", 1}, {"6CHN", 6}, {"9CHN", 9}, {"8CHN", 8},
             {"FLT8", 8}, {"OKTA", 8}, {"CD81", 8}, {"10CH", 10}, {"32CN", 32}, {"0CHN", 0}, {"09CH", 0},
             {"33CH", 0}, {"M.K", 0}, {"12CHN", 0}, {"FLT6", 0}}) {
        EXPECT_EQ(modgen::ChannelsOfTag(tag), channels) << tag;
    }
}

TEST(ModWriter, WritesOldModulesWithTheirShortHeader)
{
    modgen::Module m = TinyModule();
    m.samples.resize(15);
    m.tag = "";
    const Bytes file = modgen::WriteModule(m);
    ASSERT_EQ(file.size(), 600u + 2 * 1024 + 15 * 4);
    EXPECT_EQ(file[470], 2);
    EXPECT_EQ(file[471], 120);
    EXPECT_EQ(file[472], 1);
    EXPECT_EQ(Word(file, 20 + 30 * 14 + 22), 2) << "the last sample header";
    EXPECT_EQ(file[600 + 2 * 1024 + 2], 5) << "the samples follow the patterns";
}

TEST(Tracks, ReadNotesMelodiesAndChords)
{
    EXPECT_EQ(modgen::NoteIndex("C-1"), 0);
    EXPECT_EQ(modgen::NoteIndex("C#2"), 13);
    EXPECT_EQ(modgen::NoteIndex("B-3"), 35);
    for (const char* bad : {"H-1", "C-4", "C-0", "C#", "-C1", "C#22"}) {
        EXPECT_THROW(modgen::NoteIndex(bad), std::invalid_argument) << bad;
    }

    modgen::Pattern p;
    modgen::WriteMelody(p, 3, 62, 7, "A-2 | ~");
    EXPECT_EQ(p.rows[62][3].note, modgen::NoteIndex("A-2"));
    EXPECT_EQ(p.rows[62][3].sample, 7);
    EXPECT_EQ(p.rows[63][3].effect, 4);
    EXPECT_THROW(modgen::WriteMelody(p, 3, 63, 7, ". ^"), std::invalid_argument) << "past the last row";
    modgen::WriteChord(p, 0, 0, 8, modgen::NoteIndex("A-2"), 0x37, "x=^");
    EXPECT_EQ(p.rows[1][0].param, 0x37);
    EXPECT_EQ(p.rows[2][0].effect, 0xC);
    EXPECT_THROW(modgen::SetEffect(p, 1, 0, 0xC, 0x10), std::invalid_argument) << "two effects in one cell";
    EXPECT_THROW(modgen::WriteChord(p, 1, 0, 8, modgen::NoteIndex("F-3"), 0x47, "x"), std::invalid_argument);
}

TEST(SynthMath, SineHitsItsLandmarksInEveryQuadrant)
{
    using modgen::kOne;
    EXPECT_EQ(modgen::Sine(0), 0);
    EXPECT_EQ(modgen::Sine(1u << 31), 0);
    // 30, 90, 150, 210, 270 and 330 degrees.
    const std::uint32_t twelfth = 0x15555555;
    for (const auto& [phase, value] : {std::pair{twelfth, kOne / 2}, {3 * twelfth + 1, kOne}, {5 * twelfth, kOne / 2},
                                       {7 * twelfth + 3, -kOne / 2}, {9 * twelfth + 3, -kOne}, {11 * twelfth + 5, -kOne / 2}}) {
        EXPECT_NEAR(static_cast<double>(modgen::Sine(phase)), static_cast<double>(value), kOne * 1e-6) << phase;
    }
}

} // namespace
