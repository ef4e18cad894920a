#include "tools/modgen/mod_writer.h"

#include <algorithm>
#include <stdexcept>

namespace modgen {
namespace {

constexpr std::array<int, kNoteCount> kPeriods{
    856, 808, 762, 720, 678, 640, 604, 570, 538, 508, 480, 453,
    428, 404, 381, 360, 339, 320, 302, 285, 269, 254, 240, 226,
    214, 202, 190, 180, 170, 160, 151, 143, 135, 127, 120, 113};

constexpr std::size_t kHeaderSize = 1084;
constexpr std::size_t kPatternSize = kRows * kChannels * 4;
constexpr int kMaxPatterns = 64;
constexpr std::size_t kMaxSampleBytes = 2 * 0xFFFF;

void Require(bool condition, const std::string& what)
{
    if (!condition) throw std::invalid_argument(what);
}

void PutWord(std::vector<std::uint8_t>& out, std::size_t at, std::size_t value)
{
    out[at] = static_cast<std::uint8_t>(value >> 8);
    out[at + 1] = static_cast<std::uint8_t>(value);
}

void PutText(std::vector<std::uint8_t>& out, std::size_t at, const std::string& text)
{
    std::copy(text.begin(), text.end(), out.begin() + static_cast<std::ptrdiff_t>(at));
}

void CheckSample(const Sample& s, int number)
{
    const std::string which = "sample " + std::to_string(number) + " (" + s.name + ")";
    Require(s.name.size() <= 22, which + ": name longer than 22 characters");
    Require(s.data.size() % 2 == 0, which + ": odd length");
    Require(s.data.size() <= kMaxSampleBytes, which + ": longer than 131070 bytes");
    Require(s.volume >= 0 && s.volume <= 64, which + ": volume outside 0..64");
    if (s.loopLength == 0) {
        // After a one-shot ends the hardware keeps replaying its first word.
        Require(s.loopStart == 0, which + ": one-shot with a loop start");
        Require(s.data.empty() || (s.data.size() >= 2 && s.data[0] == 0 && s.data[1] == 0),
                which + ": one-shot that does not start with two zero bytes");
        return;
    }
    Require(s.loopStart >= 0 && s.loopStart % 2 == 0 && s.loopLength >= 2 && s.loopLength % 2 == 0,
            which + ": loop not on whole words");
    Require(static_cast<std::size_t>(s.loopStart + s.loopLength) <= s.data.size(), which + ": loop past the end");
}

void CheckCell(const Cell& c, int samples, const std::string& where)
{
    Require(c.note >= kNoNote && c.note < kNoteCount, where + ": note outside C-1..B-3");
    Require(c.sample >= 0 && c.sample <= samples, where + ": no such sample");
    Require(c.effect >= 0 && c.effect <= 0xF && c.param >= 0 && c.param <= 0xFF, where + ": bad effect");
    // Some players stop the song on speed 0.
    Require(c.effect != 0xF || c.param != 0, where + ": F00");
}

void PutCell(std::vector<std::uint8_t>& out, std::size_t at, const Cell& c)
{
    const int period = c.note == kNoNote ? 0 : PeriodOf(c.note);
    out[at] = static_cast<std::uint8_t>((c.sample & 0xF0) | (period >> 8));
    out[at + 1] = static_cast<std::uint8_t>(period);
    out[at + 2] = static_cast<std::uint8_t>((c.sample & 0x0F) << 4 | c.effect);
    out[at + 3] = static_cast<std::uint8_t>(c.param);
}

} // namespace

int PeriodOf(int note)
{
    Require(note >= 0 && note < kNoteCount, "note outside C-1..B-3");
    return kPeriods[note];
}

std::vector<std::uint8_t> WriteModule(const Module& module)
{
    const int sampleCount = static_cast<int>(module.samples.size());
    Require(module.title.size() <= 20, "title longer than 20 characters");
    Require(sampleCount <= kMaxSamples, "more than 31 samples");
    Require(!module.order.empty() && module.order.size() <= 128, "order list must hold 1..128 positions");
    const int highest = *std::max_element(module.order.begin(), module.order.end());
    Require(*std::min_element(module.order.begin(), module.order.end()) >= 0, "negative pattern in the order list");
    // The file stores patterns 0..highest, so any other pattern would be lost.
    Require(static_cast<int>(module.patterns.size()) == highest + 1, "patterns do not match the order list");
    Require(highest < kMaxPatterns, "more than 64 patterns");
    for (int i = 0; i < sampleCount; ++i) CheckSample(module.samples[i], i + 1);
    for (std::size_t p = 0; p < module.patterns.size(); ++p) {
        for (int r = 0; r < kRows; ++r) {
            for (int ch = 0; ch < kChannels; ++ch) {
                CheckCell(module.patterns[p].rows[r][ch], sampleCount,
                          "pattern " + std::to_string(p) + " row " + std::to_string(r) + " channel " + std::to_string(ch + 1));
            }
        }
    }

    std::size_t size = kHeaderSize + kPatternSize * module.patterns.size();
    for (const Sample& s : module.samples) size += s.data.size();
    std::vector<std::uint8_t> out(size, 0);

    PutText(out, 0, module.title);
    for (int i = 0; i < sampleCount; ++i) {
        const Sample& s = module.samples[i];
        const std::size_t at = 20 + 30 * static_cast<std::size_t>(i);
        PutText(out, at, s.name);
        PutWord(out, at + 22, s.data.size() / 2);
        out[at + 25] = static_cast<std::uint8_t>(s.volume);
        PutWord(out, at + 26, static_cast<std::size_t>(s.loopStart / 2));
        PutWord(out, at + 28, s.loopLength == 0 ? 1 : static_cast<std::size_t>(s.loopLength / 2));
    }
    out[950] = static_cast<std::uint8_t>(module.order.size());
    out[951] = 127;
    for (std::size_t i = 0; i < module.order.size(); ++i) out[952 + i] = static_cast<std::uint8_t>(module.order[i]);
    PutText(out, 1080, "M.K.");

    std::size_t at = kHeaderSize;
    for (const Pattern& pattern : module.patterns) {
        for (const auto& row : pattern.rows) {
            for (const Cell& cell : row) {
                PutCell(out, at, cell);
                at += 4;
            }
        }
    }
    for (const Sample& s : module.samples) {
        for (const std::int8_t v : s.data) out[at++] = static_cast<std::uint8_t>(v);
    }
    return out;
}

} // namespace modgen
