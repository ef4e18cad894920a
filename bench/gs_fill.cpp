// Fill rate of the GS model on the primitives the demo draws each field.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <ctime>
#include <string_view>
#include <utility>
#include <vector>

#include "console/gs/gs.h"

namespace {

using gs::u64;

using console::SilentLog;

// A PACKED A+D packet: one tag, then one register write per quadword.
class Packet {
public:
    void add(gs::u8 reg, u64 value) { writes_.push_back({value, reg}); }

    std::vector<gs::Qword> build() const
    {
        std::vector<gs::Qword> out;
        out.push_back({0x1000000000008000ull | writes_.size(), 0xE});
        out.insert(out.end(), writes_.begin(), writes_.end());
        return out;
    }

private:
    std::vector<gs::Qword> writes_;
};

constexpr u64 kOffset = 1024 * 16;

u64 Xyz(int x, int y) { return (x * 16 + kOffset) | (y * 16 + kOffset) << 16; }

// Sets the demo's environment: 640-wide frames, z-buffer at page 0, depth ALWAYS written, ALPHA 0x44.
void SetUpEnvironment(gs::Gs& g)
{
    Packet p;
    p.add(gs::FRAME_1, 160 | 10u << 16);
    p.add(gs::ZBUF_1, 0x30000000);
    p.add(gs::XYOFFSET_1, kOffset | kOffset << 32);
    p.add(gs::SCISSOR_1, 0x01ff0000027f0000ull);
    p.add(gs::TEST_1, 0x30000);
    p.add(gs::ALPHA_1, 0x44);
    const auto packet = p.build();
    g.transfer(packet.data(), static_cast<gs::u32>(packet.size()));
}

std::vector<gs::Qword> FlatSprite(u64 prim, u64 rgbaq, int width, int height)
{
    Packet p;
    p.add(gs::PRIM, prim);
    p.add(gs::RGBAQ, rgbaq);
    p.add(gs::XYZ2, Xyz(0, 0));
    p.add(gs::XYZ2, Xyz(width, height));
    return p.build();
}

// Two triangles over the flag's area with its texture: the textured pixel rate without per-triangle costs.
std::vector<gs::Qword> TexturedQuad()
{
    Packet p;
    p.add(gs::TEX0_1, 15360 | 4ull << 14 | 8ull << 26 | 8ull << 30 | 1ull << 34 | 1ull << 35);
    p.add(gs::PRIM, 0x1DB);
    p.add(gs::RGBAQ, 0x80808080);
    auto corner = [&](int u, int v, int x, int y, u64 z) {
        p.add(gs::UV, u64(u * 16) | u64(v * 16) << 16);
        p.add(gs::XYZ2, Xyz(x, y) | z << 32);
    };
    corner(0, 0, 27, 26, 100), corner(256, 0, 612, 26, 300), corner(0, 256, 27, 229, 200);
    corner(256, 0, 612, 26, 300), corner(256, 256, 612, 229, 100), corner(0, 256, 27, 229, 200);
    return p.build();
}

// The flag: 2,262 triangles of PRIM 0x1DB over a 40 x 30 grid of 15 x 7 cells, 256 x 256 DECAL texture,
// depth varying across each.
std::vector<gs::Qword> FlagMesh()
{
    // Two triangles per cell, UV and XYZ2 per corner, as the cloth mesh sends them.
    constexpr int kColumns = 40, kRows = 30, kCellW = 15, kCellH = 7, kLeft = 27, kTop = 26;
    Packet p;
    p.add(gs::TEX0_1, 15360 | 4ull << 14 | 8ull << 26 | 8ull << 30 | 1ull << 34 | 1ull << 35);
    p.add(gs::PRIM, 0x1DB);
    p.add(gs::RGBAQ, 0x80808080);
    auto corner = [&](int i, int j) {
        p.add(gs::UV, (i * 256 * 16 / (kColumns - 1)) | u64(j * 256 * 16 / (kRows - 1)) << 16);
        // Depth as the demo gives it: 65535 less the particle's depth, -1..1.
        p.add(gs::XYZ2, Xyz(kLeft + i * kCellW, kTop + j * kCellH) | u64(65534 + (i * 7 + j * 3) % 3) << 32);
    };
    for (int j = 0; j + 1 < kRows; ++j)
        for (int i = 0; i + 1 < kColumns; ++i) {
            for (const auto& [di, dj] : {std::pair{0, 0}, {1, 0}, {0, 1}, {1, 0}, {1, 1}, {0, 1}})
                corner(i + di, j + dj);
        }
    return p.build();
}

// A 256 x 256 PSMCT32 image with varied colour and alpha at the texture area.
void UploadTexture(gs::Gs& g)
{
    for (gs::u32 y = 0; y < 256; ++y)
        for (gs::u32 x = 0; x < 256; ++x)
            g.memory().write(gs::kLayoutC32.address(15360, 4, x, y), (x * 0x010203u) ^ (y * 0x0301u) ^ (x + y) << 24);
}

// Ceilings for the spans: a plain fill and a plain per-pixel blend over a 640 x 256 buffer of 32-bit
// pixels in row order, as the compiler vectorises them.
constexpr std::size_t kCeilingPixels = 640 * 256;

struct CeilingBuffers {
    std::vector<gs::u32> source, frame;
    CeilingBuffers() : source(kCeilingPixels), frame(kCeilingPixels)
    {
        for (std::size_t i = 0; i < kCeilingPixels; ++i) source[i] = static_cast<gs::u32>(i * 2654435761u) & 0x80FFFFFF;
    }
};

void FillOnce(CeilingBuffers& b, gs::u32 colour)
{
    std::fill(b.frame.begin(), b.frame.end(), colour);
    benchmark::DoNotOptimize(b.frame.data());
    benchmark::ClobberMemory();
}

// The standard blend, (Cs - Cd) * As >> 7 + Cd per channel, of the source over the frame.
void BlendOnce(CeilingBuffers& b)
{
    for (std::size_t i = 0; i < kCeilingPixels; ++i) {
        const gs::u32 s = b.source[i], d = b.frame[i], a = s >> 24;
        gs::u32 out = s & 0xFF000000u;
        for (const int shift : {0, 8, 16}) {
            const int cs = static_cast<int>((s >> shift) & 0xFF), cd = static_cast<int>((d >> shift) & 0xFF);
            out |= static_cast<gs::u32>((((cs - cd) * static_cast<int>(a)) >> 7) + cd) << shift;
        }
        b.frame[i] = out;
    }
    benchmark::DoNotOptimize(b.frame.data());
    benchmark::ClobberMemory();
}

double ThreadSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// CPU seconds per pixel of a ceiling loop, the best of a few passes; measured once per program.
enum class Ceiling { Fill, Blend };
double CeilingSecondsPerPixel(Ceiling which)
{
    static const double fill = [] {
        CeilingBuffers b;
        double best = 1e9;
        for (gs::u32 i = 0; i < 200; ++i) {
            const double start = ThreadSeconds();
            FillOnce(b, i);
            best = std::min(best, ThreadSeconds() - start);
        }
        return best / kCeilingPixels;
    }();
    static const double blend = [] {
        CeilingBuffers b;
        double best = 1e9;
        for (int i = 0; i < 50; ++i) {
            const double start = ThreadSeconds();
            BlendOnce(b);
            best = std::min(best, ThreadSeconds() - start);
        }
        return best / kCeilingPixels;
    }();
    return which == Ceiling::Fill ? fill : blend;
}

void CeilingFill(benchmark::State& state)
{
    CeilingBuffers b;
    gs::u32 colour = 0;
    for (auto _ : state) FillOnce(b, ++colour);
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * kCeilingPixels));
}
BENCHMARK(CeilingFill)->Unit(benchmark::kMicrosecond);

