#pragma once

#include "ps2/types.h"

inline constexpr u32 CONSOLE_COLUMNS = 80;
inline constexpr u32 CONSOLE_ROWS = 25;
inline constexpr u32 CONSOLE_CELL_WIDTH = 7;
inline constexpr u32 CONSOLE_CELL_HEIGHT = 8;
inline constexpr u32 CONSOLE_COLOUR = 0xAAAAAA; // grey, alpha 0

// Draw one 8 x 8 glyph into the displayed frame buffer at pixel (x, y): lit pixels in colour, the rest 0.
void ConsoleDrawGlyph(u32 x, u32 y, u32 colour, u32 code);
// Draw a zero-terminated text at the cursor, one glyph at a time, and leave the cursor behind it.
void ConsoleWrite(const char* text);
// Move the cursor to a cell; the caller keeps it on the screen.
void ConsoleSetCursor(u32 column, u32 row);
