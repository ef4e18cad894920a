#pragma once

#include <cstdint>

#include "console/picture.h"

namespace frontend {

// The size of a PAL screen's 4:3 picture in square pixels: the line-doubled 640 x 512 field as people see it.
inline constexpr std::uint32_t kShownWidth = 768;
inline constexpr std::uint32_t kShownHeight = 576;

// Resamples a picture to any size, each new pixel the average of the area of the old picture it covers, so
// that shrinking keeps thin lines and enlarging keeps edges crisp.
console::Picture Scaled(const console::Picture& picture, std::uint32_t width, std::uint32_t height);

} // namespace frontend
