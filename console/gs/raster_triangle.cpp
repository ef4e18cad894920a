#include <cstdint>

#include "console/gs/raster.h"

namespace gs {
namespace {

using s64 = std::int64_t;

// floor(a / b) and the remainder a - b floor(a / b) in [0, b), for b > 0.
template <typename T>
void FloorDivide(T a, T b, T& quotient, T& remainder)
{
    quotient = a / b;
    remainder = a % b;
    if (remainder < 0) {
        --quotient;
        remainder += b;
    }
}

// The first pixel at or right of an edge, row after row, in exact integer steps. The edge runs from
// (x0, y0) to (x1, y1) in 12.4 window coordinates with y0 < y1; on row y it is at
// num / (16 dy) pixels with num = x0 dy + (16 y - y0) dx, and the first pixel is ceil of that,
// kept here as -floor(-num / (16 dy)) = -(quotient) with the remainder in [0, 16 dy).
// Window coordinates lie within +-2^16, so 16 dx and 16 dy fit 32 bits, and so do the quotient (a pixel
// near the edge) and the remainder; only the first numerator may need 64 bits.
class EdgeWalk {
public:
    EdgeWalk(int x0, int y0, int x1, int y1, int firstRow)
    {
        const int dx = x1 - x0, dy = y1 - y0;
        den_ = 16 * dy;
        const s64 m = -(s64{x0} * dy + (s64{firstRow} * 16 - y0) * dx);
        if (m >= INT32_MIN && m <= INT32_MAX) {
            FloorDivide(static_cast<int>(m), den_, quotient_, remainder_);
        } else {
            s64 q, r;
            FloorDivide(m, s64{den_}, q, r);
            quotient_ = static_cast<int>(q);
            remainder_ = static_cast<int>(r);
        }
        FloorDivide(-16 * dx, den_, stepQuotient_, stepRemainder_);
    }

    int pixel() const { return -quotient_; }

