#include <cstdint>

#include "console/gs/raster.h"
#include "console/gs/triangle_rows.h"

namespace gs {

// Triangles cover the pixel centres inside their edges, top-left inclusive: rows
// ceil(ytop) <= y < ceil(ybottom), and on each row ceil(xleft) <= x < ceil(xright).
void Gs::drawTriangle(const Vertex& va, const Vertex& vb, const Vertex& vc)
{
    const DrawSetup* setup = drawSetup(vc);
    if (!setup) return;
    const DrawSetup& s = *setup;
    const u32 features = s.features | s.gouraud;
    const Vertex* v[3] = {&va, &vb, &vc};
    TriangleRows t;
    for (int i = 0; i < 3; ++i) {
        const WindowPoint p = ToWindow(s, *v[i]);
        t.x[i] = p.x, t.y[i] = p.y;
    }
    auto order = [&](int i, int j) {
        if (t.y[j] < t.y[i]) std::swap(t.x[i], t.x[j]), std::swap(t.y[i], t.y[j]), std::swap(v[i], v[j]);
    };
    order(0, 1), order(1, 2), order(0, 1);

    using s64 = std::int64_t;
    const s64 cross = s64{t.x[2] - t.x[0]} * (t.y[1] - t.y[0]) - s64{t.x[1] - t.x[0]} * (t.y[2] - t.y[0]);
    if (cross == 0) return; // no area, no pixel centre inside
    t.middleLeft = cross > 0;
    t.firstRow = std::max(CeilPixel(t.y[0]), s.scissorY0);
    t.endRow = std::min(CeilPixel(t.y[2]), s.scissorY1 + 1);
    t.middleRow = CeilPixel(t.y[1]);
    if (t.firstRow >= t.endRow) return;

    // Plane gradients over window pixels of the attributes the pixels use.
    const Fragment a0 = VertexFragment(*v[0], s.fst), a1 = VertexFragment(*v[1], s.fst),
                   a2 = VertexFragment(*v[2], s.fst);
    t.at0 = a0;
    t.originX = t.x[0] / 16.0, t.originY = t.y[0] / 16.0;
    const double ex1 = t.x[1] / 16.0 - t.originX, ey1 = t.y[1] / 16.0 - t.originY;
    const double ex2 = t.x[2] / 16.0 - t.originX, ey2 = t.y[2] / 16.0 - t.originY;
    const double det = ex1 * ey2 - ex2 * ey1;
    auto gradients = [&](double v0, double v1, double v2, double& ddx, double& ddy) {
        ddx = ((v1 - v0) * ey2 - (v2 - v0) * ey1) / det;
        ddy = ((v2 - v0) * ex1 - (v1 - v0) * ex2) / det;
    };
    Fragment& dx = t.dx;
    Fragment& dy = t.dy;
    dx.q = dy.q = 0;
    auto plane = [&](float Fragment::*field) {
        double gx, gy;
        gradients(a0.*field, a1.*field, a2.*field, gx, gy);
        dx.*field = static_cast<float>(gx);
        dy.*field = static_cast<float>(gy);
    };
    t.gouraud = (features & kGouraud) != 0, t.texture = (features & kTexture) != 0;
    t.depth = (features & (kDepthTest | kDepthWrite)) != 0, t.fog = s.fge && (features & kGeneric) != 0;
    t.fst = s.fst;
    if (t.gouraud) {
        for (float Fragment::*channel : {&Fragment::r, &Fragment::g, &Fragment::b, &Fragment::a}) plane(channel);
    }
    if (t.texture) {
        plane(&Fragment::u);
        plane(&Fragment::v);
        if (!s.fst) plane(&Fragment::q);
    }
    if (t.fog) plane(&Fragment::fog);
    if (t.depth) gradients(a0.z, a1.z, a2.z, dx.z, dy.z);

    // One colour and one depth along each row: rows are plain fills.
    const RectRoutine fill = dx.z == 0 ? FlatRectFor(s, features) : nullptr;
    if (!fill && s.decalRuns) {
        if (const TriangleRoutine whole = DecalTriangleFor(s, features)) {
            pixelsDrawn_ += whole(s, t);
            return;
        }
    }
    SpanRoutine span = s.decalRuns ? DecalSpanFor(features) : nullptr;
    if (!span) span = SpanFor(features);
    for (RowWalk rows(t, s); rows.row() < t.endRow;) {
        const int y = rows.row();
        int x0, x1;
        rows.next(x0, x1);
        if (x0 >= x1 || !RowEnabled(s, y)) continue;
        const Fragment f = RowStart(t, x0, y);
        pixelsDrawn_ += fill ? fill(s, x0, x1, y, y + 1, f) : span(s, y, x0, x1, f, dx);
    }
}

} // namespace gs
