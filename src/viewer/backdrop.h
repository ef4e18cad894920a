#pragma once

#include "ps2/types.h"

// The backdrop's colours at the top and the bottom of the picture, 0xRRGGBB: a neutral blue-grey.
inline constexpr u32 BACKDROP_TOP = 0x5A6470;
inline constexpr u32 BACKDROP_BOTTOM = 0x23272D;

// Fill the picture with the backdrop, shading from top to bottom, at depth 0 so that anything drawn later
// with the depth test passes over it.
void ViewerDrawBackdrop();
