#pragma once

namespace frontend {

// Ctrl-C and SIGTERM end a run at the next field boundary, so that every recording is finished and plays:
// the first one is only noted here; a second one ends the program at once, as the signal would.
void CatchInterruptions();

// The signal that asked the run to end, 0 if none came.
int Interruption();

} // namespace frontend
