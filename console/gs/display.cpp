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
    out.pixels.assign(std::size_t{width} * kLines, 0xFF000000u);

    auto circuitPixel = [&](int n, u32 i, u32 line, u32& pixel) {
        const DisplayCircuit& c = circuits_[n];
        const Layout32* layout = LayoutFor(c.psm);
        if (!layout) {
            log_.message("GS: display of frame format " + console::Hex(c.psm) + " is not modelled");
            return false;
        }
        const u32 raster = kFirstLine + line;
        if (raster < c.dy || i >= CircuitWidth(c)) return false;
        const u32 bufferLine = (raster - c.dy) / (c.magv + 1);
        if (bufferLine * (c.magv + 1) > c.dh) return false;
        pixel = memory_.read(layout->address(c.fbp * 32, c.fbw, (c.dbx + i) & 2047, (c.dby + bufferLine) & 2047));
        return true;
    };

    const u32 background = static_cast<u32>(bgcolor_ & 0xFFFFFF);
    for (u32 y = 0; y < kLines; ++y) {
        for (u32 x = 0; x < width; ++x) {
            u32 p1 = 0, p2 = 0;
            const bool has1 = en1 && circuitPixel(0, x, y, p1);
            const bool has2 = en2 && circuitPixel(1, x, y, p2);
            u32 rgb = 0;
            if (has1) {
                // Circuit 1 over circuit 2 (or the background colour) by a fixed or the pixel's alpha.
                const u32 other = slbg ? background : has2 ? p2 : 0;
                const u32 a = mmodAlp ? alp : std::min<u32>(255, 2 * (p1 >> 24));
                for (unsigned shift : {0u, 8u, 16u})
                    rgb |= ((Channel(p1, shift) * a + Channel(other, shift) * (255 - a)) >> 8) << shift;
                if (a == 255) rgb = p1 & 0xFFFFFF;
            } else if (has2) {
                rgb = p2 & 0xFFFFFF;
            }
            out.pixels[std::size_t{y} * width + x] = 0xFF000000u | rgb;
        }
    }
}

} // namespace gs
