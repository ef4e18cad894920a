#include <algorithm>
#include <utility>

#include "console/gs/raster.h"

namespace gs {
namespace {

int Clamp255(int v) { return std::min(v, 255); }

// The texel at or left of coordinate c; coordinates past any int (and NaN) give texel 0.
int TexelIndex(float c)
{
    if (!(c > -1073741824.0f && c < 1073741824.0f)) return 0;
    const int i = static_cast<int>(c); // towards zero, then down for negative fractions
    return i - (static_cast<float>(i) > c);
}

u32 Wrap(Wrap mode, int c, u32 size, u32 lo, u32 hi)
{
    switch (mode) {
    case Wrap::Repeat: return static_cast<u32>(c) & (size - 1);
    case Wrap::Clamp: return static_cast<u32>(std::clamp(c, 0, static_cast<int>(size) - 1));
    case Wrap::RegionClamp: // a region given the wrong way round ends at its MAX
        return static_cast<u32>(std::min(std::max(c, static_cast<int>(lo)), static_cast<int>(hi)));
    case Wrap::RegionRepeat: return (static_cast<u32>(c) & lo) | hi;
    }
    return 0;
}

// Nearest texel at texel coordinates (u, v), as 0xAABBGGRR with the format's alpha expanded.
inline u32 Texel(const DrawSetup& s, float u, float v)
{
    u32 tu, tv;
    if (s.texRepeat) {
        tu = static_cast<u32>(TexelIndex(u)) & s.texMaskU;
        tv = static_cast<u32>(TexelIndex(v)) & s.texMaskV;
    } else {
        tu = Wrap(s.clamp.wms, TexelIndex(u), s.texMaskU + 1, s.clamp.minu, s.clamp.maxu);
        tv = Wrap(s.clamp.wmt, TexelIndex(v), s.texMaskV + 1, s.clamp.minv, s.clamp.maxv);
    }
    u32 texel = s.mem[s.texLayout->address(s.texBase, s.texWidth, tu, tv)];
    if (s.texCt24) {
        const bool black = (texel & 0xFFFFFF) == 0;
        texel = (texel & 0xFFFFFF) | (u32{s.texa.aem && black ? u8{0} : s.texa.ta0} << 24);
    }
    return texel;
}

bool AlphaPasses(ATest test, int a, int ref)
{
    switch (test) {
    case ATest::Never: return false;
    case ATest::Always: return true;
    case ATest::Less: return a < ref;
    case ATest::LEqual: return a <= ref;
    case ATest::Equal: return a == ref;
    case ATest::GEqual: return a >= ref;
    case ATest::Greater: return a > ref;
    case ATest::NotEqual: return a != ref;
    }
    return true;
}

int BlendChannel(const Alpha& al, int cs, int cd, int as, int ad, bool clamp)
{
    const int a = al.a == 0 ? cs : al.a == 1 ? cd : 0;
    const int b = al.b == 0 ? cs : al.b == 1 ? cd : 0;
    const int c = al.c == 0 ? as : al.c == 1 ? ad : al.fix;
    const int d = al.d == 0 ? cs : al.d == 1 ? cd : 0;
    const int v = (((a - b) * c) >> 7) + d;
    return clamp ? std::clamp(v, 0, 255) : (v & 0xFF);
}

// The texel a fragment samples, before the texture function.
inline u32 Sample(const DrawSetup& s, float u, float v, float q)
{
    if (!s.fst) {
        u = u / q * s.texScaleU;
        v = v / q * s.texScaleV;
    }
    return Texel(s, u, v);
}

// Texels of a run of n pixels with UV coordinates, REPEAT and a 32-bit texture.
void SampleRepeatingUv(const DrawSetup& s, u32* texels, int n, Fragment& f, const Fragment& step)
{
    // UV coordinates stay within the 1024 texels a vertex can name: no range check is needed.
    const Layout32& layout = *s.texLayout;
    const u32* const columns = layout.columns();
    float u = f.u, v = f.v, q = f.q;
    for (int i = 0; i < n; ++i) {
        const int iu = static_cast<int>(u), iv = static_cast<int>(v);
        const u32 tu = static_cast<u32>(iu - (static_cast<float>(iu) > u)) & s.texMaskU;
        const u32 tv = static_cast<u32>(iv - (static_cast<float>(iv) > v)) & s.texMaskV;
        texels[i] = s.mem[(layout.row(s.texBase, s.texWidth, tv) + columns[tu]) & kMemoryWordMask];
        u += step.u, v += step.v, q += step.q;
    }
    f.u = u, f.v = v, f.q = q;
}

// One pixel through texture, tests, blend and masks; returns whether anything was written.
template <u32 F>
inline bool ShadePixel(const DrawSetup& s, u32 fa, u32 za, const Fragment& f, u32 t)
{
    u32* const mem = s.mem;
    u32 z = 0;
    bool depthPassed = true;
    if constexpr ((F & (kDepthTest | kDepthWrite)) != 0) z = DepthWord(f.z, s.zMax);
    if constexpr ((F & kDepthTest) != 0) {
        const u32 zb = mem[za];
        depthPassed = s.ztst == ZTest::GEqual ? z >= zb : z > zb;
        // Without an alpha test that may still write depth, a failed depth test ends the pixel here.
        if constexpr ((F & kGeneric) == 0) {
            if (!depthPassed) return false;
        }
    }
    int r, g, b, a;
    if constexpr ((F & kGouraud) != 0) {
        r = static_cast<int>(f.r), g = static_cast<int>(f.g), b = static_cast<int>(f.b), a = static_cast<int>(f.a);
    } else {
        r = s.flat.r, g = s.flat.g, b = s.flat.b, a = s.flat.a;
    }
    if constexpr ((F & kTexture) != 0) {
        const int tr = t & 0xFF, tg = (t >> 8) & 0xFF, tb = (t >> 16) & 0xFF, ta = t >> 24;
        switch (s.tex0.tfx) {
        case Tfx::Modulate:
            r = Clamp255((tr * r) >> 7), g = Clamp255((tg * g) >> 7), b = Clamp255((tb * b) >> 7);
            if (s.tex0.tcc) a = Clamp255((ta * a) >> 7);
            break;
        case Tfx::Decal:
            r = tr, g = tg, b = tb;
            if (s.tex0.tcc) a = ta;
            break;
        case Tfx::Highlight:
        case Tfx::Highlight2:
            r = Clamp255(((tr * r) >> 7) + a), g = Clamp255(((tg * g) >> 7) + a), b = Clamp255(((tb * b) >> 7) + a);
            if (s.tex0.tcc) a = s.tex0.tfx == Tfx::Highlight ? Clamp255(ta + a) : ta;
            break;
        }
    }
    bool writeRgb = true, writeAlpha = true, writeZ = !s.zmsk;
    u32 dst = 0;
    if constexpr ((F & kGeneric) != 0) {
        if (s.fge) {
            const int fog = static_cast<int>(f.fog);
            const int fr = s.fogcol & 0xFF, fg = (s.fogcol >> 8) & 0xFF, fb = (s.fogcol >> 16) & 0xFF;
            r = (fog * r + (255 - fog) * fr) >> 8;
            g = (fog * g + (255 - fog) * fg) >> 8;
            b = (fog * b + (255 - fog) * fb) >> 8;
        }
        if (s.test.ate && !AlphaPasses(s.test.atst, a, s.test.aref)) {
            switch (s.test.afail) {
            case 0: return false;                          // KEEP
            case 1: writeZ = false; break;                 // FB_ONLY
            case 2: writeRgb = writeAlpha = false; break;  // ZB_ONLY
            default: writeAlpha = writeZ = false; break;   // RGB_ONLY
            }
        }
        dst = mem[fa];
        if (s.test.date && (s.ct24 || ((dst >> 31) != 0) != s.test.datm)) return false;
        if (!depthPassed) return false;
    } else if constexpr ((F & kBlend) != 0) {
        dst = mem[fa];
    }
    if constexpr ((F & kBlend) != 0) {
        bool blend = true;
        if constexpr ((F & kGeneric) != 0) blend = !(s.pabe && a < 0x80);
        if (blend) {
            if constexpr ((F & kStandardBlend) != 0) {
                const int dr = dst & 0xFF, dg = (dst >> 8) & 0xFF, db = (dst >> 16) & 0xFF;
                r = StandardBlendChannel(r, dr, a);
                g = StandardBlendChannel(g, dg, a);
                b = StandardBlendChannel(b, db, a);
                if (a > 0x80) r = std::clamp(r, 0, 255), g = std::clamp(g, 0, 255), b = std::clamp(b, 0, 255);
            } else {
                const int ad = s.ct24 ? 0x80 : static_cast<int>(dst >> 24);
                r = BlendChannel(s.alpha, r, dst & 0xFF, a, ad, s.colclamp);
                g = BlendChannel(s.alpha, g, (dst >> 8) & 0xFF, a, ad, s.colclamp);
                b = BlendChannel(s.alpha, b, (dst >> 16) & 0xFF, a, ad, s.colclamp);
            }
        }
    }
    u32 out = static_cast<u32>(r) | static_cast<u32>(g) << 8 | static_cast<u32>(b) << 16 | static_cast<u32>(a) << 24;
    if constexpr ((F & kGeneric) != 0) {
        if (s.fba) out |= 0x80000000u;
        u32 keep = s.fbmsk;
        if (!writeRgb) keep |= 0x00FFFFFF;
        if (!writeAlpha || s.ct24) keep |= 0xFF000000;
        if (keep != 0xFFFFFFFF) mem[fa] = (out & ~keep) | (dst & keep);
    } else {
        mem[fa] = out;
    }
    if constexpr ((F & kDepthWrite) != 0) {
        if (writeZ) mem[za] = z;
    } else {
        (void)writeZ;
    }
    return true;
}

template <u32 F>
u64 Span(const DrawSetup& s, int y, int x0, int x1, const Fragment& start, const Fragment& step)
{
    Fragment f = start;
    const u32 frameRow = s.frameLayout->row(s.frameBase, s.frameWidth, static_cast<u32>(y));
    const u32* const frameColumns = s.frameLayout->columns();
    u32 zRow = 0;
    const u32* zColumns = frameColumns;
    if constexpr ((F & (kDepthTest | kDepthWrite)) != 0) {
        zRow = s.zLayout->row(s.zBase, s.frameWidth, static_cast<u32>(y));
        zColumns = s.zLayout->columns();
    }
    u64 written = 0;
    // Texels are fetched a run ahead of the pixels, so their loads overlap; one at a time when the
    // texture may be the frame being drawn.
    constexpr int kRun = 64;
    u32 texels[kRun];
    const int run = s.texAhead ? kRun : 1;
    for (int x = x0; x < x1;) {
        const int end = std::min(x1, x + run);
        if constexpr ((F & kTexture) != 0) {
            if (s.fst && s.texRepeat && !s.texCt24) {
                SampleRepeatingUv(s, texels, end - x, f, step);
            } else {
                for (int i = 0; i < end - x; ++i) {
                    texels[i] = Sample(s, f.u, f.v, f.q);
                    f.u += step.u, f.v += step.v, f.q += step.q;
                }
            }
        }
        for (int i = 0; x < end; ++x, ++i) {
            const u32 fa = (frameRow + frameColumns[x & 2047]) & kMemoryWordMask;
            const u32 za = (zRow + zColumns[x & 2047]) & kMemoryWordMask;
            written += ShadePixel<F>(s, fa, za, f, (F & kTexture) != 0 ? texels[i] : 0);
            if constexpr ((F & kGouraud) != 0) {
                f.r += step.r, f.g += step.g, f.b += step.b, f.a += step.a;
            }
            if constexpr ((F & (kDepthTest | kDepthWrite)) != 0) f.z += step.z;
            if constexpr ((F & kGeneric) != 0) f.fog += step.fog;
        }
    }
    return written;
}

template <std::size_t... I>
constexpr std::array<SpanRoutine, sizeof...(I)> MakeSpanTable(std::index_sequence<I...>)
{
    return {&Span<static_cast<u32>(I)>...};
}

constexpr auto kSpanTable = MakeSpanTable(std::make_index_sequence<kFeatureCombinations>{});

} // namespace

SpanRoutine SpanFor(u32 features) { return kSpanTable[features & (kFeatureCombinations - 1)]; }

} // namespace gs
