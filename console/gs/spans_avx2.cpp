// AVX2 pixel loops for flat fills and DECAL textures, pixel for pixel the same as the scalar ones.
//
// In the 32-bit layouts pixels 8k..8k + 7 of rows 2j and 2j + 1 share one aligned run of 16 words: the
// even row holds words {0, 1, 4, 5, 8, 9, 12, 13} and the odd row the others. The loops load such a
// run as two vectors, change the words of the pixels they draw and store the run back whole.

#include <algorithm>

#include "console/gs/raster.h"
#include "console/gs/steps.h"
#include "console/gs/triangle_rows.h"

#if defined(__x86_64__) || defined(__i386__)

#include <immintrin.h>

#define ORB_AVX2 __attribute__((target("avx2")))

namespace gs {
namespace {

constexpr u32 kRunMask = kMemoryWordMask & ~15u;

// Which of a run's eight words in each half belong to the odd row, and the pixel (0..3) each one is.
ORB_AVX2 inline __m256i OddRowWords() { return _mm256_setr_epi32(0, 0, -1, -1, 0, 0, -1, -1); }
ORB_AVX2 inline __m256i WordPixel() { return _mm256_setr_epi32(0, 1, 0, 1, 2, 3, 2, 3); }
ORB_AVX2 inline __m256i Lanes() { return _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7); }

// One half of Blend8: four pixels as 16-bit channels.
ORB_AVX2 inline __m256i BlendChannels(__m256i s, __m256i d)
{
    // Each pixel's alpha in its four channels.
    const __m256i alpha = _mm256_setr_epi8(6, 7, 6, 7, 6, 7, 6, 7, 14, 15, 14, 15, 14, 15, 14, 15, 6, 7, 6, 7, 6, 7,
                                           6, 7, 14, 15, 14, 15, 14, 15, 14, 15);
    const __m256i a = _mm256_shuffle_epi8(s, alpha);
    // (Cs - Cd) * As >> 7 as the high half of (Cs - Cd) * 128 times As * 4, both of which fit 16 bits:
    // the arithmetic shift of the same product.
    const __m256i diff = _mm256_slli_epi16(_mm256_sub_epi16(s, d), 7);
    return _mm256_add_epi16(_mm256_mulhi_epi16(diff, _mm256_slli_epi16(a, 2)), d);
}

// The standard blend of eight source pixels over eight frame pixels, clamped; the source alpha is kept.
ORB_AVX2 inline __m256i Blend8(__m256i src, __m256i dst)
{
    const __m256i zero = _mm256_setzero_si256();
    const __m256i lo = BlendChannels(_mm256_unpacklo_epi8(src, zero), _mm256_unpacklo_epi8(dst, zero));
    const __m256i hi = BlendChannels(_mm256_unpackhi_epi8(src, zero), _mm256_unpackhi_epi8(dst, zero));
    // Packing with unsigned saturation is the clamp to 0..255.
    const __m256i rgb = _mm256_packus_epi16(lo, hi);
    return _mm256_blendv_epi8(rgb, src, _mm256_set1_epi32(static_cast<int>(0xFF000000u)));
}

// Per word of a half run: the even row's value in words 0, 1, 4, 5, the odd row's in 2, 3, 6, 7.
ORB_AVX2 inline __m256i PickRows(int even, int odd)
{
    return _mm256_blendv_epi8(_mm256_set1_epi32(even), _mm256_set1_epi32(odd), OddRowWords());
}

ORB_AVX2 inline __m256 PickRows(float even, float odd)
{
    return _mm256_blendv_ps(_mm256_set1_ps(even), _mm256_set1_ps(odd), _mm256_castsi256_ps(OddRowWords()));
}

// Lanes 0..7 set where x + lane lies in [x0, x1).
ORB_AVX2 inline __m256i Inside(int x, int x0, int x1)
{
    const __m256i lanes = _mm256_add_epi32(_mm256_set1_epi32(x), Lanes());
    return _mm256_and_si256(_mm256_cmpgt_epi32(lanes, _mm256_set1_epi32(x0 - 1)),
                            _mm256_cmpgt_epi32(_mm256_set1_epi32(x1), lanes));
}

// Depth as the scalar loops store it: clamped to [0, zMax], then truncated to an unsigned word.
ORB_AVX2 inline __m128i Depth4(__m256d z, __m256d zMax)
{
    const __m256d clamped = _mm256_min_pd(_mm256_max_pd(z, _mm256_setzero_pd()), zMax);
    // Whole numbers up to 2^32 - 1 move into the signed range exactly.
    const __m256d shifted = _mm256_sub_pd(_mm256_floor_pd(clamped), _mm256_set1_pd(2147483648.0));
    return _mm_xor_si128(_mm256_cvttpd_epi32(shifted), _mm_set1_epi32(static_cast<int>(0x80000000u)));
}

// Word addresses of PSMCT32 texels (u, v) of a texture at block bp, bw pages wide: the layout's
// row and column tables as bit operations, the low bits of u and v through byte tables.
ORB_AVX2 inline __m256i TexelAddress(__m256i u, __m256i v, u32 bp, u32 bw)
{
    // u bits 0..3 to column bits 0, 2, 3, 6; bits 4, 5 to 8, 10 (in the byte above); v bits 0..3 to row bits
    // 1, 4, 5, 7. Other bytes of each word index entry 0, which is 0.
    const __m256i uLow = _mm256_setr_epi8(0, 1, 4, 5, 8, 9, 12, 13, 64, 65, 68, 69, 72, 73, 76, 77, 0, 1, 4, 5, 8, 9,
                                          12, 13, 64, 65, 68, 69, 72, 73, 76, 77);
    const __m256i uMiddle = _mm256_setr_epi8(0, 1, 4, 5, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 4, 5, 0, 0, 0, 0, 0,
                                             0, 0, 0, 0, 0, 0, 0);
    const __m256i vLow = _mm256_setr_epi8(0, 2, 16, 18, 32, 34, 48, 50, -128, -126, -112, -110, -96, -94, -80, -78, 0,
                                          2, 16, 18, 32, 34, 48, 50, -128, -126, -112, -110, -96, -94, -80, -78);
    const __m256i fifteen = _mm256_set1_epi32(15);
    const __m256i column = _mm256_or_si256(
        _mm256_or_si256(_mm256_shuffle_epi8(uLow, _mm256_and_si256(u, fifteen)),
                        _mm256_slli_epi32(_mm256_shuffle_epi8(uMiddle, _mm256_and_si256(_mm256_srli_epi32(u, 4),
                                                                                         _mm256_set1_epi32(3))),
                                          8)),
        _mm256_slli_epi32(_mm256_and_si256(u, _mm256_set1_epi32(~63)), 5));
    const __m256i row = _mm256_or_si256(_mm256_shuffle_epi8(vLow, _mm256_and_si256(v, fifteen)),
                                        _mm256_slli_epi32(_mm256_and_si256(v, _mm256_set1_epi32(16)), 5));
    const __m256i pageRows =
        _mm256_mullo_epi32(_mm256_srli_epi32(v, 5), _mm256_set1_epi32(static_cast<int>(bw * 2048)));
    const __m256i sum = _mm256_add_epi32(_mm256_add_epi32(column, row),
                                         _mm256_add_epi32(pageRows, _mm256_set1_epi32(static_cast<int>(bp * 64))));
    return _mm256_and_si256(sum, _mm256_set1_epi32(static_cast<int>(kMemoryWordMask)));
}

// floor(c) & mask for texel coordinates well inside the int range.
ORB_AVX2 inline __m256i TexelIndex8(__m256 c, u32 mask)
{
    const __m256i i = _mm256_cvttps_epi32(_mm256_floor_ps(c));
    return _mm256_and_si256(i, _mm256_set1_epi32(static_cast<int>(mask)));
}

// Where rows y and y + 1 start in the frame and depth buffers, and where rows y + 2 and y + 3 do (to prefetch).
struct RowStarts {
    u32 frame, z, nextFrame, nextZ;
};

template <u32 F>
inline RowStarts PairStarts(const DrawSetup& s, int y)
{
    const auto frame = [&](int row) { return s.frameLayout->row(s.frameBase, s.frameWidth, static_cast<u32>(row)); };
    const auto z = [&](int row) {
        return (F & kDepthWrite) != 0 ? s.zLayout->row(s.zBase, s.frameWidth, static_cast<u32>(row)) : 0u;
    };
    return {frame(y), z(y), frame(y + 2), z(y + 2)};
}

// Asks for the frame and depth lines of pixels x..x + 7 of a row, which the layouts scatter too widely
// for the hardware to foresee.
template <u32 F>
ORB_AVX2 inline void Prefetch(const DrawSetup& s, u32 frameRow, u32 zRow, int x)
{
    const u32 column = s.frameLayout->column(static_cast<u32>(x));
    _mm_prefetch(reinterpret_cast<const char*>(s.mem + ((frameRow + column) & kRunMask)), _MM_HINT_T0);
    if constexpr ((F & kDepthWrite) != 0) {
        const u32 zColumn = s.zLayout->column(static_cast<u32>(x));
        _mm_prefetch(reinterpret_cast<const char*>(s.mem + ((zRow + zColumn) & kRunMask)), _MM_HINT_T0);
    }
}

template <u32 F>
ORB_AVX2 u64 FlatRectAvx2(const DrawSetup& s, int x0, int x1, int y0, int y1, const Fragment& f)
{
    constexpr bool kBlends = (F & kBlend) != 0, kWritesDepth = (F & kDepthWrite) != 0;
    u32* const mem = s.mem;
    const u32 z = kWritesDepth ? DepthWord(f.z, s.zMax) : 0;
    const u32 colour = static_cast<u32>(s.flat.r | s.flat.g << 8 | s.flat.b << 16 | s.flat.a << 24);
    const __m256i source = _mm256_set1_epi32(static_cast<int>(colour)), depth = _mm256_set1_epi32(static_cast<int>(z));
    const __m256i oddWords = OddRowWords(), wordPixel = WordPixel(), ones = _mm256_set1_epi32(-1);
    u64 written = 0;
    // Row pairs, whole runs at a time: each run holds both rows' eight pixels.
    for (int y = y0 & ~1; y < y1; y += 2) {
        const bool even = y >= y0 && RowEnabled(s, y), odd = y + 1 < y1 && RowEnabled(s, y + 1);
        if (!even && !odd) continue;
        written += static_cast<u64>((even + odd) * (x1 - x0));
        const __m256i rows = _mm256_or_si256(even ? _mm256_andnot_si256(oddWords, ones) : _mm256_setzero_si256(),
                                             odd ? oddWords : _mm256_setzero_si256());
        const auto [frameRow, zRow, nextFrameRow, nextZRow] = PairStarts<F>(s, y);
        for (int x = x0 & ~7; x < x1; x += 8) {
            if (y + 2 < y1) Prefetch<F>(s, nextFrameRow, nextZRow, x);
            __m256i* const fp = reinterpret_cast<__m256i*>(mem + ((frameRow + s.frameLayout->column(x)) & kRunMask));
            __m256i* const zp =
                kWritesDepth ? reinterpret_cast<__m256i*>(mem + ((zRow + s.zLayout->column(x)) & kRunMask)) : nullptr;
            const bool whole = even && odd && x >= x0 && x + 8 <= x1;
            for (int h = 0; h < 2; ++h) {
                __m256i out = source;
                if constexpr (kBlends) out = Blend8(source, _mm256_loadu_si256(fp + h));
                if (whole) {
                    _mm256_storeu_si256(fp + h, out);
                    if constexpr (kWritesDepth) _mm256_storeu_si256(zp + h, depth);
                    continue;
                }
                const __m256i px = _mm256_add_epi32(wordPixel, _mm256_set1_epi32(x + 4 * h));
                const __m256i mask = _mm256_and_si256(
                    rows, _mm256_and_si256(_mm256_cmpgt_epi32(px, _mm256_set1_epi32(x0 - 1)),
                                           _mm256_cmpgt_epi32(_mm256_set1_epi32(x1), px)));
                _mm256_storeu_si256(fp + h, _mm256_blendv_epi8(_mm256_loadu_si256(fp + h), out, mask));
                if constexpr (kWritesDepth)
                    _mm256_storeu_si256(zp + h, _mm256_blendv_epi8(_mm256_loadu_si256(zp + h), depth, mask));
            }
        }
    }
    return written;
}

// Texels of eight pixels at texel coordinates (u, v).
ORB_AVX2 inline __m256i Texels8(const DrawSetup& s, __m256 u, __m256 v)
{
    const __m256i address = TexelAddress(TexelIndex8(u, s.texMaskU), TexelIndex8(v, s.texMaskV), s.texBase, s.texWidth);
    return _mm256_i32gather_epi32(reinterpret_cast<const int*>(s.mem), address, 4);
}

// Writes first + i * step at out[i] for p0 <= i < p1, eight floats at a time.
ORB_AVX2 inline void PutLinear(float* out, float first, float step, int p0, int p1)
{
    const __m256 start = _mm256_set1_ps(first), delta = _mm256_set1_ps(step);
    for (int g = p0 & ~7; g < p1; g += 8) {
        const __m256i i = _mm256_add_epi32(_mm256_set1_epi32(g - p0), Lanes());
        const __m256 values = _mm256_add_ps(start, _mm256_mul_ps(_mm256_cvtepi32_ps(i), delta));
        const __m256 inside = _mm256_castsi256_ps(Inside(g, p0, p1));
        _mm256_store_ps(out + g, _mm256_blendv_ps(_mm256_load_ps(out + g), values, inside));
    }
}

// The same for doubles, four at a time.
ORB_AVX2 inline void PutLinear(double* out, double first, double step, int p0, int p1)
{
    const __m256d start = _mm256_set1_pd(first), delta = _mm256_set1_pd(step);
    for (int g = p0 & ~3; g < p1; g += 4) {
        const __m128i i = _mm_add_epi32(_mm_set1_epi32(g - p0), _mm_setr_epi32(0, 1, 2, 3));
        const __m256d values = _mm256_add_pd(start, _mm256_mul_pd(_mm256_cvtepi32_pd(i), delta));
        const __m256i lanes = _mm256_cvtepi32_epi64(i);
        const __m256i inside = _mm256_andnot_si256(_mm256_cmpgt_epi64(_mm256_setzero_si256(), lanes),
                                                   _mm256_cmpgt_epi64(_mm256_set1_epi64x(p1 - p0), lanes));
        _mm256_store_pd(out + g, _mm256_blendv_pd(_mm256_load_pd(out + g), values, _mm256_castsi256_pd(inside)));
    }
}

// Writes the values v0, v0 + d, (v0 + d) + d, ... of n pixels at out[lead..], as a chain of adds
// rounding at each add makes them: a vector at a time where they are linear.
template <typename T>
ORB_AVX2 inline void FillSteps(T* out, T v0, T d, int lead, int n)
{
    T v = v0;
    for (int k = 0; k < n;) {
        T delta;
        const int m = ExactRun(v, d, n - k, delta), p0 = lead + k;
        if (m == 1)
            out[p0] = v;
        else
            PutLinear(out, v, delta, p0, p0 + m);
        v = (v + static_cast<T>(m - 1) * delta) + d;
        k += m;
    }
}

// One row of a triangle: pixels x0..x1 - 1 (none when x1 <= x0) starting at f.
struct RowSpan {
    int x0 = 0, x1 = 0;
    Fragment f;
};

// One row of a DECAL span in pixel order from the multiple of 8 at or left of its start: its texels
// and depths, as the scalar loop steps u, v and depth.
struct StagedRow {
    static constexpr int kMax = 2048 + 16;
    int base = 0, total = 0;
    alignas(32) u32 texels[kMax]{};
    alignas(32) u32 depths[kMax]{};
};

template <u32 F>
ORB_AVX2 void StageRow(const DrawSetup& s, const RowSpan& row, const Fragment& step, StagedRow& out)
{
    constexpr bool kWritesDepth = (F & kDepthWrite) != 0;
    const int n = row.x1 - row.x0;
    out.base = row.x0 & ~7;
    const int lead = row.x0 - out.base;
    out.total = (lead + n + 7) & ~7;
    // Coordinates in runs of 64 pixels, to keep them in the first cache level.
    constexpr int kRun = 64, kShortRun = 16;
    alignas(32) float us[kRun], vs[kRun];
    alignas(32) double zs[kRun];
    float u = row.f.u, v = row.f.v;
    double z = row.f.z;
    const __m256d zMax = _mm256_set1_pd(s.zMax);
    for (int start = 0; start < out.total; start += kRun) {
        const int first = std::max(lead - start, 0), end = std::min(lead + n - start, kRun);
        const int groups = std::min(out.total - start, kRun);
        // Only the first and last groups have lanes outside the span; they are set to zero.
        for (const int i : {first & ~7, (end - 1) & ~7}) {
            _mm256_store_ps(us + i, _mm256_setzero_ps());
            _mm256_store_ps(vs + i, _mm256_setzero_ps());
            if constexpr (kWritesDepth) {
                _mm256_store_pd(zs + i, _mm256_setzero_pd());
                _mm256_store_pd(zs + i + 4, _mm256_setzero_pd());
            }
        }
        const int count = end - first;
        if (count <= kShortRun) {
            // A few adds cost less than finding the stretches where they are linear.
            for (int i = first; i < end; ++i) {
                us[i] = u, vs[i] = v;
                u += step.u, v += step.v;
                if constexpr (kWritesDepth) {
                    zs[i] = z;
                    z += step.z;
                }
            }
        } else {
            FillSteps(us, u, step.u, first, count);
            FillSteps(vs, v, step.v, first, count);
            // The next run's chain starts one add after this run's last values.
            u = us[end - 1] + step.u, v = vs[end - 1] + step.v;
            if constexpr (kWritesDepth) {
                FillSteps(zs, z, step.z, first, count);
                z = zs[end - 1] + step.z;
            }
        }
        for (int i = 0; i < groups; i += 8) {
            _mm256_store_si256(reinterpret_cast<__m256i*>(out.texels + start + i),
                               Texels8(s, _mm256_load_ps(us + i), _mm256_load_ps(vs + i)));
            if constexpr (kWritesDepth)
                _mm256_store_si256(reinterpret_cast<__m256i*>(out.depths + start + i),
                                   _mm256_set_m128i(Depth4(_mm256_load_pd(zs + i + 4), zMax),
                                                    Depth4(_mm256_load_pd(zs + i), zMax)));
        }
    }
}

// Four staged values of a row from pixel x on; where the row has none there, any four of its values,
// which the caller leaves unused.
ORB_AVX2 inline __m128i Staged4(const u32* values, const StagedRow& row, int x)
{
    const int p = std::min(std::max(x - row.base, 0), row.total - 4);
    return _mm_load_si128(reinterpret_cast<const __m128i*>(values + p));
}

// A half run's new words, as the half run holds them: texels (before the blend) and depths.
struct HalfRunWords {
    __m256i texels, depths;
};

// Writes a pair of DECAL rows (pixels x0..x1 - 1 of each, per word of a half run) a run at a time from the
// multiple of 8 at or left of `first` up to `last`: `words(x, px)` gives the words of the half run whose
// pixels start at x (px: each word's pixel), which are blended into the frame and written where drawn.
template <u32 F, typename Words>
[[gnu::always_inline]] ORB_AVX2 inline void WriteRowPair(const DrawSetup& s, int y, __m256i x0, __m256i x1, int first,
                                                          int last, const Words& words)
{
    constexpr bool kWritesDepth = (F & kDepthWrite) != 0;
    const __m256i wordPixel = WordPixel();
    u32* const mem = s.mem;
    const auto [frameRow, zRow, nextFrameRow, nextZRow] = PairStarts<F>(s, y);
    for (int g = first & ~7; g < last; g += 8) {
        Prefetch<F>(s, nextFrameRow, nextZRow, g);
        const u32 column = s.frameLayout->column(static_cast<u32>(g));
        const u32 zColumn = kWritesDepth ? s.zLayout->column(static_cast<u32>(g)) : 0;
        __m256i* const fp = reinterpret_cast<__m256i*>(mem + ((frameRow + column) & kRunMask));
        __m256i* const zp = reinterpret_cast<__m256i*>(mem + ((zRow + zColumn) & kRunMask));
        for (int h = 0; h < 2; ++h) {
            const int x = g + 4 * h;
            const __m256i px = _mm256_add_epi32(wordPixel, _mm256_set1_epi32(x));
            const __m256i drawn = _mm256_andnot_si256(_mm256_cmpgt_epi32(x0, px), _mm256_cmpgt_epi32(x1, px));
            if (_mm256_testz_si256(drawn, drawn)) continue;
            const HalfRunWords w = words(x, px);
            __m256i out = w.texels;
            const __m256i frame = _mm256_loadu_si256(fp + h);
            if constexpr ((F & kBlend) != 0) out = Blend8(out, frame);
            _mm256_storeu_si256(fp + h, _mm256_blendv_epi8(frame, out, drawn));
            if constexpr (kWritesDepth)
                _mm256_storeu_si256(zp + h, _mm256_blendv_epi8(_mm256_loadu_si256(zp + h), w.depths, drawn));
        }
    }
}

// Two rows of DECAL spans, y even and y + 1, any coordinates: each row is staged in pixel order, then
// both are written a run at a time.
template <u32 F>
ORB_AVX2 u64 StagedSpanPair(const DrawSetup& s, int y, const RowSpan& even, const RowSpan& odd, const Fragment& step)
{
    constexpr bool kWritesDepth = (F & kDepthWrite) != 0;
    thread_local StagedRow staged[2];
    const RowSpan* rows[2] = {&even, &odd};
    int first = 1 << 30, last = -(1 << 30);
    for (int r = 0; r < 2; ++r) {
        if (rows[r]->x1 <= rows[r]->x0) {
            staged[r].base = 0, staged[r].total = 8;
            continue;
        }
        StageRow<F>(s, *rows[r], step, staged[r]);
        first = std::min(first, rows[r]->x0);
        last = std::max(last, rows[r]->x1);
    }
    // The staged values of pixels 0..3 of each row, as the words of a half run hold them.
    const __m256i toWords = _mm256_setr_epi32(0, 1, 4, 5, 2, 3, 6, 7);
    const auto words = [&](int x, __m256i) ORB_AVX2 {
        const auto pick = [&](const u32* evenValues, const u32* oddValues) ORB_AVX2 {
            return _mm256_permutevar8x32_epi32(
                _mm256_set_m128i(Staged4(oddValues, staged[1], x), Staged4(evenValues, staged[0], x)), toWords);
        };
        return HalfRunWords{pick(staged[0].texels, staged[1].texels),
                            kWritesDepth ? pick(staged[0].depths, staged[1].depths) : __m256i{}};
    };
    WriteRowPair<F>(s, y, PickRows(even.x0, odd.x0), PickRows(even.x1, odd.x1), first, last, words);
    return static_cast<u64>(std::max(even.x1 - even.x0, 0) + std::max(odd.x1 - odd.x0, 0));
}

// Two rows of a DECAL triangle, y even and y + 1. Where each row's coordinates are linear over its whole
// span (mostly), a run of both rows is worked out at once from them; else the rows are staged.
template <u32 F>
[[gnu::always_inline]] ORB_AVX2 inline u64 DecalRowPair(const DrawSetup& s, int y, const RowSpan& even,
                                                         const RowSpan& odd, const Fragment& step)
{
    constexpr bool kWritesDepth = (F & kDepthWrite) != 0;
    const RowSpan* rows[2] = {&even, &odd};
    float du[2] = {0, 0}, dv[2] = {0, 0};
    double dz[2] = {0, 0};
    int first = 1 << 30, last = -(1 << 30);
    for (int r = 0; r < 2; ++r) {
        const int n = rows[r]->x1 - rows[r]->x0;
        if (n <= 0) continue;
        if (ExactRun(rows[r]->f.u, step.u, n, du[r]) != n || ExactRun(rows[r]->f.v, step.v, n, dv[r]) != n ||
            (kWritesDepth && ExactRun(rows[r]->f.z, step.z, n, dz[r]) != n))
            return StagedSpanPair<F>(s, y, even, odd, step);
        first = std::min(first, rows[r]->x0);
        last = std::max(last, rows[r]->x1);
    }
    const __m256i x0 = PickRows(even.x0, odd.x0), x1 = PickRows(even.x1, odd.x1);
    const __m256 u0 = PickRows(even.f.u, odd.f.u), v0 = PickRows(even.f.v, odd.f.v);
    const __m256 du8 = PickRows(du[0], du[1]), dv8 = PickRows(dv[0], dv[1]);
    // The four doubles of each half of a half run: words 0, 1 of the even row, 2, 3 of the odd one.
    const __m256d z0 = _mm256_setr_pd(even.f.z, even.f.z, odd.f.z, odd.f.z);
    const __m256d dz4 = _mm256_setr_pd(dz[0], dz[0], dz[1], dz[1]);
    const __m256d zMax = _mm256_set1_pd(s.zMax);
    // Depth is stored floored, and a linear run floors to one word all along when it does at both ends:
    // then each row's depth is one word (mostly so for a cloth, whose depth barely changes along a row).
    bool flatDepth = false;
    __m256i flatDepths = _mm256_setzero_si256();
    if constexpr (kWritesDepth) {
        const auto lastZ = [&](const RowSpan& row, double dz) {
            return row.x1 > row.x0 ? row.f.z + static_cast<double>(row.x1 - row.x0 - 1) * dz : row.f.z;
        };
        const __m128i ends = Depth4(_mm256_setr_pd(even.f.z, lastZ(even, dz[0]), odd.f.z, lastZ(odd, dz[1])), zMax);
        const int evenDepth = _mm_cvtsi128_si32(ends), oddDepth = _mm_extract_epi32(ends, 2);
        flatDepth = evenDepth == _mm_extract_epi32(ends, 1) && oddDepth == _mm_extract_epi32(ends, 3);
        flatDepths = PickRows(evenDepth, oddDepth);
    }
    const auto words = [&](int, __m256i px) ORB_AVX2 {
        const __m256i i = _mm256_sub_epi32(px, x0);
        const __m256 fi = _mm256_cvtepi32_ps(i);
        const __m256 u = _mm256_add_ps(u0, _mm256_mul_ps(fi, du8)), v = _mm256_add_ps(v0, _mm256_mul_ps(fi, dv8));
        __m256i depths = flatDepths;
        if (kWritesDepth && !flatDepth) {
            const __m256d lo = _mm256_add_pd(z0, _mm256_mul_pd(_mm256_cvtepi32_pd(_mm256_castsi256_si128(i)), dz4));
            const __m256d hi =
                _mm256_add_pd(z0, _mm256_mul_pd(_mm256_cvtepi32_pd(_mm256_extracti128_si256(i, 1)), dz4));
            depths = _mm256_set_m128i(Depth4(hi, zMax), Depth4(lo, zMax));
        }
        return HalfRunWords{Texels8(s, u, v), depths};
    };
    WriteRowPair<F>(s, y, x0, x1, first, last, words);
    return static_cast<u64>(std::max(even.x1 - even.x0, 0) + std::max(odd.x1 - odd.x0, 0));
}

// A DECAL triangle, row pairs from the even row at or above its top.
template <u32 F>
ORB_AVX2 u64 DecalTriangleAvx2(const DrawSetup& s, const TriangleRows& t)
{
    RowWalk walk(t, s);
    RowSpan rows[2];
    u64 written = 0;
    for (int y = t.firstRow & ~1; y < t.endRow; y += 2) {
        for (int r = 0; r < 2; ++r) {
            RowSpan& row = rows[r];
            const int line = y + r;
            row.x0 = row.x1 = 0;
            if (line < t.firstRow || line >= t.endRow) continue;
            walk.next(row.x0, row.x1);
            if (!RowEnabled(s, line)) row.x1 = row.x0;
            if (row.x0 < row.x1) row.f = RowStart(t, row.x0, line);
        }
        if (rows[0].x0 < rows[0].x1 || rows[1].x0 < rows[1].x1)
            written += DecalRowPair<F>(s, y, rows[0], rows[1], t.dx);
    }
    return written;
}

// A DECAL sprite: every row steps u from the same start, so the texel columns are worked out once;
// v and depth are one value per row. Row pairs a run at a time, as the triangles.
template <u32 F>
ORB_AVX2 u64 DecalRectAvx2(const DrawSetup& s, int x0, int x1, int y0, int y1, const Fragment& start,
                           const Fragment& step, const SpriteRows& rows)
{
    constexpr int kMaxWidth = 2048;
    const int base = x0 & ~7, total = (x1 - base + 7) & ~7;
    alignas(32) u32 columns[kMaxWidth + 16];
    {
        alignas(32) float us[kMaxWidth + 16];
        float u = start.u;
        for (int i = 0; i < x0 - base; ++i) us[i] = 0;
        for (int i = x0 - base; i < x1 - base; ++i) {
            us[i] = u;
            u += step.u;
        }
        for (int i = x1 - base; i < total; ++i) us[i] = 0;
        const __m256i zero = _mm256_setzero_si256();
        for (int i = 0; i < total; i += 8)
            _mm256_store_si256(reinterpret_cast<__m256i*>(columns + i),
                               TexelAddress(TexelIndex8(_mm256_load_ps(us + i), s.texMaskU), zero, 0, 0));
    }
    const __m256i depth = _mm256_set1_epi32(static_cast<int>((F & kDepthWrite) != 0 ? DepthWord(start.z, s.zMax) : 0));
    const __m256i wordMask = _mm256_set1_epi32(static_cast<int>(kMemoryWordMask));
    // Where row y's texels start.
    const auto texRow = [&](int y) {
        const float v = static_cast<float>(rows.vTop + (y * 16 - rows.yt) * rows.dv);
        const int iv = static_cast<int>(v);
        const u32 tv = static_cast<u32>(iv - (static_cast<float>(iv) > v)) & s.texMaskV;
        return static_cast<int>(s.texLayout->row(s.texBase, s.texWidth, tv));
    };
    // The columns of pixels 4k..4k + 3 of both rows, as the words of a half run hold them.
    const __m256i toWords = _mm256_setr_epi32(0, 1, 0, 1, 2, 3, 2, 3);
    u64 written = 0;
    for (int y = y0 & ~1; y < y1; y += 2) {
        const bool even = y >= y0 && RowEnabled(s, y), odd = y + 1 < y1 && RowEnabled(s, y + 1);
        if (!even && !odd) continue;
        written += static_cast<u64>((even + odd) * (x1 - x0));
        const __m256i texRows = PickRows(even ? texRow(y) : 0, odd ? texRow(y + 1) : 0);
        const auto words = [&](int x, __m256i) ORB_AVX2 {
            const __m128i four = _mm_load_si128(reinterpret_cast<const __m128i*>(columns + (x - base)));
            const __m256i column = _mm256_permutevar8x32_epi32(_mm256_castsi128_si256(four), toWords);
            const __m256i address = _mm256_and_si256(_mm256_add_epi32(texRows, column), wordMask);
            return HalfRunWords{_mm256_i32gather_epi32(reinterpret_cast<const int*>(s.mem), address, 4), depth};
        };
        WriteRowPair<F>(s, y, PickRows(even ? x0 : 0, odd ? x0 : 0), PickRows(even ? x1 : 0, odd ? x1 : 0), x0, x1,
                        words);
    }
    return written;
}

} // namespace

