#include "frontend/picture_scale.h"

#include <algorithm>
#include <vector>

namespace frontend {
namespace {

// How much of each old pixel along one axis falls into each new one: for every new pixel, the first old
// pixel it covers and the weights of the old pixels from there, in 1/65536ths of the new pixel.
struct Footprint {
    std::uint32_t first;
    std::vector<std::uint32_t> weights;
};

std::vector<Footprint> Footprints(std::uint32_t from, std::uint32_t to)
{
    std::vector<Footprint> out(to);
    // In units where old pixels are `to` wide and new ones `from` wide, every edge is a whole number.
    for (std::uint32_t i = 0; i < to; ++i) {
        const std::uint64_t begin = std::uint64_t{i} * from, end = begin + from;
        Footprint& f = out[i];
        f.first = static_cast<std::uint32_t>(begin / to);
        std::uint32_t total = 0;
        for (std::uint64_t j = f.first; j * to < end; ++j) {
            const std::uint64_t covered = std::min(end, (j + 1) * to) - std::max(begin, j * to);
            f.weights.push_back(static_cast<std::uint32_t>(covered * 65536 / from));
            total += f.weights.back();
        }
        f.weights.back() += 65536 - total; // rounding goes to the last pixel: weights sum to one
    }
    return out;
}

} // namespace

console::Picture Scaled(const console::Picture& picture, std::uint32_t width, std::uint32_t height)
{
    console::Picture out;
    out.width = width;
    out.height = height;
    out.pixels.assign(std::size_t{width} * height, 0);
    if (picture.width == 0 || picture.height == 0 || width == 0 || height == 0) return out;
    const auto across = Footprints(picture.width, width), down = Footprints(picture.height, height);

    // Rows first, into four channels of 16.16 fixed point, then columns.
    std::vector<std::uint64_t> rows(std::size_t{width} * picture.height * 4);
    for (std::uint32_t y = 0; y < picture.height; ++y) {
        for (std::uint32_t x = 0; x < width; ++x) {
            std::uint64_t* sum = &rows[(std::size_t{y} * width + x) * 4];
            const Footprint& f = across[x];
            for (std::size_t k = 0; k < f.weights.size(); ++k) {
                const std::uint32_t p = picture.at(f.first + static_cast<std::uint32_t>(k), y);
                for (int c = 0; c < 4; ++c) sum[c] += std::uint64_t{(p >> (8 * c)) & 0xFF} * f.weights[k];
            }
        }
    }
    for (std::uint32_t y = 0; y < height; ++y) {
        const Footprint& f = down[y];
        for (std::uint32_t x = 0; x < width; ++x) {
            std::uint64_t sum[4] = {};
            for (std::size_t k = 0; k < f.weights.size(); ++k) {
                const std::uint64_t* row = &rows[((f.first + k) * width + x) * 4];
                for (int c = 0; c < 4; ++c) sum[c] += row[c] * f.weights[k];
            }
            std::uint32_t p = 0;
            for (int c = 0; c < 4; ++c) p |= static_cast<std::uint32_t>((sum[c] + (1ull << 31)) >> 32) << (8 * c);
            out.pixels[std::size_t{y} * width + x] = p;
        }
    }
    return out;
}

} // namespace frontend
