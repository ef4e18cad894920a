#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace modgen {

constexpr int kRows = 64;
constexpr int kChannels = 4;
constexpr int kMaxChannels = 32;
constexpr int kMaxSamples = 31;
constexpr int kOldMaxSamples = 15;
constexpr int kNoteCount = 36;
constexpr int kNoNote = -1;

// Returns the period of a note, numbered from C-1 (0) to B-3 (35) over ProTracker's three octaves.
int PeriodOf(int note);

// One instrument: signed 8-bit PCM. A loop length of 0 makes a one-shot sample.
struct Sample {
    std::string name;
    std::vector<std::int8_t> data;
    int volume = 64;
    int loopStart = 0;
    int loopLength = 0;
};

// One channel of one row. Sample 0 keeps the channel's sample; effect and param form the command "Exy".
struct Cell {
    int note = kNoNote;
    int sample = 0;
    int effect = 0;
    int param = 0;
};

struct Pattern {
    std::array<std::array<Cell, kMaxChannels>, kRows> rows{};
};

// A module: samples 1..31 in order, patterns in the order of their numbers. The tag at byte 1080 names the
// kind ("M.K.", "8CHN", "12CH", ...) and must agree with the channel count; an empty tag makes an old
// Soundtracker module (four channels, at most 15 samples, a 600-byte header). "FLT8" stores each pattern
// as two four-channel halves.
struct Module {
    std::string title;
    std::vector<Sample> samples;
    std::vector<Pattern> patterns;
    std::vector<int> order;
    std::string tag = "M.K.";
    int channels = kChannels;
};

// Returns the channels a tag at byte 1080 stands for (4 for the empty tag of an old module), or 0 for a tag
// players do not know.
int ChannelsOfTag(const std::string& tag);

// Returns the file of a module; throws std::invalid_argument on anything a player would get wrong.
std::vector<std::uint8_t> WriteModule(const Module& module);

} // namespace modgen
