// Draws the embedded font as a sheet of 16 x 16 glyphs: orb_fontsheet OUT.png writes the picture kept in data/.

#include <cstdint>
#include <iostream>
#include <string>

#include "data/font.h"
#include "frontend/png_file.h"

namespace {

constexpr std::uint32_t Scale = 4;
constexpr std::uint32_t Pitch = 8 * Scale + 1; // a grid line, then the glyph
constexpr std::uint32_t Black = 0xFF000000u;
constexpr std::uint32_t White = 0xFFFFFFFFu;
constexpr std::uint32_t Grey = 0xFF606060u;

// Draws code c at column c % 16, row c / 16, each font pixel a Scale x Scale square, inside a one-pixel grid.
console::Picture DrawSheet()
{
    console::Picture sheet;
    sheet.width = sheet.height = 16 * Pitch + 1;
    sheet.pixels.assign(sheet.width * sheet.height, Black);
    for (std::uint32_t y = 0; y < sheet.height; ++y)
        for (std::uint32_t x = 0; x < sheet.width; ++x) {
            std::uint32_t& pixel = sheet.pixels[y * sheet.width + x];
            if (x % Pitch == 0 || y % Pitch == 0) {
                pixel = Grey;
                continue;
            }
            const std::uint32_t code = y / Pitch * 16 + x / Pitch;
            const std::uint32_t row = (y % Pitch - 1) / Scale, column = (x % Pitch - 1) / Scale;
            if (Font8x8[8 * code + row] & (0x80u >> column)) pixel = White;
        }
    return sheet;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::cerr << "usage: orb_fontsheet OUT.png\n";
        return 2;
    }
    std::string error;
    if (!frontend::WritePng(argv[1], DrawSheet(), error)) {
        std::cerr << "orb_fontsheet: " << error << '\n';
        return 1;
    }
    return 0;
}
