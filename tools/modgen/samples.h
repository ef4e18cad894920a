#pragma once

#include <vector>

#include "tools/modgen/mod_writer.h"

namespace modgen {

// Instrument numbers as the patterns use them.
enum Instrument { kKick = 1, kSnare, kClosedHat, kOpenHat, kZap, kBass, kLead, kArp, kPad };

// Notes at which the drums sound as they were synthesised: C-3 and A-3.
constexpr int kDrumNote = 24;
constexpr int kHatNote = 33;

// Returns every instrument's sample, synthesised, in the order of the instrument numbers.
std::vector<Sample> SynthesiseInstruments();

} // namespace modgen
