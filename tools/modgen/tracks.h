#pragma once

// Short text lines that write the parts of a tune into patterns, from a given row on, one step per row.
// Melodies are whitespace-separated tokens: a note name ("A-2", "C#3") plays, "." leaves the row alone, "^"
// silences the channel, "~" holds with vibrato, and "|" between bars takes no row. Drums, bass and chords
// take one character per row: '.' rests and '^' silences; drums name the kit's drums; bass plays 'R' the
// root, 'o' the octave above, 'f' the fifth; chords play 'x' to strike and '=' to hold the arpeggio.

#include <span>
#include <string_view>

#include "tools/modgen/mod_writer.h"

namespace modgen {

// Returns the note of a name such as "A-2" or "C#3"; throws std::invalid_argument on anything else.
int NoteIndex(std::string_view name);

// Puts an effect into a cell; throws std::invalid_argument if the cell already has a different one.
void SetEffect(Pattern& pattern, int row, int channel, int effect, int param);

// Writes a melody played on `sample`.
void WriteMelody(Pattern& pattern, int channel, int row, int sample, std::string_view tokens);

// One drum of a kit: the character that stands for it, its sample and the note it is played at.
struct Drum {
    char symbol;
    int sample;
    int note;
};

// Writes drum hits from a kit.
void WriteDrums(Pattern& pattern, int channel, int row, std::span<const Drum> kit, std::string_view hits);

// Writes a bass line over `root`.
void WriteBass(Pattern& pattern, int channel, int row, int sample, int root, std::string_view rhythm);

// Writes a chord as an arpeggio on `root` with the intervals of `arpeggio` (0x37 minor, 0x47 major).
void WriteChord(Pattern& pattern, int channel, int row, int sample, int root, int arpeggio, std::string_view rhythm);

} // namespace modgen
