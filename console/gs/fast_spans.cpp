// Pixel loops for the kinds of primitive the demo draws most: flat fills and DECAL textures. They
// need no per-pixel state, so they work pixel pairs and runs rather than single pixels.

#include <algorithm>
#include <cstring>

#include "console/gs/raster.h"
#include "console/gs/simd.h"
#include "console/gs/triangle_rows.h"

namespace gs {
namespace {

// Writes a flat row: `shade` gives each pixel's new value from the old one, and depth is one value.
template <u32 F, typename Shade>
u64 FlatRow(const DrawSetup& s, int y, int x0, int x1, u32 z, Shade shade)
{
    // The layouts keep pixels 2n and 2n + 1 of a row in adjacent words, so they go in pairs.
    u32* const mem = s.mem;
    const u32 frameRow = s.frameLayout->row(s.frameBase, s.frameWidth, static_cast<u32>(y));
    const u32* const frameColumns = s.frameLayout->columns();
    u32 zRow = 0;
    const u32* zColumns = frameColumns;
    if constexpr ((F & kDepthWrite) != 0) {
        zRow = s.zLayout->row(s.zBase, s.frameWidth, static_cast<u32>(y));
        zColumns = s.zLayout->columns();
    }
    auto single = [&](int x) {
        const u32 fa = (frameRow + frameColumns[x]) & kMemoryWordMask;
        mem[fa] = shade(mem[fa]);
        if constexpr ((F & kDepthWrite) != 0) mem[(zRow + zColumns[x]) & kMemoryWordMask] = z;
    };
    const u64 zPair = u64{z} | u64{z} << 32;
    int x = x0;
    if (x & 1) single(x++);
    for (; x + 1 < x1; x += 2) {
        const u32 fa = (frameRow + frameColumns[x]) & kMemoryWordMask;
        u64 pair = 0;
        if constexpr ((F & kBlend) != 0) std::memcpy(&pair, mem + fa, sizeof pair);
        pair = shade(static_cast<u32>(pair)) | u64{shade(static_cast<u32>(pair >> 32))} << 32;
        std::memcpy(mem + fa, &pair, sizeof pair);
        if constexpr ((F & kDepthWrite) != 0)
            std::memcpy(mem + ((zRow + zColumns[x]) & kMemoryWordMask), &zPair, sizeof zPair);
    }
    if (x < x1) single(x);
    return static_cast<u64>(x1 - x0);
}

template <u32 F, typename Shade>
u64 FlatRows(const DrawSetup& s, int x0, int x1, int y0, int y1, u32 z, Shade shade)
{
    u64 written = 0;
    for (int y = y0; y < y1; ++y)
        if (RowEnabled(s, y)) written += FlatRow<F>(s, y, x0, x1, z, shade);
    return written;
}

// A flat rectangle: one colour, plain or blended with the standard blend, and one depth.
template <u32 F>
u64 FlatRect(const DrawSetup& s, int x0, int x1, int y0, int y1, const Fragment& f)
{
    const u32 z = (F & kDepthWrite) != 0 ? DepthWord(f.z, s.zMax) : 0;
    const int r = s.flat.r, g = s.flat.g, b = s.flat.b, a = s.flat.a;
    const u32 colour = static_cast<u32>(r | g << 8 | b << 16 | a << 24);
    if constexpr ((F & kBlend) == 0) {
        return FlatRows<F>(s, x0, x1, y0, y1, z, [colour](u32) { return colour; });
    } else {
        if (const u32* table = s.blendTable) {
            return FlatRows<F>(s, x0, x1, y0, y1, z, [table](u32 dst) {
                return table[dst & 0xFF] | table[256 + ((dst >> 8) & 0xFF)] | table[512 + ((dst >> 16) & 0xFF)];
            });
        }
        // With As <= 0x80 a blend lies between Cs and Cd, so clamping has nothing to do.
        if (a <= 0x80) {
            return FlatRows<F>(s, x0, x1, y0, y1, z, [=](u32 dst) {
                const int dr = dst & 0xFF, dg = (dst >> 8) & 0xFF, db = (dst >> 16) & 0xFF;
                return static_cast<u32>(StandardBlendChannel(r, dr, a) | StandardBlendChannel(g, dg, a) << 8 |
                                        StandardBlendChannel(b, db, a) << 16 | a << 24);
            });
        }
        return FlatRows<F>(s, x0, x1, y0, y1, z, [colour](u32 dst) { return StandardBlend(colour, dst); });
    }
}

// A textured span as the demo draws them: texels fetched a run ahead, frame and depth in pairs.
template <u32 F>
u64 DecalSpan(const DrawSetup& s, int y, int x0, int x1, const Fragment& start, const Fragment& step)
{
    constexpr bool kBlends = (F & kBlend) != 0, kWritesDepth = (F & kDepthWrite) != 0;
    u32* const mem = s.mem;
    const u32 frameRow = s.frameLayout->row(s.frameBase, s.frameWidth, static_cast<u32>(y));
    const u32* const frameColumns = s.frameLayout->columns();
    u32 zRow = 0;
    const u32* zColumns = frameColumns;
    if constexpr (kWritesDepth) {
        zRow = s.zLayout->row(s.zBase, s.frameWidth, static_cast<u32>(y));
        zColumns = s.zLayout->columns();
    }
    const Layout32& texture = *s.texLayout;
    const u32* const texColumns = texture.columns();
    const u32 texBase = s.texBase, texWidth = s.texWidth, maskU = s.texMaskU, maskV = s.texMaskV;
    float u = start.u, v = start.v;
    double z = start.z;
    constexpr int kRun = 64;
    u32 zs[kRun], texels[kRun], addresses[kRun], out[kRun];
    for (int x = x0; x < x1;) {
        const int n = std::min(x1 - x, kRun);
        // The coordinates step exactly as the general loop steps them. UV coordinates stay within
        // the 1024 texels a vertex can name: no range check is needed.
        for (int i = 0; i < n; ++i) {
            const int iu = static_cast<int>(u), iv = static_cast<int>(v);
            const u32 tu = static_cast<u32>(iu - (static_cast<float>(iu) > u)) & maskU;
            const u32 tv = static_cast<u32>(iv - (static_cast<float>(iv) > v)) & maskV;
            texels[i] = mem[(texture.row(texBase, texWidth, tv) + texColumns[tu]) & kMemoryWordMask];
            u += step.u, v += step.v;
            if constexpr (kWritesDepth) {
                zs[i] = DepthWord(z, s.zMax);
                z += step.z;
            }
        }
        // Pixels 2k and 2k + 1 of a row are adjacent words: the frame and depth go pair by pair, with a
        // single pixel at an odd start and at an even end.
        const int first = x & 1, pairsEnd = first + ((n - first) & ~1);
        auto frameAddress = [&](int i) { return (frameRow + frameColumns[(x + i) & 2047]) & kMemoryWordMask; };
        auto depthAddress = [&](int i) { return (zRow + zColumns[(x + i) & 2047]) & kMemoryWordMask; };
        if (first) addresses[0] = frameAddress(0);
        for (int i = first; i < pairsEnd; i += 2) {
            addresses[i] = frameAddress(i);
            if constexpr (kBlends) std::memcpy(out + i, mem + addresses[i], 8);
        }
        if (pairsEnd < n) addresses[pairsEnd] = frameAddress(pairsEnd);
        if constexpr (kBlends) {
            if (first) out[0] = mem[addresses[0]];
            if (pairsEnd < n) out[pairsEnd] = mem[addresses[pairsEnd]];
            // A plain loop over arrays, which the compiler vectorises.
            for (int i = 0; i < n; ++i) out[i] = StandardBlend(texels[i], out[i]);
        } else {
            std::copy_n(texels, n, out);
        }
        if (first) {
            mem[addresses[0]] = out[0];
            if constexpr (kWritesDepth) mem[depthAddress(0)] = zs[0];
        }
        for (int i = first; i < pairsEnd; i += 2) {
            std::memcpy(mem + addresses[i], out + i, 8);
            if constexpr (kWritesDepth) std::memcpy(mem + depthAddress(i), zs + i, 8);
        }
        if (pairsEnd < n) {
            mem[addresses[pairsEnd]] = out[pairsEnd];
            if constexpr (kWritesDepth) mem[depthAddress(pairsEnd)] = zs[pairsEnd];
        }
        x += n;
    }
    return static_cast<u64>(x1 - x0);
}

// The frame and depth buffers are laid out as the wide loops expect.
bool WideLoopsApply(const DrawSetup& s, u32 features)
{
    return ActiveSimdPath() == SimdPath::Avx2 && s.frameLayout == &kLayoutC32 &&
           ((features & (kDepthTest | kDepthWrite)) == 0 || s.zLayout == &kLayoutZ32);
}

} // namespace

RectRoutine FlatRectFor(const DrawSetup& s, u32 features)
{
    if (WideLoopsApply(s, features))
        if (const RectRoutine wide = FlatRectAvx2For(features)) return wide;
    switch (features) {
    case 0: return &FlatRect<0>;
    case kDepthWrite: return &FlatRect<kDepthWrite>;
    case kBlend | kStandardBlend: return &FlatRect<kBlend | kStandardBlend>;
    case kBlend | kStandardBlend | kDepthWrite: return &FlatRect<kBlend | kStandardBlend | kDepthWrite>;
    default: return nullptr;
    }
}

SpanRoutine DecalSpanFor(u32 features)
{
    switch (features) {
    case kTexture: return &DecalSpan<kTexture>;
    case kTexture | kDepthWrite: return &DecalSpan<kTexture | kDepthWrite>;
    case kTexture | kBlend | kStandardBlend: return &DecalSpan<kTexture | kBlend | kStandardBlend>;
    case kTexture | kBlend | kStandardBlend | kDepthWrite:
        return &DecalSpan<kTexture | kBlend | kStandardBlend | kDepthWrite>;
    default: return nullptr;
    }
}

DecalRectRoutine DecalRectFor(const DrawSetup& s, u32 features)
{
    return WideLoopsApply(s, features) ? DecalRectAvx2For(features) : nullptr;
}

TriangleRoutine DecalTriangleFor(const DrawSetup& s, u32 features)
{
    return WideLoopsApply(s, features) ? DecalTriangleAvx2For(features) : nullptr;
}

} // namespace gs
