#pragma once

// Clear the draw buffer to black and the z-buffer to 0 over the screen and ten lines below it.
void PS2ClearScreen();
// Swap the drawn and the displayed frame buffers.
void PS2FlipScreen();
// Wait for the next vertical blank, not counting one that is already pending.
void PS2WaitVSync();
