#pragma once

#include "tools/modgen/mod_writer.h"

namespace modgen {

// Composes "ROBOT", an electro tune in A minor at 120 BPM: ten 8-second positions that loop with B00.
Module ComposeSong();

} // namespace modgen
