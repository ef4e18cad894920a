#pragma once

#include <cstdint>
#include <vector>

namespace console {

// A picture of 32-bit pixels 0xAABBGGRR, row by row; the display circuit's fields are opaque.
struct Picture {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::vector<std::uint32_t> pixels;

    std::uint32_t at(std::uint32_t x, std::uint32_t y) const { return pixels[y * width + x]; }
};

} // namespace console
