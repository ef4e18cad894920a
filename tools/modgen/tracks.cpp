#include "tools/modgen/tracks.h"

#include <algorithm>
#include <stdexcept>
#include <string>

namespace modgen {
namespace {

constexpr int kArpeggio = 0x0, kVibrato = 0x4, kSetVolume = 0xC;
constexpr int kVibratoParam = 0x43, kCutVolume = 0;

Cell& At(Pattern& pattern, int row, int channel)
{
    if (row < 0 || row >= kRows || channel < 0 || channel >= kMaxChannels) {
        throw std::invalid_argument("row " + std::to_string(row) + " channel " + std::to_string(channel + 1) +
                                    " is outside the pattern");
    }
    return pattern.rows[row][channel];
}

void Play(Pattern& pattern, int row, int channel, int sample, int note)
{
    Cell& cell = At(pattern, row, channel);
    cell.note = note;
    cell.sample = sample;
}

void Silence(Pattern& pattern, int row, int channel)
{
    SetEffect(pattern, row, channel, kSetVolume, kCutVolume);
}

} // namespace

int NoteIndex(std::string_view name)
{
    constexpr std::string_view kNames = "C-C#D-D#E-F-F#G-G#A-A#B-";
    const std::size_t at = name.size() == 3 ? kNames.find(name.substr(0, 2)) : std::string_view::npos;
    if (at == std::string_view::npos || at % 2 || name[2] < '1' || name[2] > '3') {
        throw std::invalid_argument("bad note name \"" + std::string(name) + "\"");
    }
    return (name[2] - '1') * 12 + static_cast<int>(at / 2);
}

void SetEffect(Pattern& pattern, int row, int channel, int effect, int param)
{
    Cell& cell = At(pattern, row, channel);
    const bool empty = cell.effect == 0 && cell.param == 0;
    if (!empty && (cell.effect != effect || cell.param != param)) {
        throw std::invalid_argument("row " + std::to_string(row) + " channel " + std::to_string(channel + 1) +
                                    " already has an effect");
    }
    cell.effect = effect;
    cell.param = param;
}

void WriteMelody(Pattern& pattern, int channel, int row, int sample, std::string_view tokens)
{
    std::size_t pos = 0;
    while (pos < tokens.size()) {
        const std::size_t start = tokens.find_first_not_of(' ', pos);
        if (start == std::string_view::npos) break;
        const std::size_t end = std::min(tokens.find(' ', start), tokens.size());
        const std::string_view token = tokens.substr(start, end - start);
        pos = end;
        if (token == "|") continue;
        if (token == "^") {
            Silence(pattern, row, channel);
        } else if (token == "~") {
            SetEffect(pattern, row, channel, kVibrato, kVibratoParam);
        } else if (token != ".") {
            Play(pattern, row, channel, sample, NoteIndex(token));
        }
        ++row;
    }
}

void WriteDrums(Pattern& pattern, int channel, int row, std::span<const Drum> kit, std::string_view hits)
{
    for (const char symbol : hits) {
        if (symbol != '.') {
            bool found = false;
            for (const Drum& drum : kit) {
                if (drum.symbol != symbol) continue;
                Play(pattern, row, channel, drum.sample, drum.note);
                found = true;
            }
            if (!found) throw std::invalid_argument(std::string("no drum for '") + symbol + "'");
        }
        ++row;
    }
}

void WriteBass(Pattern& pattern, int channel, int row, int sample, int root, std::string_view rhythm)
{
    for (const char step : rhythm) {
        switch (step) {
        case 'R': Play(pattern, row, channel, sample, root); break;
        case 'o': Play(pattern, row, channel, sample, root + 12); break;
        case 'f': Play(pattern, row, channel, sample, root + 7); break;
        case '^': Silence(pattern, row, channel); break;
        case '.': break;
        default: throw std::invalid_argument(std::string("bad bass step '") + step + "'");
        }
        ++row;
    }
}

void WriteChord(Pattern& pattern, int channel, int row, int sample, int root, int arpeggio, std::string_view rhythm)
{
    // ProTracker reads past its period table for arpeggio notes above B-3.
    if (root < 0 || root + std::max(arpeggio >> 4, arpeggio & 0xF) >= kNoteCount) {
        throw std::invalid_argument("arpeggio leaves the three octaves");
    }
    for (const char step : rhythm) {
        switch (step) {
        case 'x':
            Play(pattern, row, channel, sample, root);
            SetEffect(pattern, row, channel, kArpeggio, arpeggio);
            break;
        case '=': SetEffect(pattern, row, channel, kArpeggio, arpeggio); break;
        case '^': Silence(pattern, row, channel); break;
        case '.': break;
        default: throw std::invalid_argument(std::string("bad chord step '") + step + "'");
        }
        ++row;
    }
}

} // namespace modgen
