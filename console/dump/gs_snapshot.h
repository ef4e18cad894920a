#pragma once

#include "console/gs/gs.h"

namespace console {

// Tells `out` a sequence of ordinary GS inputs that bring a GS from power-on to the state of `gs`: the
// privileged registers, the video mode, every general register that a write does not act on, and every
// page of local memory that is not all zero (as host-to-local transfers). A dump that starts with this
// can begin in the middle of a run. The GIF must be between packets.
void WriteSnapshot(const gs::Gs& gs, gs::Observer& out);

} // namespace console