void CeilingBlend(benchmark::State& state)
{
    CeilingBuffers b;
    for (auto _ : state) BlendOnce(b);
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * kCeilingPixels));
}
BENCHMARK(CeilingBlend)->Unit(benchmark::kMicrosecond);

// Draws a packet once per iteration and reports the pixels written per second, and the time per pixel
// as a multiple of the ceiling loop's (x_ceiling).
void Run(benchmark::State& state, gs::Gs& g, const std::vector<gs::Qword>& packet, Ceiling ceiling = Ceiling::Blend)
{
    const double ceilingSeconds = CeilingSecondsPerPixel(ceiling);
    const u64 before = g.pixelsDrawn();
    for (auto _ : state) g.transfer(packet.data(), static_cast<gs::u32>(packet.size()));
    const double pixels = static_cast<double>(g.pixelsDrawn() - before);
    state.SetItemsProcessed(static_cast<std::int64_t>(pixels));
    state.counters["Mpixels"] = benchmark::Counter(pixels / 1e6, benchmark::Counter::kIsRate);
    state.counters["x_ceiling"] =
        benchmark::Counter(pixels * ceilingSeconds, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void BlendedSprite(benchmark::State& state)
{
    SilentLog log;
    gs::Gs g(log);
    SetUpEnvironment(g);
    Run(state, g, FlatSprite(0x46, 0x7F204080, 640, 256));
}
BENCHMARK(BlendedSprite)->Unit(benchmark::kMicrosecond);

// Draws `packet` over the demo's environment with the texture in place.
void RunTextured(benchmark::State& state, const std::vector<gs::Qword>& packet)
{
    SilentLog log;
    gs::Gs g(log);
    SetUpEnvironment(g);
    UploadTexture(g);
    Run(state, g, packet);
}

void FlagTriangles(benchmark::State& state) { RunTextured(state, FlagMesh()); }
BENCHMARK(FlagTriangles)->Unit(benchmark::kMicrosecond);

void TexturedTriangles(benchmark::State& state) { RunTextured(state, TexturedQuad()); }
BENCHMARK(TexturedTriangles)->Unit(benchmark::kMicrosecond);

// The net: 106 glowing sprites of 64 x 32 pixels, each the whole of a 32 x 32 DECAL texture, blended
// over one another with depth written.
std::vector<gs::Qword> NetSprites()
{
    Packet p;
    p.add(gs::TEX0_1, 15360 | 5ull << 26 | 5ull << 30 | 1ull << 34 | 1ull << 35);
    p.add(gs::PRIM, 0x156);
    for (int i = 0; i < 106; ++i) {
        const int x = 60 + (i % 14) * 36 + (i / 14) % 2 * 18, y = 30 + (i / 14) * 22;
        p.add(gs::UV, 0);
        p.add(gs::XYZ2, Xyz(x, y));
        p.add(gs::UV, 32 * 16 | 32 * 16 << 16);
        p.add(gs::XYZ2, Xyz(x + 64, y + 32));
    }
    return p.build();
}

void NetSprites(benchmark::State& state) { RunTextured(state, NetSprites()); }
BENCHMARK(NetSprites)->Unit(benchmark::kMicrosecond);

void Clear(benchmark::State& state)
{
    SilentLog log;
    gs::Gs g(log);
    SetUpEnvironment(g);
    Run(state, g, FlatSprite(0x06, 0, 640, 266), Ceiling::Fill);
}
BENCHMARK(Clear)->Unit(benchmark::kMicrosecond);

// A scroller: 300 blended 16 x 16 squares, each of its own colour.
std::vector<gs::Qword> Scroller()
{
    Packet p;
    p.add(gs::PRIM, 0x46);
    for (int i = 0; i < 300; ++i) {
        const int x = (i * 37) % 624, y = 232 + (i % 3) * 8;
        p.add(gs::RGBAQ, 0x40FFFFFFu - static_cast<gs::u32>(i));
        p.add(gs::XYZ2, Xyz(x, y));
        p.add(gs::XYZ2, Xyz(x + 16, y + 16));
    }
    return p.build();
}

void ScrollerSquares(benchmark::State& state)
{
    SilentLog log;
    gs::Gs g(log);
    SetUpEnvironment(g);
    Run(state, g, Scroller());
}
BENCHMARK(ScrollerSquares)->Unit(benchmark::kMicrosecond);

// One field of the demo's drawing: the clear, the blended band, the flag and the scroller.
void Field(benchmark::State& state)
{
    SilentLog log;
    gs::Gs g(log);
    SetUpEnvironment(g);
    UploadTexture(g);
    std::vector<gs::Qword> field = FlatSprite(0x06, 0, 640, 266);
    Packet band;
    band.add(gs::PRIM, 0x46);
    band.add(gs::RGBAQ, 0x7F777777);
    band.add(gs::XYZ2, Xyz(0, 25));
    band.add(gs::XYZ2, Xyz(640, 231));
    for (const auto& part : {band.build(), FlagMesh(), Scroller()}) field.insert(field.end(), part.begin(), part.end());
    Run(state, g, field);
    state.counters["fields"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(Field)->Unit(benchmark::kMicrosecond);

// Reading out the picture of a field as the display circuit shows it, 640 x 256.
void Picture(benchmark::State& state)
{
    SilentLog log;
    gs::Gs g(log);
    g.writePrivileged(gs::PMODE, 0xff66);
    g.writePrivileged(gs::DISPFB2, 160 | 10 << 9);
    g.writePrivileged(gs::DISPLAY2, 0x001ff9ff01824290);
    console::Picture picture;
    for (auto _ : state) g.readPicture(picture);
    const double pixels = static_cast<double>(state.iterations()) * 640 * 256;
    state.SetItemsProcessed(static_cast<std::int64_t>(pixels));
    state.counters["Mpixels"] = benchmark::Counter(pixels / 1e6, benchmark::Counter::kIsRate);
}
BENCHMARK(Picture)->Unit(benchmark::kMicrosecond);

} // namespace
