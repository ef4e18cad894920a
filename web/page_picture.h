#pragma once

#include <cstdint>
#include <vector>

#include "console/picture.h"

namespace web {

// A field as the page's canvas takes it: RGBA bytes, opaque, every line twice, as a PAL screen shows the
// field's lines over the whole frame.
void LineDoubled(const console::Picture& field, std::vector<std::uint8_t>& rgba);

} // namespace web
