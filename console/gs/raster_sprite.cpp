#include "console/gs/raster.h"

namespace gs {

// Sprites cover ceil(x0) <= x < ceil(x1) and ceil(y0) <= y < ceil(y1) and take everything but the
// texture coordinates from their second vertex.
void Gs::drawSprite(const Vertex& a, const Vertex& b)
{
    const DrawSetup* setup = drawSetup(b);
    if (!setup) return;
    const DrawSetup& s = *setup;
    const auto [ax, ay] = ToWindow(s, a);
    const auto [bx, by] = ToWindow(s, b);

    // Texture coordinates follow the corners when they are sorted.
    const bool aLeft = ax <= bx, aTop = ay <= by;
    const int xl = aLeft ? ax : bx, xr = aLeft ? bx : ax;
    const int yt = aTop ? ay : by, yb = aTop ? by : ay;
    const int px0 = std::max(CeilPixel(xl), s.scissorX0), px1 = std::min(CeilPixel(xr), s.scissorX1 + 1);
    const int py0 = std::max(CeilPixel(yt), s.scissorY0), py1 = std::min(CeilPixel(yb), s.scissorY1 + 1);
    if (px0 >= px1 || py0 >= py1) return;
    // A table pays for itself from a few thousand blended pixels on, or at once when it is at hand.
    if ((s.features & ~kDepthWrite) == (kBlend | kStandardBlend))
        useBlendTable(b.colour, (px1 - px0) * (py1 - py0) >= 4096);

    Fragment f;
    f.z = b.z;
    f.fog = b.fog;
    f.q = b.colour.q;
    Fragment step;
    step.q = 0; // one Q, the second vertex's, for the whole sprite
    double uLeft = 0, du = 0, vTop = 0, dv = 0; // per 1/16 pixel
    if (s.features & kTexture) {
        // UV is in 1/16 texels; S and T are interpolated as they are and divided by Q per pixel.
        const double scale = s.fst ? 1.0 / 16.0 : 1.0;
        const double ul = (s.fst ? (aLeft ? a.u : b.u) : (aLeft ? a.s : b.s)) * scale;
        const double ur = (s.fst ? (aLeft ? b.u : a.u) : (aLeft ? b.s : a.s)) * scale;
        const double vt = (s.fst ? (aTop ? a.v : b.v) : (aTop ? a.t : b.t)) * scale;
        const double vb = (s.fst ? (aTop ? b.v : a.v) : (aTop ? b.t : a.t)) * scale;
        uLeft = ul;
        du = (ur - ul) / (xr - xl);
        vTop = vt;
        dv = (vb - vt) / (yb - yt);
        f.u = static_cast<float>(uLeft + (px0 * 16 - xl) * du);
        step.u = static_cast<float>(du * 16);
    }
    if (const RectRoutine fill = FlatRectFor(s, s.features)) {
        pixelsDrawn_ += fill(s, px0, px1, py0, py1, f);
        return;
    }
    if (s.decalRuns) {
        if (const DecalRectRoutine rect = DecalRectFor(s, s.features)) {
            pixelsDrawn_ += rect(s, px0, px1, py0, py1, f, step, SpriteRows{vTop, dv, yt});
            return;
        }
    }
    SpanRoutine span = s.decalRuns ? DecalSpanFor(s.features) : nullptr;
    if (!span) span = SpanFor(s.features);
    for (int y = py0; y < py1; ++y) {
        if (!RowEnabled(s, y)) continue;
        f.v = static_cast<float>(vTop + (y * 16 - yt) * dv);
        pixelsDrawn_ += span(s, y, px0, px1, f, step);
    }
}

} // namespace gs
