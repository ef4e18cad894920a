#include <cstdint>

#include "console/gs/raster.h"

namespace gs {
namespace {

using s64 = std::int64_t;

s64 FloorDiv(s64 a, s64 b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); }

// An edge from (x0, y0) to (x1, y1) in 12.4 window coordinates, with y0 < y1.
struct Edge {
    s64 x0, y0, dx, dy;

    // The first pixel at or right of the edge on row y.
    int firstPixel(int y) const
    {
        const s64 num = x0 * dy + (s64{y} * 16 - y0) * dx;
        return static_cast<int>(-FloorDiv(-num, 16 * dy));
    }
};

Edge MakeEdge(int xa, int ya, int xb, int yb) { return {xa, ya, xb - xa, yb - ya}; }

struct Corner {
    int x, y; // 12.4 window
    const Vertex* v;
};

// Values that vary over the triangle at one corner, in the units the span routine steps.
Fragment Attributes(const Vertex& v, bool fst)
{
    Fragment f;
    f.r = v.colour.r, f.g = v.colour.g, f.b = v.colour.b, f.a = v.colour.a;
    f.z = v.z;
    f.u = fst ? v.u / 16.0f : v.s;
    f.v = fst ? v.v / 16.0f : v.t;
    f.q = v.colour.q;
    f.fog = v.fog;
    return f;
}

} // namespace

// Triangles cover the pixel centres inside their edges, top-left inclusive: rows
// ceil(ytop) <= y < ceil(ybottom), and on each row ceil(xleft) <= x < ceil(xright).
void Gs::drawTriangle(const Vertex& va, const Vertex& vb, const Vertex& vc)
{
    DrawSetup s;
    if (!setupDraw(s, vc)) return;
    if (regs_.attributes().iip) s.features |= kGouraud;
    const XyOffset& off = regs_.ctx[regs_.attributes().ctxt ? 1 : 0].xyoffset;
    auto corner = [&](const Vertex& v) {
        return Corner{static_cast<int>(v.x) - static_cast<int>(off.ofx),
                      static_cast<int>(v.y) - static_cast<int>(off.ofy), &v};
    };
    Corner c[3] = {corner(va), corner(vb), corner(vc)};
    if (c[1].y < c[0].y) std::swap(c[0], c[1]);
    if (c[2].y < c[1].y) std::swap(c[1], c[2]);
    if (c[1].y < c[0].y) std::swap(c[0], c[1]);

    const s64 cross = s64{c[2].x - c[0].x} * (c[1].y - c[0].y) - s64{c[1].x - c[0].x} * (c[2].y - c[0].y);
    if (cross == 0) return; // no area, no pixel centre inside
    const bool middleLeft = cross > 0;
    const Edge longEdge = MakeEdge(c[0].x, c[0].y, c[2].x, c[2].y);
    const Edge upper = MakeEdge(c[0].x, c[0].y, c[1].x, c[1].y);
    const Edge lower = MakeEdge(c[1].x, c[1].y, c[2].x, c[2].y);

    const int y0 = std::max(CeilPixel(c[0].y), s.scissorY0);
    const int y1 = std::min(CeilPixel(c[2].y), s.scissorY1 + 1);
    const int yMiddle = CeilPixel(c[1].y);
    if (y0 >= y1) return;

    // Plane gradients of every attribute over window pixels.
    const Fragment a0 = Attributes(*c[0].v, s.fst), a1 = Attributes(*c[1].v, s.fst),
                   a2 = Attributes(*c[2].v, s.fst);
    const double x0 = c[0].x / 16.0, yy0 = c[0].y / 16.0;
    const double ex1 = c[1].x / 16.0 - x0, ey1 = c[1].y / 16.0 - yy0;
    const double ex2 = c[2].x / 16.0 - x0, ey2 = c[2].y / 16.0 - yy0;
    const double det = ex1 * ey2 - ex2 * ey1;
    auto gradients = [&](double v0, double v1, double v2, double& ddx, double& ddy) {
        ddx = ((v1 - v0) * ey2 - (v2 - v0) * ey1) / det;
        ddy = ((v2 - v0) * ex1 - (v1 - v0) * ex2) / det;
    };
    Fragment dx, dy;
    auto plane = [&](float Fragment::*field) {
        double gx, gy;
        gradients(a0.*field, a1.*field, a2.*field, gx, gy);
        dx.*field = static_cast<float>(gx);
        dy.*field = static_cast<float>(gy);
    };
    plane(&Fragment::r), plane(&Fragment::g), plane(&Fragment::b), plane(&Fragment::a);
    plane(&Fragment::u), plane(&Fragment::v), plane(&Fragment::q), plane(&Fragment::fog);
    gradients(a0.z, a1.z, a2.z, dx.z, dy.z);

    const SpanRoutine span = SpanFor(s.features);
    for (int y = y0; y < y1; ++y) {
        if (!RowEnabled(s, y)) continue;
        const Edge& shortEdge = y < yMiddle ? upper : lower;
        const Edge& left = middleLeft ? shortEdge : longEdge;
        const Edge& right = middleLeft ? longEdge : shortEdge;
        const int xl = std::max(left.firstPixel(y), s.scissorX0);
        const int xr = std::min(right.firstPixel(y), s.scissorX1 + 1);
        if (xl >= xr) continue;
        const double ox = xl - x0, oy = y - yy0;
        Fragment f;
        f.r = static_cast<float>(a0.r + ox * dx.r + oy * dy.r);
        f.g = static_cast<float>(a0.g + ox * dx.g + oy * dy.g);
        f.b = static_cast<float>(a0.b + ox * dx.b + oy * dy.b);
        f.a = static_cast<float>(a0.a + ox * dx.a + oy * dy.a);
        f.z = a0.z + ox * dx.z + oy * dy.z;
        f.u = static_cast<float>(a0.u + ox * dx.u + oy * dy.u);
        f.v = static_cast<float>(a0.v + ox * dx.v + oy * dy.v);
        f.q = static_cast<float>(a0.q + ox * dx.q + oy * dy.q);
        f.fog = static_cast<float>(a0.fog + ox * dx.fog + oy * dy.fog);
        pixelsDrawn_ += span(s, y, xl, xr, f, dx);
    }
}

} // namespace gs
