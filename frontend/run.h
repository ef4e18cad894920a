#pragma once

#include "frontend/options.h"
#include "frontend/program.h"

namespace frontend {

// Runs the program on virtual time for options.frames fields; returns the exit status.
int RunHeadless(const Options& options, const Program& program);

// Runs the program in a window on wall-clock time until the window closes (or options.frames fields).
int RunWindowed(const Options& options, const Program& program);

// Replays options.replay through the GS model with the same outputs; returns the exit status.
int RunReplay(const Options& options);

} // namespace frontend
