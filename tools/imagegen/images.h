#pragma once

#include "console/picture.h"

namespace imagegen {

// The flag: 256 x 256, an abstract swirl of orange and brown tones (opaque RGB).
console::Picture FlagPicture();

// The particle sprite: 32 x 32, a grey glow, white at the centre fading radially to black at the edges.
console::Picture GlowPicture();

} // namespace imagegen
