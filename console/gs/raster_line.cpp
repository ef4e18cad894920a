#include <cstdlib>

#include "console/gs/raster.h"

namespace gs {

// A point lights the pixel at floor(x + 0.5), floor(y + 0.5).
void Gs::drawPoint(const Vertex& v)
{
    const DrawSetup* setup = drawSetup(v);
    if (!setup) return;
    const DrawSetup& s = *setup;
    const WindowPoint p = ToWindow(s, v);
    const int x = (p.x + 8) >> 4, y = (p.y + 8) >> 4;
    if (x < s.scissorX0 || x > s.scissorX1 || y < s.scissorY0 || y > s.scissorY1 || !RowEnabled(s, y)) return;
    pixelsDrawn_ += SpanFor(s.features)(s, y, x, x + 1, VertexFragment(v, s.fst), Fragment{});
}

// Lines step one pixel along their longer axis and round the other to nearest; the first
// endpoint is drawn and the last is not.
void Gs::drawLine(const Vertex& a, const Vertex& b)
{
    const DrawSetup* setup = drawSetup(b);
    if (!setup) return;
    const DrawSetup& s = *setup;
    const auto [ax, ay] = ToWindow(s, a);
    const auto [bx, by] = ToWindow(s, b);
    const bool xMajor = std::abs(bx - ax) >= std::abs(by - ay);
    const int start = ((xMajor ? ax : ay) + 8) >> 4;
    const int end = ((xMajor ? bx : by) + 8) >> 4;
    const int steps = std::abs(end - start);
    if (steps == 0) return;
    const int dir = end > start ? 1 : -1;
    const double major0 = (xMajor ? ax : ay) / 16.0, major1 = (xMajor ? bx : by) / 16.0;
    const double minor0 = (xMajor ? ay : ax) / 16.0, minor1 = (xMajor ? by : bx) / 16.0;

    const Fragment f0 = VertexFragment(a, s.fst), f1 = VertexFragment(b, s.fst);
    const SpanRoutine span = SpanFor(s.features | s.gouraud);
    for (int i = 0; i < steps; ++i) {
        const int major = start + i * dir;
        const double t = major1 == major0 ? 0.0 : (major - major0) / (major1 - major0);
        const int minor = static_cast<int>(std::floor(minor0 + t * (minor1 - minor0) + 0.5));
        const int x = xMajor ? major : minor, y = xMajor ? minor : major;
        if (x < s.scissorX0 || x > s.scissorX1 || y < s.scissorY0 || y > s.scissorY1 || !RowEnabled(s, y))
            continue;
        const float tf = static_cast<float>(t);
        Fragment f;
        f.r = f0.r + (f1.r - f0.r) * tf, f.g = f0.g + (f1.g - f0.g) * tf;
        f.b = f0.b + (f1.b - f0.b) * tf, f.a = f0.a + (f1.a - f0.a) * tf;
        f.z = f0.z + (f1.z - f0.z) * t;
        f.u = f0.u + (f1.u - f0.u) * tf, f.v = f0.v + (f1.v - f0.v) * tf;
        f.q = f0.q + (f1.q - f0.q) * tf, f.fog = f0.fog + (f1.fog - f0.fog) * tf;
        pixelsDrawn_ += span(s, y, x, x + 1, f, Fragment{});
    }
}

} // namespace gs