TriangleRoutine DecalTriangleAvx2For(u32 features)
{
    switch (features) {
    case kTexture: return &DecalTriangleAvx2<kTexture>;
    case kTexture | kDepthWrite: return &DecalTriangleAvx2<kTexture | kDepthWrite>;
    case kTexture | kBlend | kStandardBlend: return &DecalTriangleAvx2<kTexture | kBlend | kStandardBlend>;
    case kTexture | kBlend | kStandardBlend | kDepthWrite:
        return &DecalTriangleAvx2<kTexture | kBlend | kStandardBlend | kDepthWrite>;
    default: return nullptr;
    }
}

RectRoutine FlatRectAvx2For(u32 features)
{
    switch (features) {
    case 0: return &FlatRectAvx2<0>;
    case kDepthWrite: return &FlatRectAvx2<kDepthWrite>;
    case kBlend | kStandardBlend: return &FlatRectAvx2<kBlend | kStandardBlend>;
    case kBlend | kStandardBlend | kDepthWrite: return &FlatRectAvx2<kBlend | kStandardBlend | kDepthWrite>;
    default: return nullptr;
    }
}

DecalRectRoutine DecalRectAvx2For(u32 features)
{
    switch (features) {
    case kTexture: return &DecalRectAvx2<kTexture>;
    case kTexture | kDepthWrite: return &DecalRectAvx2<kTexture | kDepthWrite>;
    case kTexture | kBlend | kStandardBlend: return &DecalRectAvx2<kTexture | kBlend | kStandardBlend>;
    case kTexture | kBlend | kStandardBlend | kDepthWrite:
        return &DecalRectAvx2<kTexture | kBlend | kStandardBlend | kDepthWrite>;
    default: return nullptr;
    }
}

} // namespace gs

#else

// Elsewhere (the WebAssembly build) only the scalar loops exist.
namespace gs {

TriangleRoutine DecalTriangleAvx2For(u32) { return nullptr; }
RectRoutine FlatRectAvx2For(u32) { return nullptr; }
DecalRectRoutine DecalRectAvx2For(u32) { return nullptr; }

} // namespace gs

#endif
