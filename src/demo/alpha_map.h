#pragma once

#include "ps2/types.h"

// Turn an image's red channel into its alpha, in place: R becomes 0 and A the old R (at most 127); G and B
// stay, and pixels that are 0 stay 0.
void MakeAlphaMap(u32* pixels, u32 count);
