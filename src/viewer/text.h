#pragma once

#include "ps2/types.h"

// Glyphs are the framework's 8 x 8 font, one pixel a font dot.
inline constexpr s32 VIEWER_GLYPH_SIZE = 8;

// Draw a zero-terminated text with its top left at pixel (x, y) of the picture, in the colour over a dark
// shadow one pixel down and to the right; only the glyphs' dots are drawn, the backdrop shows between them.
void ViewerDrawText(s32 x, s32 y, const char* text, u32 colour);
// Draw the text centred across the picture with its top at line y.
void ViewerDrawTextCentred(s32 y, const char* text, u32 colour);
