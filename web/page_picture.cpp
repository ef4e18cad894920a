#include "web/page_picture.h"

#include <algorithm>

namespace web {

void LineDoubled(const console::Picture& field, std::vector<std::uint8_t>& rgba)
{
    const std::size_t row = std::size_t{field.width} * 4;
    rgba.resize(row * field.height * 2);
    std::uint8_t* out = rgba.data();
    for (std::uint32_t y = 0; y < field.height; ++y) {
        std::uint8_t* line = out + row * 2 * y;
        for (std::uint32_t x = 0; x < field.width; ++x) {
            const std::uint32_t p = field.at(x, y); // 0xAABBGGRR
            line[4 * x + 0] = static_cast<std::uint8_t>(p);
            line[4 * x + 1] = static_cast<std::uint8_t>(p >> 8);
            line[4 * x + 2] = static_cast<std::uint8_t>(p >> 16);
            line[4 * x + 3] = 0xFF;
        }
        std::copy(line, line + row, line + row);
    }
}

} // namespace web
