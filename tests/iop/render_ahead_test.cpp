// The player renders its song ahead of the output; what comes out must be what rendering each field when it
// is asked for gives, with every call taking effect on the same sample.
#include <gtest/gtest.h>

#include <libopenmpt/libopenmpt.h>

#include <fstream>
#include <iterator>
#include <memory>
#include <string>

#include "tests/iop/fake_iop.h"
#include "tools/modgen/mod_writer.h"
#include "tools/modgen/test_songs.h"

namespace {

using namespace iop_testing;

constexpr u32 kSongAddress = 0x80000;

std::vector<u8> DemoSong()
{
    std::ifstream file(ORB_SOURCE_DIR "/host/ROBOT.MOD", std::ios::binary);
    return std::vector<u8>(std::istreambuf_iterator<char>(file), {});
}

// A test song whose speed and tempo change after its first rows, so a restart must set them back.
std::vector<u8> ChangingSong()
{
    modgen::Module m = modgen::ComposeTestSong("8CHN");
    m.patterns[0].rows[4][1] = {modgen::kNoNote, 0, 0xF, 3};
    m.patterns[0].rows[12][2] = {modgen::kNoNote, 0, 0xF, 0x50};
    return modgen::WriteModule(m);
}

// The player as it behaves rendering each field when the output asks: the song advances only while it plays,
// a play starts it afresh from the beginning, the volume scales what was rendered.
class FieldByField {
public:
    explicit FieldByField(const std::vector<u8>& song) : song_(song) { open(); }

    void play()
    {
        open();
        playing_ = true;
    }
    void stop() { playing_ = false; }
    void setVolume(u32 volume) { volume_ = std::min(volume, 16383u); }
    std::vector<s32> info() const
    {
        openmpt_module* m = module_.get();
        return {openmpt_module_get_current_order(m), openmpt_module_get_current_pattern(m),
                openmpt_module_get_current_row(m), openmpt_module_get_current_speed(m)};
    }
    std::vector<s16> field()
    {
        std::vector<s16> samples(2 * kFieldFrames);
        if (!playing_)
            return samples;
        openmpt_module_read_interleaved_stereo(module_.get(), 48000, kFieldFrames, samples.data());
        for (s16& s : samples)
            s = static_cast<s16>(s32{s} * static_cast<s32>(volume_) / 16383);
        return samples;
    }

private:
    void open()
    {
        module_.reset(openmpt_module_create_from_memory2(song_.data(), song_.size(), openmpt_log_func_silent, nullptr,
                                                         openmpt_error_func_ignore, nullptr, nullptr, nullptr, nullptr));
        openmpt_module_ctl_set_boolean(module_.get(), "render.resampler.emulate_amiga", 1);
        openmpt_module_ctl_set_integer(module_.get(), "dither", 0);
        openmpt_module_set_repeat_count(module_.get(), -1);
    }

    std::vector<u8> song_;
    std::unique_ptr<openmpt_module, void (*)(openmpt_module*)> module_{nullptr, openmpt_module_destroy};
    bool playing_ = false;
    u32 volume_ = 16383;
};

// The player module and the field-by-field model of it, driven by the same calls.
class RenderAhead : public testing::Test {
protected:
    void start(const std::vector<u8>& song)
    {
        ASSERT_EQ(iop.start(), IRX_RESIDENT_END);
        iop.call(0x10, {});
        std::copy(song.begin(), song.end(), iop.memory.begin() + kSongAddress);
        iop.blocks[kSongAddress] = static_cast<u32>(song.size());
        ASSERT_EQ(Word(iop.call(0x20, Words({kSongAddress})), 0), 0);
        model = std::make_unique<FieldByField>(song);
    }
    void play()
    {
        ASSERT_EQ(Word(iop.call(0x80, Words({0}), 16), 0), 0);
        model->play();
    }
    void stop()
    {
        iop.call(0x90, Words({0}), 0);
        model->stop();
    }
    void setVolume(u32 volume)
    {
        iop.call(0x110, Words({volume}), 0);
        model->setVolume(volume);
    }
    // Plays `fields` fields from both, each field and the position after it alike.
    void fields(int count)
    {
        for (int n = 0; n < count; ++n, ++played) {
            ASSERT_TRUE(iop.play() == model->field()) << "field " << played;
            const auto reply = iop.call(0x210, Words({0}));
            ASSERT_EQ((std::vector<s32>{Word(reply, 1), Word(reply, 2), Word(reply, 3), Word(reply, 4)}),
                      model->info())
                << "after field " << played;
        }
    }

