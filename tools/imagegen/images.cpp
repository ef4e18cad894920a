#include "tools/imagegen/images.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>

namespace imagegen {
namespace {

constexpr double kPi = 3.14159265358979323846;

std::uint32_t Rgb(double r, double g, double b)
{
    auto channel = [](double v) { return static_cast<std::uint32_t>(std::lround(std::clamp(v, 0.0, 255.0))); };
    return 0xFF000000u | channel(r) | channel(g) << 8 | channel(b) << 16;
}

// Smooth value noise on a 16-cell lattice that wraps, from a fixed integer hash.
double Noise(double x, double y)
{
    auto lattice = [](int i, int j) {
        std::uint32_t h = static_cast<std::uint32_t>(i & 15) * 374761393u + static_cast<std::uint32_t>(j & 15) * 668265263u;
        h = (h ^ (h >> 13)) * 1274126177u;
        return ((h ^ (h >> 16)) & 0xFFFF) / 65535.0;
    };
    const int i = static_cast<int>(std::floor(x)), j = static_cast<int>(std::floor(y));
    const double fx = x - i, fy = y - j;
    const double sx = fx * fx * (3 - 2 * fx), sy = fy * fy * (3 - 2 * fy);
    const double top = lattice(i, j) + (lattice(i + 1, j) - lattice(i, j)) * sx;
    const double bottom = lattice(i, j + 1) + (lattice(i + 1, j + 1) - lattice(i, j + 1)) * sx;
    return top + (bottom - top) * sy;
}

} // namespace

console::Picture FlagPicture()
{
    // Dark brown, brown, burnt orange, orange, pale orange.
    constexpr std::array<std::array<double, 3>, 5> kPalette{{
        {58, 28, 12}, {118, 58, 22}, {192, 90, 26}, {236, 134, 38}, {250, 188, 104}}};
    console::Picture p;
    p.width = p.height = 256;
    p.pixels.resize(256 * 256);
    for (int y = 0; y < 256; ++y) {
        for (int x = 0; x < 256; ++x) {
            const double dx = (x - 127.5) / 128.0, dy = (y - 127.5) / 128.0;
            const double r = std::sqrt(dx * dx + dy * dy);
            const double turbulence = Noise(x / 32.0, y / 32.0) + 0.5 * Noise(x / 16.0 + 7, y / 16.0 + 3);
            // Arms that wind tighter towards the centre.
            const double swirl = std::atan2(dy, dx) * 3 + 9.0 / (r + 0.35) + turbulence * 2.2;
            double t = 0.5 + 0.5 * std::sin(swirl);
            t = std::clamp(t * 0.85 + 0.15 * Noise(x / 8.0 + 11, y / 8.0 + 5) - 0.12 * r + 0.06, 0.0, 1.0);
            const double scaled = t * (kPalette.size() - 1);
            const std::size_t k = std::min<std::size_t>(static_cast<std::size_t>(scaled), kPalette.size() - 2);
            const double f = scaled - k;
            const auto& a = kPalette[k];
            const auto& b = kPalette[k + 1];
            p.pixels[y * 256 + x] = Rgb(a[0] + (b[0] - a[0]) * f, a[1] + (b[1] - a[1]) * f, a[2] + (b[2] - a[2]) * f);
        }
    }
    return p;
}

console::Picture GlowPicture()
{
    console::Picture p;
    p.width = p.height = 32;
    p.pixels.resize(32 * 32);
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            const double r = std::hypot(x - 15.5, y - 15.5) / 16.0;
            // A soft falloff: full white in the middle, black from the inscribed circle outwards.
            const double v = r >= 1.0 ? 0.0 : 255.0 * std::pow(0.5 + 0.5 * std::cos(r * kPi), 1.5);
            p.pixels[y * 32 + x] = Rgb(v, v, v);
        }
    }
    return p;
}

} // namespace imagegen
