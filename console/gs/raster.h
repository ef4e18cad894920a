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

} // namespace gs
