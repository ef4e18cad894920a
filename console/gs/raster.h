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
RectRoutine FlatRectFor(const DrawSetup& s, u32 features);

// For DECAL feature sets under `decalRuns` (no tests; plain or standard blend): a span in runs; else null.
SpanRoutine DecalSpanFor(u32 features);

// A sprite's texture row: on window row y, v = vTop + (16 y - yt) dv.
struct SpriteRows {
    double vTop = 0, dv = 0;
    int yt = 0;
};

using DecalRectRoutine = u64 (*)(const DrawSetup& s, int x0, int x1, int y0, int y1, const Fragment& start,
                                 const Fragment& step, const SpriteRows& rows);

// A whole DECAL sprite at once where a wide path covers it (as DecalSpanFor, rows stepping u only); else null.
DecalRectRoutine DecalRectFor(const DrawSetup& s, u32 features);

// The AVX2 loops, for a frame in PSMCT32 and depth in PSMZ32 layout; null for feature sets they lack.
RectRoutine FlatRectAvx2For(u32 features);
DecalRectRoutine DecalRectAvx2For(u32 features);

// Row y of the drawing window is drawn at all (scissor rows are clipped by the callers).
inline bool RowEnabled(const DrawSetup& s, int y)
{
    return s.scanmsk < 2 || ((y & 1) != (s.scanmsk == 2 ? 0 : 1));
}

// The depth word a pixel stores: z clamped to [0, zMax], then truncated.
inline u32 DepthWord(double z, double zMax) { return static_cast<u32>(std::min(std::max(z, 0.0), zMax)); }

// The first pixel centre at or after a 12.4 coordinate: ceil(v / 16).
inline int CeilPixel(int v) { return (v + 15) >> 4; }

// One channel of the standard blend (ALPHA 0x44), ((Cs - Cd) x As >> 7) + Cd, before clamping; with
// As <= 0x80 it lies between Cs and Cd, so clamping has nothing to do.
inline int StandardBlendChannel(int cs, int cd, int as) { return (((cs - cd) * as) >> 7) + cd; }

// The standard blend of a source pixel over a frame pixel, clamped; the source alpha is written.
inline u32 StandardBlend(u32 src, u32 dst)
{
    const int a = static_cast<int>(src >> 24);
    u32 out = src & 0xFF000000u;
    for (const int shift : {0, 8, 16}) {
        const int cs = static_cast<int>((src >> shift) & 0xFF), cd = static_cast<int>((dst >> shift) & 0xFF);
        out |= static_cast<u32>(std::clamp(StandardBlendChannel(cs, cd, a), 0, 255)) << shift;
    }
    return out;
}

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
