#pragma once

// The pixel pipeline shared by the primitive rasterizers: one span routine per combination of the
// features a primitive uses, so the common cases run without per-pixel tests of the GS state.

#include <algorithm>
#include <cmath>

#include "console/gs/draw_setup.h"
#include "console/gs/gs.h"

namespace gs {

// The values that vary over a primitive, at one pixel.
struct Fragment {
    float r = 0, g = 0, b = 0, a = 0;
    double z = 0;
    float u = 0, v = 0;       // texels (FST = 1) or S, T (FST = 0)
    float q = 1;
    float fog = 0;
};

using SpanRoutine = u64 (*)(const DrawSetup& s, int y, int x0, int x1, const Fragment& start, const Fragment& step);

// The span routine for a feature set: pixels x0..x1 - 1 of row y; returns the pixels written.
SpanRoutine SpanFor(u32 features);

using RectRoutine = u64 (*)(const DrawSetup& s, int x0, int x1, int y0, int y1, const Fragment& f);

// For flat feature sets (no tests; plain or standard blend): fills x0..x1 - 1 of rows y0..y1 - 1; else null.
RectRoutine FlatRectFor(u32 features);

// For DECAL feature sets under `decalRuns` (no tests; plain or standard blend): a span in runs; else null.
SpanRoutine DecalSpanFor(u32 features);

// Row y of the drawing window is drawn at all (scissor rows are clipped by the callers).
inline bool RowEnabled(const DrawSetup& s, int y)
{
    return s.scanmsk < 2 || ((y & 1) != (s.scanmsk == 2 ? 0 : 1));
}

// The first pixel centre at or after a 12.4 coordinate: ceil(v / 16).
inline int CeilPixel(int v) { return (v + 15) >> 4; }

// A vertex's position in the drawing window: its 12.4 primitive coordinates less XYOFFSET.
struct WindowPoint {
    int x, y;
};

inline WindowPoint ToWindow(const DrawSetup& s, const Vertex& v)
{
    return {static_cast<int>(v.x) - static_cast<int>(s.offset.ofx),
            static_cast<int>(v.y) - static_cast<int>(s.offset.ofy)};
}

// The values a vertex carries, in the units the span routines step.
inline Fragment VertexFragment(const Vertex& v, bool fst)
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

} // namespace gs
