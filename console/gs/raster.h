#pragma once

// The pixel pipeline shared by the primitive rasterizers: one span routine per combination of the
// features a primitive uses, so the common cases run without per-pixel tests of the GS state.

#include <algorithm>
#include <cmath>

#include "console/gs/gs.h"

namespace gs {

enum Feature : u32 {
    kTexture = 1u << 0,
    kGouraud = 1u << 1,
    kBlend = 1u << 2,
    kDepthTest = 1u << 3,  // GEQUAL or GREATER
    kDepthWrite = 1u << 4,
    kGeneric = 1u << 5,    // alpha and destination alpha tests, FBMSK, FBA, PABE, fog, CT24, no clamp
};
inline constexpr u32 kFeatureCombinations = 64;

// The values that vary over a primitive, at one pixel.
struct Fragment {
    float r = 0, g = 0, b = 0, a = 0;
    double z = 0;
    float u = 0, v = 0;       // texels (FST = 1) or S, T (FST = 0)
    float q = 1;
    float fog = 0;
};

// Everything a primitive's pixels need, resolved once from the registers.
struct DrawSetup {
    u32* mem = nullptr;
    u32 features = 0;

    int scissorX0 = 0, scissorX1 = 0, scissorY0 = 0, scissorY1 = 0; // inclusive
    u8 scanmsk = 0;

    const Layout32* frameLayout = nullptr;
    u32 frameBase = 0, frameWidth = 0; // blocks, 64-pixel units
    u32 fbmsk = 0;
    bool ct24 = false;
    bool fba = false;

    const Layout32* zLayout = nullptr;
    u32 zBase = 0;
    ZTest ztst = ZTest::Always;
    double zMax = 4294967295.0;
    bool zmsk = false;

    const Layout32* texLayout = nullptr;
    u32 texBase = 0, texWidth = 0;
    Tex0 tex0;
    Clamp clamp;
    Texa texa;
    bool fst = true;
    bool texCt24 = false;
    float texScaleU = 1, texScaleV = 1; // 2^TW, 2^TH for S/Q, T/Q

    Rgbaq flat;
    u32 fogcol = 0;
    bool fge = false;
    Alpha alpha;
    bool colclamp = true;
    bool pabe = false;
    Test test;
};

using SpanRoutine = u64 (*)(const DrawSetup& s, int y, int x0, int x1, Fragment f, const Fragment& step);

// The span routine for a feature set: pixels x0..x1 - 1 of row y; returns the pixels written.
SpanRoutine SpanFor(u32 features);

// Row y of the drawing window is drawn at all (scissor rows are clipped by the callers).
inline bool RowEnabled(const DrawSetup& s, int y)
{
    return s.scanmsk < 2 || ((y & 1) != (s.scanmsk == 2 ? 0 : 1));
}

// The first pixel centre at or after a 12.4 coordinate: ceil(v / 16).
inline int CeilPixel(int v) { return (v + 15) >> 4; }

} // namespace gs
