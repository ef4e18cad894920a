#include "frontend/contact_sheet.h"

#include <algorithm>
#include <string>

#include "frontend/picture_scale.h"
#include "frontend/png_file.h"

namespace frontend {
namespace {

constexpr std::uint32_t kLabelHeight = 14;
constexpr std::uint32_t kGap = 2;
constexpr std::uint32_t kBackground = 0xFF202020u;
constexpr std::uint32_t kInk = 0xFFFFFFFFu;

// Digits 0-9 in a 3 x 5 pixel design, one row per entry, bit 2 leftmost.
constexpr std::uint8_t kDigits[10][5] = {
    {7, 5, 5, 5, 7}, {2, 6, 2, 2, 7}, {7, 1, 7, 4, 7}, {7, 1, 7, 1, 7}, {5, 5, 7, 1, 1},
    {7, 4, 7, 1, 7}, {7, 4, 7, 5, 7}, {7, 1, 1, 2, 2}, {7, 5, 7, 5, 7}, {7, 5, 7, 1, 7},
};

} // namespace

bool ContactSheet::add(std::uint64_t field, const console::Picture& picture)
{
    if (tiles_ == kMaxTiles) return false;
    const std::uint32_t cellWidth = kTileWidth + kGap, cellHeight = kTileHeight + kLabelHeight + kGap;
    const std::uint32_t column = tiles_ % kColumns, row = tiles_ / kColumns;
    ++tiles_;
    // Grow the sheet by whole rows of cells as the run goes on.
    const std::uint32_t width = kColumns * cellWidth + kGap, height = (row + 1) * cellHeight + kGap;
    if (sheet_.height < height) {
        sheet_.width = width;
        sheet_.height = height;
        sheet_.pixels.resize(std::size_t{width} * height, kBackground);
    }
    const std::uint32_t left = kGap + column * cellWidth, top = kGap + row * cellHeight;

    const std::string label = std::to_string(field);
    for (std::size_t i = 0; i < label.size(); ++i) {
        const auto& glyph = kDigits[label[i] - '0'];
        for (std::uint32_t y = 0; y < 10; ++y)
            for (std::uint32_t x = 0; x < 6; ++x)
                if (glyph[y / 2] & (4 >> (x / 2)))
                    sheet_.pixels[std::size_t{top + 2 + y} * width + left + 2 + i * 8 + x] = kInk;
    }
    const console::Picture tile = Scaled(picture, kTileWidth, kTileHeight);
    for (std::uint32_t y = 0; y < kTileHeight; ++y)
        std::copy_n(&tile.pixels[std::size_t{y} * kTileWidth], kTileWidth,
                    &sheet_.pixels[std::size_t{top + kLabelHeight + y} * width + left]);
    return true;
}

bool ContactSheet::write(const std::string& path, std::string& error) const
{
    if (empty()) {
        error = "no field was taken for the contact sheet " + path;
        return false;
    }
    return WritePng(path, sheet_, error);
}

} // namespace frontend
