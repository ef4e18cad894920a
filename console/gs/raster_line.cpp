#include <cstdlib>

#include "console/gs/raster.h"

namespace gs {

// A point lights the pixel at floor(x + 0.5), floor(y + 0.5).
void Gs::drawPoint(const Vertex& v)
{
    const DrawSetup* setup = drawSetup(v);
    if (!setup) return;
    const DrawSetup& s = *setup;
    const int x = (static_cast<int>(v.x) - static_cast<int>(s.offset.ofx) + 8) >> 4;
    const int y = (static_cast<int>(v.y) - static_cast<int>(s.offset.ofy) + 8) >> 4;
    if (x < s.scissorX0 || x > s.scissorX1 || y < s.scissorY0 || y > s.scissorY1 || !RowEnabled(s, y)) return;
    Fragment f;
    f.r = v.colour.r, f.g = v.colour.g, f.b = v.colour.b, f.a = v.colour.a;
    f.z = v.z;
    f.u = s.fst ? v.u / 16.0f : v.s;
    f.v = s.fst ? v.v / 16.0f : v.t;
    f.q = v.colour.q;
    f.fog = v.fog;
    pixelsDrawn_ += SpanFor(s.features)(s, y, x, x + 1, f, Fragment{});
}

// Lines step one pixel along their longer axis and round the other to nearest; the first
// endpoint is drawn and the last is not.
void Gs::drawLine(const Vertex& a, const Vertex& b)
{
    const DrawSetup* setup = drawSetup(b);
    if (!setup) return;
    const DrawSetup& s = *setup;
    const int ax = static_cast<int>(a.x) - static_cast<int>(s.offset.ofx);
    const int ay = static_cast<int>(a.y) - static_cast<int>(s.offset.ofy);
    const int bx = static_cast<int>(b.x) - static_cast<int>(s.offset.ofx);
    const int by = static_cast<int>(b.y) - static_cast<int>(s.offset.ofy);
    const bool xMajor = std::abs(bx - ax) >= std::abs(by - ay);
    const int start = ((xMajor ? ax : ay) + 8) >> 4;
    const int end = ((xMajor ? bx : by) + 8) >> 4;
    const int steps = std::abs(end - start);
    if (steps == 0) return;
    const int dir = end > start ? 1 : -1;
    const double major0 = (xMajor ? ax : ay) / 16.0, major1 = (xMajor ? bx : by) / 16.0;
    const double minor0 = (xMajor ? ay : ax) / 16.0, minor1 = (xMajor ? by : bx) / 16.0;

    Fragment f0, f1;
    f0.r = a.colour.r, f0.g = a.colour.g, f0.b = a.colour.b, f0.a = a.colour.a, f0.z = a.z;
    f1.r = b.colour.r, f1.g = b.colour.g, f1.b = b.colour.b, f1.a = b.colour.a, f1.z = b.z;
    f0.u = s.fst ? a.u / 16.0f : a.s, f0.v = s.fst ? a.v / 16.0f : a.t, f0.q = a.colour.q, f0.fog = a.fog;
    f1.u = s.fst ? b.u / 16.0f : b.s, f1.v = s.fst ? b.v / 16.0f : b.t, f1.q = b.colour.q, f1.fog = b.fog;
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