    FakeIop iop{AMIGAMOD_PATH};
    std::unique_ptr<FieldByField> model;
    int played = 0;
};

TEST_F(RenderAhead, VolumeStopsAndPlaysReachTheSameSampleAsFieldByField)
{
    start(DemoSong());
    fields(3);
    play();
    fields(40);
    setVolume(9000);
    fields(1);
    setVolume(0);
    fields(2);
    setVolume(16383);
    fields(3);
    stop();
    fields(4);
    play();
    fields(25);
    // Played again without a stop, then a fade and a stop as the demo's timeline does them.
    play();
    for (u32 volume = 16000; volume > 0; volume -= 4000) {
        setVolume(volume);
        fields(1);
    }
    stop();
    setVolume(0);
    fields(3);
    play();
    setVolume(16383);
    fields(30);
}

TEST_F(RenderAhead, APlayAfterAStopSoundsAsTheFirstPlay)
{
    start(ChangingSong());
    play();
    const auto first = iop.play(150);
    for (const u32 stopAfter : {1u, 9u, 40u, 120u}) {
        play();
        iop.play(stopAfter);
        stop();
        iop.play(2);
        play();
        EXPECT_TRUE(iop.play(150) == first) << "stopped after " << stopAfter << " fields";
    }
}

TEST_F(RenderAhead, AnOutputAskingForPartsOfFieldsGetsTheSameSound)
{
    start(DemoSong());
    const auto take = [&](u32 frames) {
        std::vector<s16> samples(2 * frames);
        iop.fill(iop.fillContext, samples.data(), frames);
        return samples;
    };
    const auto modelFields = [&](int count) {
        std::vector<s16> samples;
        for (int n = 0; n < count; ++n) {
            const auto field = model->field();
            samples.insert(samples.end(), field.begin(), field.end());
        }
        return samples;
    };
    play();
    std::vector<s16> parts;
    for (const u32 frames : {480u, 480u, 100u, 860u, 2880u, 1u, 959u}) {
        const auto part = take(frames);
        parts.insert(parts.end(), part.begin(), part.end());
    }
    EXPECT_TRUE(parts == modelFields(6));
    // Stopped halfway through a field, then played again: the song starts from its beginning.
    take(480);
    stop();
    play();
    auto again = take(480);
    const auto rest = take(1440);
    again.insert(again.end(), rest.begin(), rest.end());
    EXPECT_TRUE(again == modelFields(2));
}

TEST_F(RenderAhead, ANewSongOrQuitDropsWhatWasRenderedAhead)
{
    start(DemoSong());
    play();
    iop.play(5);
    const auto song = ChangingSong();
    std::copy(song.begin(), song.end(), iop.memory.begin() + 0x100000);
    iop.blocks[0x100000] = static_cast<u32>(song.size());
    ASSERT_EQ(Word(iop.call(0x20, Words({0x100000})), 0), 0);
    EXPECT_TRUE(Silent(iop.play(2)));
    ASSERT_EQ(Word(iop.call(0x80, Words({0}), 16), 0), 0);
    FieldByField changing(song);
    changing.play();
    for (int n = 0; n < 20; ++n)
        ASSERT_TRUE(iop.play() == changing.field()) << "field " << n;
    iop.call(0x810, Words({0}), 0);
    EXPECT_TRUE(Silent(iop.play(3)));
    EXPECT_EQ(Word(iop.call(0x80, Words({0}), 16), 0), -1);
}

} // namespace
