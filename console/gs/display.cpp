#include <algorithm>

#include "console/gs/gs.h"

namespace gs {
namespace {

// PAL's standard visible area: 256 raster lines from line 36.
constexpr u32 kFirstLine = 36;
constexpr u32 kLines = 256;
constexpr u32 kDefaultWidth = 640;

u32 CircuitWidth(const DisplayCircuit& c) { return (c.dw + 1) / (c.magh + 1); }

u32 Channel(u32 pixel, unsigned shift) { return (pixel >> shift) & 0xFF; }

} // namespace

// The display circuit's picture of this moment: the enabled read circuits, merged as PMODE says.
// A circuit shows (DW + 1) / (MAGH + 1) buffer pixels from DBX on each line; its DX only centres the
// picture on a real screen, so buffer pixel DBX + i is picture pixel i.
void Gs::readPicture(console::Picture& out) const
{
    drainBands();
    const bool en1 = (pmode_ & 1) != 0 && circuits_[0].fbw != 0;
    const bool en2 = (pmode_ & 2) != 0 && circuits_[1].fbw != 0;
    const bool mmodAlp = (pmode_ >> 5) & 1, slbg = (pmode_ >> 7) & 1;
    const u32 alp = (pmode_ >> 8) & 0xFF;
    u32 width = 0;
    if (en1) width = std::max(width, CircuitWidth(circuits_[0]));
    if (en2) width = std::max(width, CircuitWidth(circuits_[1]));
    if (width == 0) width = kDefaultWidth;
    width = std::min<u32>(width, 2048);
    out.width = width;
    out.height = kLines;
    out.pixels.resize(std::size_t{width} * kLines);

    const Layout32* layouts[2] = {nullptr, nullptr};
    for (int n = 0; n < 2; ++n) {
        if (!(n == 0 ? en1 : en2)) continue;
        layouts[n] = LayoutFor(circuits_[n].psm);
        if (!layouts[n])
            log_.message("GS: display of frame format " + console::Hex(circuits_[n].psm) + " is not modelled");
    }
    const u32* const mem = memory_.data();
    const u32 background = static_cast<u32>(bgcolor_ & 0xFFFFFF);
    for (u32 y = 0; y < kLines; ++y) {
        // Where each circuit's line starts in memory, and how many of its pixels the line shows.
        u32 rows[2] = {0, 0}, shown[2] = {0, 0};
        for (int n = 0; n < 2; ++n) {
            const DisplayCircuit& c = circuits_[n];
            const u32 raster = kFirstLine + y;
            if (!layouts[n] || raster < c.dy) continue;
            const u32 bufferLine = (raster - c.dy) / (c.magv + 1);
            if (bufferLine * (c.magv + 1) > c.dh) continue;
            rows[n] = layouts[n]->row(c.fbp * 32, c.fbw, (c.dby + bufferLine) & 2047);
            shown[n] = std::min(CircuitWidth(c), width);
        }
        auto pixelOf = [&](int n, u32 x) {
            return mem[(rows[n] + layouts[n]->column((circuits_[n].dbx + x) & 2047)) & kMemoryWordMask];
        };
        u32* const line = out.pixels.data() + std::size_t{y} * width;
        if (shown[0] == 0) {
            // Circuit 2 alone, the demo's case: its pixels as they are, opaque.
            for (u32 x = 0; x < shown[1]; ++x) line[x] = 0xFF000000u | (pixelOf(1, x) & 0xFFFFFF);
            std::fill(line + shown[1], line + width, 0xFF000000u);
            continue;
        }
        for (u32 x = 0; x < width; ++x) {
            u32 rgb = 0;
            if (x < shown[0]) {
                // Circuit 1 over circuit 2 (or the background colour) by a fixed or the pixel's alpha.
                const u32 p1 = pixelOf(0, x);
                const u32 other = slbg ? background : x < shown[1] ? pixelOf(1, x) : 0;
                const u32 a = mmodAlp ? alp : std::min<u32>(255, 2 * (p1 >> 24));
                for (unsigned shift : {0u, 8u, 16u})
                    rgb |= ((Channel(p1, shift) * a + Channel(other, shift) * (255 - a)) >> 8) << shift;
                if (a == 255) rgb = p1 & 0xFFFFFF;
            } else if (x < shown[1]) {
                rgb = pixelOf(1, x) & 0xFFFFFF;
            }
            line[x] = 0xFF000000u | rgb;
        }
    }
}

} // namespace gs