    void nextRow()
    {
        quotient_ += stepQuotient_;
        remainder_ += stepRemainder_;
        if (remainder_ >= den_) {
            remainder_ -= den_;
            ++quotient_;
        }
    }

private:
    int den_ = 1, quotient_ = 0, remainder_ = 0, stepQuotient_ = 0, stepRemainder_ = 0;
};

struct Corner {
    int x, y; // 12.4 window
    const Vertex* v;
};

} // namespace

// Triangles cover the pixel centres inside their edges, top-left inclusive: rows
// ceil(ytop) <= y < ceil(ybottom), and on each row ceil(xleft) <= x < ceil(xright).
void Gs::drawTriangle(const Vertex& va, const Vertex& vb, const Vertex& vc)
{
    const DrawSetup* setup = drawSetup(vc);
    if (!setup) return;
    const DrawSetup& s = *setup;
    const u32 features = s.features | s.gouraud;
    auto corner = [&](const Vertex& v) {
        const WindowPoint p = ToWindow(s, v);
        return Corner{p.x, p.y, &v};
    };
    Corner c[3] = {corner(va), corner(vb), corner(vc)};
    if (c[1].y < c[0].y) std::swap(c[0], c[1]);
    if (c[2].y < c[1].y) std::swap(c[1], c[2]);
    if (c[1].y < c[0].y) std::swap(c[0], c[1]);

    const s64 cross = s64{c[2].x - c[0].x} * (c[1].y - c[0].y) - s64{c[1].x - c[0].x} * (c[2].y - c[0].y);
    if (cross == 0) return; // no area, no pixel centre inside
    const bool middleLeft = cross > 0;

    const int y0 = std::max(CeilPixel(c[0].y), s.scissorY0);
    const int y1 = std::min(CeilPixel(c[2].y), s.scissorY1 + 1);
    const int yMiddle = CeilPixel(c[1].y);
    if (y0 >= y1) return;

    // Plane gradients over window pixels of the attributes the pixels use.
    const Fragment a0 = VertexFragment(*c[0].v, s.fst), a1 = VertexFragment(*c[1].v, s.fst),
                   a2 = VertexFragment(*c[2].v, s.fst);
    const double x0 = c[0].x / 16.0, yy0 = c[0].y / 16.0;
    const double ex1 = c[1].x / 16.0 - x0, ey1 = c[1].y / 16.0 - yy0;
    const double ex2 = c[2].x / 16.0 - x0, ey2 = c[2].y / 16.0 - yy0;
    const double det = ex1 * ey2 - ex2 * ey1;
    auto gradients = [&](double v0, double v1, double v2, double& ddx, double& ddy) {
        ddx = ((v1 - v0) * ey2 - (v2 - v0) * ey1) / det;
        ddy = ((v2 - v0) * ex1 - (v1 - v0) * ex2) / det;
    };
    Fragment dx, dy;
    dx.q = dy.q = 0;
    auto plane = [&](float Fragment::*field) {
        double gx, gy;
        gradients(a0.*field, a1.*field, a2.*field, gx, gy);
        dx.*field = static_cast<float>(gx);
        dy.*field = static_cast<float>(gy);
    };
    const bool gouraud = (features & kGouraud) != 0, texture = (features & kTexture) != 0;
    const bool depth = (features & (kDepthTest | kDepthWrite)) != 0, fog = s.fge && (features & kGeneric) != 0;
    if (gouraud) {
        for (float Fragment::*channel : {&Fragment::r, &Fragment::g, &Fragment::b, &Fragment::a}) plane(channel);
    }
    if (texture) {
        plane(&Fragment::u);
        plane(&Fragment::v);
        if (!s.fst) plane(&Fragment::q);
    }
    if (fog) plane(&Fragment::fog);
    if (depth) gradients(a0.z, a1.z, a2.z, dx.z, dy.z);

    // The short edge is the upper one down to the middle corner's row, then the lower one.
    EdgeWalk longEdge(c[0].x, c[0].y, c[2].x, c[2].y, y0);
    EdgeWalk shortEdge = y0 < yMiddle ? EdgeWalk(c[0].x, c[0].y, c[1].x, c[1].y, y0)
                                      : EdgeWalk(c[1].x, c[1].y, c[2].x, c[2].y, y0);
    SpanRoutine span = s.decalRuns ? DecalSpanFor(features) : nullptr;
    if (!span) span = SpanFor(features);
    // One colour and one depth along each row: rows are plain fills.
    const RectRoutine fill = dx.z == 0 ? FlatRectFor(s, features) : nullptr;
    // Wide loops take an even row and the odd one below it together.
    const SpanPairRoutine pair = s.decalRuns && !fill ? DecalSpanPairFor(s, features) : nullptr;
    RowSpan rows[2];
    for (int y = y0; y < y1; ++y) {
        if (y == yMiddle && y != y0) shortEdge = EdgeWalk(c[1].x, c[1].y, c[2].x, c[2].y, y);
        const EdgeWalk& left = middleLeft ? shortEdge : longEdge;
        const EdgeWalk& right = middleLeft ? longEdge : shortEdge;
        RowSpan& row = rows[y & 1];
        row.x0 = std::max(left.pixel(), s.scissorX0);
        row.x1 = std::min(right.pixel(), s.scissorX1 + 1);
        longEdge.nextRow();
        shortEdge.nextRow();
        if (!RowEnabled(s, y)) row.x1 = row.x0;
        if (row.x0 < row.x1) {
            const double ox = row.x0 - x0, oy = y - yy0;
            Fragment& f = row.f = Fragment{};
            if (gouraud) {
                f.r = static_cast<float>(a0.r + ox * dx.r + oy * dy.r);
                f.g = static_cast<float>(a0.g + ox * dx.g + oy * dy.g);
                f.b = static_cast<float>(a0.b + ox * dx.b + oy * dy.b);
                f.a = static_cast<float>(a0.a + ox * dx.a + oy * dy.a);
            }
            if (depth) f.z = a0.z + ox * dx.z + oy * dy.z;
            if (texture) {
                f.u = static_cast<float>(a0.u + ox * dx.u + oy * dy.u);
                f.v = static_cast<float>(a0.v + ox * dx.v + oy * dy.v);
                if (!s.fst) f.q = static_cast<float>(a0.q + ox * dx.q + oy * dy.q);
            }
            if (fog) f.fog = static_cast<float>(a0.fog + ox * dx.fog + oy * dy.fog);
        }
        if (pair) {
            if (y == y0 && (y & 1)) rows[0].x1 = rows[0].x0; // the first row is odd: no even one above
            const bool lastRow = y + 1 == y1;
            if ((y & 1) == 0 && !lastRow) continue;
            if ((y & 1) == 0) rows[1].x1 = rows[1].x0; // the last row is even: no odd one below
            if (rows[0].x0 < rows[0].x1 || rows[1].x0 < rows[1].x1)
                pixelsDrawn_ += pair(s, y & ~1, rows[0], rows[1], dx);
            continue;
        }
        if (row.x0 < row.x1)
            pixelsDrawn_ += fill ? fill(s, row.x0, row.x1, y, y + 1, row.f) : span(s, y, row.x0, row.x1, row.f, dx);
    }
}

} // namespace gs
