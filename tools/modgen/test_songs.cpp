#include "tools/modgen/test_songs.h"

#include <cmath>
#include <stdexcept>

namespace modgen {
namespace {

constexpr int kSampleCount = 5;
constexpr int kPatternCount = 3;

// A looped single-cycle wave: square, saw or triangle by `shape`, `bytes` long.
Sample Wave(const std::string& name, int shape, int bytes, int volume)
{
    Sample s{name, {}, volume, 0, bytes};
    for (int i = 0; i < bytes; ++i) {
        const double phase = static_cast<double>(i) / bytes;
        double v = phase < 0.5 ? 1.0 : -1.0;
        if (shape == 1) v = 2.0 * phase - 1.0;
        if (shape == 2) v = 1.0 - 4.0 * std::abs(phase - 0.5);
        s.data.push_back(static_cast<std::int8_t>(std::lround(90.0 * v)));
    }
    return s;
}

// A one-shot that rings down over `bytes` bytes, with no loop.
Sample Ring(const std::string& name, int bytes)
{
    Sample s{name, {0, 0}, 64, 0, 0};
    for (int i = 2; i < bytes; ++i) {
        const double fade = 1.0 - static_cast<double>(i) / bytes;
        s.data.push_back(static_cast<std::int8_t>(std::lround(110.0 * fade * std::sin(i * 0.37 + 0.002 * i * i))));
    }
    return s;
}

} // namespace

Module ComposeTestSong(const std::string& tag)
{
    const int channels = ChannelsOfTag(tag);
    if (channels == 0) throw std::invalid_argument("unknown tag \"" + tag + "\"");
    Module m;
    m.title = "TEST " + (tag.empty() ? std::string("OLD") : tag);
    m.tag = tag;
    m.channels = channels;
    m.samples = {Wave("square", 0, 32, 48), Wave("saw", 1, 64, 40), Wave("triangle", 2, 16, 56),
                 Wave("wide square", 0, 128, 32), Ring("ring", 6000)};
    m.patterns.resize(kPatternCount);
    for (int p = 0; p < kPatternCount; ++p) {
        for (int ch = 0; ch < channels; ++ch) {
            // Each channel enters on a row of its own, so a channel read from the wrong place sounds different.
            for (int row = ch % 16; row < kRows; row += 16) {
                Cell& cell = m.patterns[p].rows[row][ch];
                cell.sample = 1 + (ch + p + row / 16) % kSampleCount;
                cell.note = (5 * ch + 7 * p + row) % kNoteCount;
            }
        }
        // The longest sample, stored last, sounds from the very first row.
        m.patterns[p].rows[0][0].sample = kSampleCount;
        m.patterns[p].rows[8][channels - 1] = Cell{kNoNote, 0, 0xC, 16 * (p + 1)};
    }
    m.order = {0, 1, 2, 1};
    return m;
}

} // namespace modgen
