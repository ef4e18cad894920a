#include "tools/modgen/song.h"

#include <array>
#include <string_view>

#include "tools/modgen/samples.h"
#include "tools/modgen/tracks.h"

namespace modgen {
namespace {

// Left and right are hard-panned L R R L: drums and lead on the left, bass and chords on the right.
constexpr int kDrumChannel = 0, kBassChannel = 1, kChordChannel = 2, kLeadChannel = 3;
constexpr int kBarRows = 16;
constexpr int kSpeed = 6, kTempo = 120;
constexpr int kSetSpeed = 0xF, kPositionJump = 0xB, kSetVolume = 0xC;

const std::array<Drum, 6> kKit{{{'k', kKick, kDrumNote},
                                {'t', kKick, kDrumNote + 7},
                                {'s', kSnare, kDrumNote},
                                {'h', kClosedHat, kHatNote},
                                {'o', kOpenHat, kHatNote},
                                {'z', kZap, kDrumNote}}};

// One bar's harmony: the bass root, the root of the arpeggio and its intervals.
struct Chord {
    std::string_view bass;
    std::string_view root;
    int arpeggio;
};

constexpr Chord kAm{"A-1", "A-1", 0x37}, kF{"F-1", "F-1", 0x47}, kC{"C-2", "C-2", 0x47}, kG{"G-1", "G-1", 0x47},
    kDm{"D-2", "D-2", 0x37}, kE{"E-1", "E-1", 0x47};
using Progression = std::array<Chord, 4>;
constexpr Progression kVerse{kAm, kF, kC, kG}, kBreak{kF, kG, kAm, kAm}, kBridge{kDm, kF, kG, kE};

// A pattern's four bars, each part given as one line per bar.
using Bars = std::array<std::string_view, 4>;

constexpr Bars kVerseDrums{"k.h.s.h.k.hks.hh", "k.h.s.h.k.hks.hh", "k.h.s.h.k.hks.hh", "k.h.s.h.kss.t.tt"};
constexpr Bars kGallop{"R.oR.oR.R.oR.oRo", "R.oR.oR.R.oR.oRo", "R.oR.oR.R.oR.oRo", "R.oR.oR.R.oR.oRo"};
constexpr Bars kStabs{"..x^..x^..x^..x^", "..x^..x^..x^..x^", "..x^..x^..x^..x^", "..x^..x^..x^..x^"};
constexpr Bars kRunningChords{"x=x=x=x=x=x=x=x=", "x=x=x=x=x=x=x=x=", "x=x=x=x=x=x=x=x=", "x=x=x=x=x=x=x=x="};

constexpr Bars kTheme{
    "A-2 . ^ A-2 . ^ C-3 . E-3 . ^ D-3 . C-3 . ^",
    "A-2 . ^ A-2 . ^ C-3 . F-3 . ^ E-3 . C-3 . ^",
    "G-2 . ^ G-2 . ^ C-3 . E-3 . ^ G-3 . E-3 . ^",
    "D-3 ~ ~ ~ ~ ~ ~ ^ B-2 . D-3 . G-3 ~ ~ ^",
};
constexpr Bars kAnswer{
    "E-3 . E-3 . D-3 . C-3 . D-3 . E-3 . A-2 ~ ~ ^",
    "C-3 ~ ~ ~ ~ ^ A-2 . C-3 . F-3 . E-3 . C-3 .",
    "G-2 . C-3 . E-3 . G-3 . A-3 ~ ~ ^ G-3 . E-3 .",
    "D-3 ~ ~ ~ ~ ~ ^ . B-2 . C-3 . D-3 ~ ~ ^",
};
constexpr Bars kHighTheme{
    "A-3 . ^ A-3 . ^ G-3 . E-3 . ^ D-3 . E-3 . ^",
    "F-3 . ^ F-3 . ^ E-3 . C-3 . ^ D-3 . C-3 . ^",
    "E-3 . ^ E-3 . ^ G-3 . C-3 . ^ D-3 . E-3 . ^",
    "D-3 ~ ~ ~ ~ ~ ~ ^ B-2 . D-3 . G-3 ~ ~ ^",
};
constexpr Bars kBreakTune{
    "C-3 ~ ~ ~ ~ ~ ~ ~ A-2 ~ ~ ~ C-3 ~ ~ ~",
    "D-3 ~ ~ ~ ~ ~ ~ ~ B-2 ~ ~ ~ G-2 ~ ~ ~",
    "E-3 ~ ~ ~ ~ ~ ~ ~ ~ ~ ~ ~ ~ ~ ~ ^",
    "",
};
constexpr Bars kBridgeTune{
    "D-3 . F-3 . A-3 . F-3 . D-3 . ^ . A-2 . D-3 .",
    "C-3 . F-3 . A-3 . G-3 . F-3 . ^ . C-3 . F-3 .",
    "B-2 . D-3 . G-3 . D-3 . B-2 . ^ . G-2 . B-2 .",
    "G#2 ~ ~ ~ B-2 ~ ~ ~ E-3 ~ ~ ~ G#3 ~ ~ ^",
};

// The parts of one pattern; an empty line leaves that bar of the part silent.
struct Section {
    const Progression& harmony;
    Bars drums;
    Bars bass;
    Bars chords;
    int chordSample;
    Bars lead;
};

Pattern Build(const Section& s)
{
    Pattern p;
    for (int bar = 0; bar < 4; ++bar) {
        const int row = bar * kBarRows;
        const Chord& chord = s.harmony[bar];
        WriteDrums(p, kDrumChannel, row, kKit, s.drums[bar]);
        WriteBass(p, kBassChannel, row, kBass, NoteIndex(chord.bass), s.bass[bar]);
        WriteChord(p, kChordChannel, row, s.chordSample, NoteIndex(chord.root), chord.arpeggio, s.chords[bar]);
        WriteMelody(p, kLeadChannel, row, kLead, s.lead[bar]);
    }
    return p;
}

Pattern Intro()
{
    Pattern p = Build({kVerse,
                       {"k...k...k...k...", "k...k...k...k...", "k.h.k.h.k.h.k.h.", "k.h.k.h.k.hss.ss"},
                       {"", "", "R..^R..^R..^R..^", "R..^R..^R..^R.o^"},
                       kStabs,
                       kArp,
                       {}});
    WriteDrums(p, kLeadChannel, 0, kKit, "z...............................z.......");
    SetEffect(p, 0, kBassChannel, kSetSpeed, kSpeed);
    SetEffect(p, 0, kChordChannel, kSetSpeed, kTempo);
    return p;
}

Pattern SecondIntro()
{
    return Build({kVerse,
                  {"k.h.s.h.k.h.s.h.", "k.h.s.h.k.h.s.h.", "k.h.s.h.k.h.s.h.", "k.h.s.h.kss.t.tt"},
                  {"R..RR.o.R..RR.o.", "R..RR.o.R..RR.o.", "R..RR.o.R..RR.o.", "R..RR.o.R..RR.o."},
                  kStabs,
                  kArp,
                  {"", "", "", ". . . . . . . . A-2 . C-3 . D-3 . E-3 ^"}});
}

Pattern Break()
{
    Pattern p = Build({kBreak,
                       {"..h...h...h...h.", "..h...h...h...h.", "k...k...k...k.h.", "s.s.s.s.ssssssss"},
                       {"R.......o.......", "R.......o.......", "R.......R.......", "R...R...R.R.RRRR"},
                       {"x===============", "x===============", "x===============", "x=======x======="},
                       kPad,
                       kBreakTune});
    // The snare roll swells into the next verse.
    for (int row = 48; row < 64; ++row) {
        if (p.rows[row][kDrumChannel].sample == kSnare) SetEffect(p, row, kDrumChannel, kSetVolume, 12 + (row - 48) * 3);
    }
    return p;
}

Pattern Outro()
{
    Pattern p = Build({kVerse,
                       {"k.h.s.h.k.hks.hh", "k.h.s.h.k.hks.hh", "k...s...k...s...", "k.......z......."},
                       {"R.oR.oR.R.oR.oRo", "R.oR.oR.R.oR.oRo", "R.......R.......", "R.......^......."},
                       {"..x^..x^..x^..x^", "..x^..x^..x^..x^", "..x^..x^..x^..x^", "x==============^"},
                       kArp,
                       {kTheme[0], kTheme[1], "G-2 ~ ~ ~ ~ ~ ~ ^", ""}});
    SetEffect(p, kRows - 1, kBassChannel, kPositionJump, 0);
    return p;
}

} // namespace

Module ComposeSong()
{
    Module m;
    m.title = "ROBOT";
    m.samples = SynthesiseInstruments();
    const Bars verseBass{kGallop[0], kGallop[1], kGallop[2], "R.oR.oR.f.oR.fRo"};
    const Bars busyDrums{"k.o.s.h.k.hks.o.", "k.o.s.h.k.hks.o.", "k.o.s.h.k.hks.o.", "k.h.s.h.kss.tttt"};
    m.patterns = {
        Intro(),
        SecondIntro(),
        Build({kVerse, kVerseDrums, kGallop, kStabs, kArp, kTheme}),
        Build({kVerse, kVerseDrums, verseBass, {kStabs[0], kStabs[1], kStabs[2], "..x^..x^..x^x^x^"}, kArp, kAnswer}),
        Break(),
        Build({kVerse, busyDrums, kGallop, kRunningChords, kArp, kHighTheme}),
        Build({kVerse, kVerseDrums, verseBass, kRunningChords, kArp, kAnswer}),
        Build({kBridge, busyDrums, {"R.Ro.RRoR.Ro.R.o", "R.Ro.RRoR.Ro.R.o", "R.Ro.RRoR.Ro.R.o", "R.R.R.R.o.o.o.o."},
               {"x===x===x===x===", "x===x===x===x===", "x===x===x===x===", "x===x===x===x=^."}, kPad, kBridgeTune}),
        Outro(),
    };
    m.order = {0, 1, 2, 3, 4, 5, 6, 7, 5, 8};
    return m;
}

} // namespace modgen
