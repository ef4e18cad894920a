#include "tools/modgen/mod_writer.h"

#include <algorithm>
#include <stdexcept>

namespace modgen {
namespace {

constexpr std::array<int, kNoteCount> kPeriods{
    856, 808, 762, 720, 678, 640, 604, 570, 538, 508, 480, 453,
    428, 404, 381, 360, 339, 320, 302, 285, 269, 254, 240, 226,
    214, 202, 190, 180, 170, 160, 151, 143, 135, 127, 120, 113};

constexpr std::size_t kHeaderSize = 1084, kOldHeaderSize = 600;
constexpr std::size_t kCellSize = 4;
constexpr int kMaxPatterns = 64, kMaxTaggedPatterns = 128;
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

} // namespace

int ChannelsOfTag(const std::string& tag)
{
    if (tag.empty() || tag == "M.K." || tag == "M!K!" || tag == "FLT4") return 4;
    if (tag == "FLT8" || tag == "OKTA" || tag == "CD81") return 8;
    const auto digit = [&](std::size_t i) { return tag[i] >= '0' && tag[i] <= '9' ? tag[i] - '0' : -1; };
    if (tag.size() != 4) return 0;
    if (tag.substr(1) == "CHN" && digit(0) > 0) return digit(0);
    const int tens = digit(0), units = digit(1);
    const int count = tens < 0 || units < 0 ? 0 : 10 * tens + units;
    if ((tag.substr(2) == "CH" || tag.substr(2) == "CN") && count >= 10 && count <= kMaxChannels) return count;
    return 0;
}

namespace {

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
    const bool old = module.tag.empty();
    const bool halves = module.tag == "FLT8";
    Require(module.title.size() <= 20, "title longer than 20 characters");
    Require(ChannelsOfTag(module.tag) != 0, "unknown tag \"" + module.tag + "\"");
    Require(ChannelsOfTag(module.tag) == module.channels, "the tag does not match the channel count");
    Require(sampleCount <= (old ? kOldMaxSamples : kMaxSamples), old ? "more than 15 samples" : "more than 31 samples");
    Require(!module.order.empty() && module.order.size() <= 128, "order list must hold 1..128 positions");
    const int highest = *std::max_element(module.order.begin(), module.order.end());
    Require(*std::min_element(module.order.begin(), module.order.end()) >= 0, "negative pattern in the order list");
    // The file stores patterns 0..highest, so any other pattern would be lost.
    Require(static_cast<int>(module.patterns.size()) == highest + 1, "patterns do not match the order list");
    // "M.K." means at most 64 patterns; a larger song says so with "M!K!".
    const bool many = module.tag != "M.K." && !old && !halves;
    Require(highest < (many ? kMaxTaggedPatterns : kMaxPatterns), "too many patterns for the tag");
    for (int i = 0; i < sampleCount; ++i) CheckSample(module.samples[i], i + 1);
    for (std::size_t p = 0; p < module.patterns.size(); ++p) {
        for (int r = 0; r < kRows; ++r) {
            for (int ch = 0; ch < kMaxChannels; ++ch) {
                const std::string where =
                    "pattern " + std::to_string(p) + " row " + std::to_string(r) + " channel " + std::to_string(ch + 1);
                const Cell& cell = module.patterns[p].rows[r][ch];
                CheckCell(cell, sampleCount, where);
                Require(ch < module.channels || (cell.note == kNoNote && cell.sample == 0 && cell.effect == 0 &&
                                                 cell.param == 0),
                        where + ": past the module's channels");
            }
        }
    }

    const std::size_t header = old ? kOldHeaderSize : kHeaderSize;
    const std::size_t patternSize = kRows * kCellSize * static_cast<std::size_t>(module.channels);
    std::size_t size = header + patternSize * module.patterns.size();
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
    // The song length and the order table follow the last sample header.
    const std::size_t orders = 20 + 30 * static_cast<std::size_t>(old ? kOldMaxSamples : kMaxSamples);
    out[orders] = static_cast<std::uint8_t>(module.order.size());
    // Soundtracker kept its tempo here (120 is the usual one); ProTracker writes 127.
    out[orders + 1] = old ? 120 : 127;
    // FLT8's order table counts four-channel halves, two to a pattern.
    for (std::size_t i = 0; i < module.order.size(); ++i)
        out[orders + 2 + i] = static_cast<std::uint8_t>(halves ? 2 * module.order[i] : module.order[i]);
    PutText(out, 1080, module.tag);

    std::size_t at = header;
    const int parts = halves ? 2 : 1;
    const int partChannels = module.channels / parts;
    for (const Pattern& pattern : module.patterns) {
        for (int part = 0; part < parts; ++part) {
            for (const auto& row : pattern.rows) {
                for (int ch = part * partChannels; ch < (part + 1) * partChannels; ++ch) {
                    PutCell(out, at, row[ch]);
                    at += kCellSize;
                }
            }
        }
    }
    for (const Sample& s : module.samples) {
        for (const std::int8_t v : s.data) out[at++] = static_cast<std::uint8_t>(v);
    }
    return out;
}

} // namespace modgen
