#pragma once

#include "console/gs/layout.h"
#include "console/gs/regs.h"

namespace gs {

// What a primitive's pixels go through; each combination has its own pixel loop.
enum Feature : u32 {
    kTexture = 1u << 0,
    kGouraud = 1u << 1,
    kBlend = 1u << 2,
    kDepthTest = 1u << 3,      // GEQUAL or GREATER
    kDepthWrite = 1u << 4,
    kGeneric = 1u << 5,        // alpha and destination alpha tests, FBMSK, FBA, PABE, fog, CT24, no clamp
    kStandardBlend = 1u << 6,  // with kBlend: ALPHA 0x44, (Cs - Cd) * As >> 7 + Cd, clamped
};
inline constexpr u32 kFeatureCombinations = 128;

// Everything a primitive's pixels need, resolved once from the registers.
struct DrawSetup {
    u32* mem = nullptr;
    u32 features = 0;
    u32 gouraud = 0; // kGouraud when IIP is set and the vertex colour reaches the pixels
    XyOffset offset;

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
    bool texRepeat = false; // REPEAT on both axes
    // The texture, frame and depth buffer lie apart, so texels may be read ahead of the writes.
    bool texAhead = false;
    // And UV, REPEAT, a 32-bit texture and DECAL with its alpha: pixels may be worked in runs.
    bool decalRuns = false;
    u32 texMaskU = 0, texMaskV = 0; // 2^TW - 1, 2^TH - 1
    float texScaleU = 1, texScaleV = 1; // 2^TW, 2^TH for S/Q, T/Q

    Rgbaq flat;
    // For a large flat primitive with the standard blend: the blended R, G << 8 and B << 16 | A << 24
    // for each frame value of the channel, 3 x 256 entries.
    const u32* blendTable = nullptr;
    u32 fogcol = 0;
    bool fge = false;
    Alpha alpha;
    bool colclamp = true;
    bool pabe = false;
    Test test;
};

} // namespace gs
