#include <cstring>
#include <optional>
#include <string>
#include <utility>
#include <random>
#include <vector>

#include "console/gs/simd.h"
#include "console/gs/steps.h"
#include "tests/console/gs_fixture.h"

namespace gs_test {
namespace {

// The chain of adds the scalar loops make, against the closed form ExactRun vouches for.
template <typename T>
void ExpectRunMatchesChain(T v0, T d, int limit)
{
    T delta = 0;
    const int run = gs::ExactRun(v0, d, limit, delta);
    ASSERT_GE(run, 1);
    ASSERT_LE(run, limit);
    T chain = v0;
    for (int i = 0; i < run; ++i) {
        const T closed = v0 + static_cast<T>(i) * delta;
        if (std::memcmp(&closed, &chain, sizeof closed) != 0 && !(closed == 0 && chain == 0)) {
            ADD_FAILURE() << std::hexfloat << "v0 " << v0 << " d " << d << " at " << i << ": " << closed << ", not "
                          << chain;
            return;
        }
        chain += d;
    }
}

TEST(ExactRun, ClosedFormEqualsTheChainOfAdds)
{
    // Starts on and near binade ends, zero, negative values, steps of either sign, halfway steps.
    ExpectRunMatchesChain(64.0f, 0.4375f, 200);
    ExpectRunMatchesChain(0.0f, 0.4375f, 20);
    ExpectRunMatchesChain(127.99f, 0.01f, 20);
    ExpectRunMatchesChain(-3.25f, 0.1f, 100);
    ExpectRunMatchesChain(5.0f, -0.3f, 100);
    ExpectRunMatchesChain(1.0f, 0x1p-24f, 10); // exactly half the grid of [1, 2)
    ExpectRunMatchesChain(1.5f, 0x1.8p-23f, 10);
    ExpectRunMatchesChain(65535.5, 1e-9, 2048);
    ExpectRunMatchesChain(65535.999999, 1e-7, 2048);
    std::mt19937 random(7);
    std::uniform_real_distribution<float> start(-1100.0f, 1100.0f), step(-3.0f, 3.0f);
    std::uniform_real_distribution<double> depth(0.0, 4294967295.0), depthStep(-70000.0, 70000.0);
    std::uniform_int_distribution<int> length(1, 2048);
    for (int i = 0; i < 20000; ++i) {
        ExpectRunMatchesChain(start(random), step(random), length(random));
        ExpectRunMatchesChain(depth(random), depthStep(random) * (i % 3 == 0 ? 1e-6 : 1.0), length(random));
        if (HasFailure()) return;
    }
}

TEST(ExactRun, CoversWholeSpansInsideOneBinade)
{
    float delta = 0;
    EXPECT_EQ(gs::ExactRun(100.25f, 0.4375f, 50, delta), 50);
    EXPECT_EQ(delta, 0.4375f);
    EXPECT_EQ(gs::ExactRun(100.25f, 0.0f, 50, delta), 50);
    // 120.25 + 18 * 0.4375 reaches 128: the run stops short of the binade's end.
    EXPECT_EQ(gs::ExactRun(120.25f, 0.4375f, 50, delta), 18);
    EXPECT_EQ(gs::ExactRun(0.0f, 1.0f, 50, delta), 1);
}

// Local memory after a scene drawn through one path of the pixel loops.
class PathScene {
public:
    // With a band thread when given a split (negative: the default one, which moves).
    explicit PathScene(gs::SimdPath path, std::optional<int> split = std::nullopt)
    {
        EXPECT_TRUE(gs::ForceSimdPath(path));
        if (split) g.shareRows(*split);
        write({{gs::FRAME_1, kWidth / 64 << 16}, {gs::ZBUF_1, kZPage | u64{0x30} << 24}, {gs::XYOFFSET_1, 0},
               {gs::SCISSOR_1, (kWidth - 1) << 16 | u64{kHeight - 1} << 48}, {gs::ALPHA_1, 0x44},
               {gs::TEST_1, 0x30000}});
        std::mt19937 random(11);
        for (u32 i = 0; i < gs::kMemoryWords; ++i) g.memory().write(i, static_cast<u32>(random()));
    }
    ~PathScene() { gs::ForceSimdPath(Best()); }

    static gs::SimdPath Best()
    {
        return gs::SimdPathAvailable(gs::SimdPath::Avx2) ? gs::SimdPath::Avx2 : gs::SimdPath::Scalar;
    }

    void write(const Writes& writes) { send(AdPacket(writes)); }
    void send(const std::vector<Qword>& data) { g.transfer(data.data(), static_cast<u32>(data.size())); }
    // A vertical blank, where a band thread's split may move.
    void blank() { g.vblank(); }
    gs::Gs::BandMeetings meetings() const { return g.bandMeetings(); }
    std::vector<u32> memory() const { return {g.memory().data(), g.memory().data() + gs::kMemoryWords}; }
    u64 pixels() const { return g.pixelsDrawn(); }

    static constexpr u32 kWidth = 640, kHeight = 512, kZPage = 160, kTextureBlock = 320 * 32;

private:
    MessageLog log_;
    gs::Gs g{log_};
};

// Flat fills: plain and blended, with and without depth, ragged edges, odd rows and masked rows.
void FlatScene(PathScene& scene)
{
    std::mt19937 random(3);
    for (int i = 0; i < 300; ++i) {
        const int x = static_cast<int>(random() % 9000), y = static_cast<int>(random() % 7000);
        const int w = static_cast<int>(random() % 2400), h = static_cast<int>(random() % 900);
        const u32 prim = gs::SPRITE | (i % 3 ? 0x40u : 0u);
        const u64 colour = static_cast<u32>(random()) | u64{0x3F800000} << 32;
        scene.write({{gs::TEST_1, i % 2 ? 0x30000u : 0u}, {gs::SCANMSK, static_cast<u64>(i % 5 == 0 ? 2 + i % 2 : 0)},
                     {gs::PRIM, prim}, {gs::RGBAQ, colour},
                     {gs::XYZ2, Xyz16(x, y, static_cast<u32>(random()))}, {gs::XYZ2, Xyz16(x + w, y + h, 0)}});
    }
}

// DECAL textures with the frame's alpha blend and depth: sprites stretched and shrunk, and triangles
// of every size with depth varying across them; some with odd or even rows masked.
void TexturedScene(PathScene& scene)
{
    std::mt19937 random(5);
    // 256 x 256 PSMCT32, 4 pages wide, DECAL with the texture's alpha.
    const u64 tex0 =
        PathScene::kTextureBlock | u64{4} << 14 | u64{8} << 26 | u64{8} << 30 | u64{1} << 34 | u64{1} << 35;
    scene.write({{gs::TEX0_1, tex0}, {gs::CLAMP_1, 0}, {gs::SCANMSK, 0}});
    for (int i = 0; i < 400; ++i) {
        const bool sprite = i % 4 == 0;
        const u32 prim = (sprite ? gs::SPRITE : gs::TRIANGLE) | 0x10u | 0x100u | (i % 3 ? 0x40u : 0u);
        const int extent = i % 7 == 0 ? 9000 : 500; // some long spans that cross many binades
        auto coordinate = [&](int size) { return static_cast<int>(random() % static_cast<u32>(size)); };
        const int x = coordinate(9000), y = coordinate(7000);
        Writes w{{gs::TEST_1, i % 5 ? 0x30000u : 0u}, {gs::SCANMSK, static_cast<u64>(i % 6 == 0 ? 2 + i % 4 / 2 : 0)},
                 {gs::PRIM, prim}, {gs::RGBAQ, Rgba(0x80, 0x80, 0x80, 0x80)}};
        for (int corner = 0; corner < (sprite ? 2 : 3); ++corner) {
            w.push_back({gs::UV, Uv(random() % 16384, random() % 16384)});
            const int cx = x + coordinate(extent) - extent / 2, cy = y + coordinate(extent / 2) - extent / 4;
            w.push_back({gs::XYZ2, Xyz16(cx, cy, static_cast<u32>(random()) >> (i % 2 ? 16 : 0))});
        }
        scene.write(w);
    }
}

// A cloth mesh as the demo draws it: small triangles whose depth lies about 65536, so rows cross from
// one binade of the depth into the next, and whose texture coordinates cross powers of two.
void MeshScene(PathScene& scene)
{
    std::mt19937 random(9);
    const u64 tex0 =
        PathScene::kTextureBlock | u64{4} << 14 | u64{8} << 26 | u64{8} << 30 | u64{1} << 34 | u64{1} << 35;
    scene.write({{gs::TEX0_1, tex0}, {gs::CLAMP_1, 0}, {gs::SCANMSK, 0}, {gs::TEST_1, 0x30000}});
    for (int pass = 0; pass < 4; ++pass) {
        constexpr int kColumns = 40, kRows = 30;
        Writes w{{gs::PRIM, gs::TRIANGLE | 0x10u | 0x100u | (pass % 2 ? 0x40u : 0u)},
                 {gs::RGBAQ, Rgba(0x80, 0x80, 0x80, 0x80)}};
        auto corner = [&](int i, int j) {
            const u32 jitter = static_cast<u32>(random() % 40);
            w.push_back({gs::UV, Uv(static_cast<u32>(i * 4096 / (kColumns - 1)) + jitter,
                                    static_cast<u32>(j * 4096 / (kRows - 1)) + jitter)});
            w.push_back({gs::XYZ2, Xyz16(400 + i * 240 + pass * 37 + static_cast<int>(jitter),
                                         400 + j * 112 + pass * 29, 65533 + static_cast<u32>(random() % 5))});
        };
        for (int j = 0; j + 1 < kRows; ++j)
            for (int i = 0; i + 1 < kColumns; ++i)
                for (const auto& [di, dj] : {std::pair{0, 0}, {1, 0}, {0, 1}, {1, 0}, {1, 1}, {0, 1}})
                    corner(i + di, j + dj);
        scene.write(w);
    }
}

std::vector<u32> Draw(gs::SimdPath path, void (*scene)(PathScene&), u64& pixels)
{
    PathScene s(path);
    scene(s);
    pixels = s.pixels();
    return s.memory();
}

// Every path the CPU runs writes the same words as the scalar reference, and counts the same pixels.
TEST(PixelPaths, EveryPathWritesWhatTheScalarLoopsWrite)
{
    for (const auto scene : {&FlatScene, &TexturedScene, &MeshScene}) {
        u64 wantPixels = 0;
        const std::vector<u32> want = Draw(gs::SimdPath::Scalar, scene, wantPixels);
        ASSERT_GT(wantPixels, 200000u);
        for (const gs::SimdPath path : {gs::SimdPath::Avx2}) {
            if (!gs::SimdPathAvailable(path)) continue;
            u64 pixels = 0;
            const std::vector<u32> got = Draw(path, scene, pixels);
            EXPECT_EQ(pixels, wantPixels);
            for (u32 i = 0; i < gs::kMemoryWords; ++i)
                if (got[i] != want[i]) {
                    ADD_FAILURE() << "path " << static_cast<int>(path) << ", word " << std::hex << i << ": " << got[i]
                                  << ", not " << want[i];
                    break;
                }
        }
    }
}

// What two threads drawing one stream must meet for: a texture drawn a moment before, an image sent to
// memory and then used, a copy inside memory, a primitive that reads its own frame, a frame and depth
// buffer that overlap, and one page written through two buffer shapes. Blanks between the steps let
// the split move.
void HazardScene(PathScene& scene)
{
    std::mt19937 random(13);
    constexpr u32 kTarget = 400; // page of a 256 x 256 buffer drawn and then used as a texture
    constexpr u64 kScissor = (PathScene::kWidth - 1) << 16 | u64{PathScene::kHeight - 1} << 48;
    const u64 decal = u64{4} << 14 | u64{8} << 26 | u64{8} << 30 | u64{1} << 34 | u64{1} << 35;
    auto triangles = [&](int count, int extent) {
        Writes w{{gs::PRIM, gs::TRIANGLE | 0x10u | 0x100u | 0x40u}, {gs::RGBAQ, Rgba(0x80, 0x80, 0x80, 0x80)}};
        for (int i = 0; i < 3 * count; ++i) {
            w.push_back({gs::UV, Uv(random() % 4096, random() % 4096)});
            w.push_back({gs::XYZ2, Xyz16(static_cast<int>(random() % static_cast<u32>(extent)),
                                         static_cast<int>(random() % static_cast<u32>(extent)), 70000)});
        }
        scene.write(w);
        scene.blank();
    };
    auto sprites = [&](int count, int size = 900) {
        Writes w{{gs::PRIM, gs::SPRITE | 0x40u}};
        for (int i = 0; i < count; ++i) {
            const int x = static_cast<int>(random() % 8000), y = static_cast<int>(random() % 6000);
            w.push_back({gs::RGBAQ, static_cast<u32>(random()) | u64{0x3F800000} << 32});
            w.push_back({gs::XYZ2, Xyz16(x % 4000 - size, y % 4000 - size, 0)});
            w.push_back({gs::XYZ2, Xyz16(x + size, y + size, 0)});
        }
        scene.write(w);
        scene.blank();
    };
    for (int round = 0; round < 6; ++round) {
        // Draw into the target, then texture the frame from it.
        // Many large sprites, so that one side is still drawing them when the other reads them.
        scene.write({{gs::FRAME_1, kTarget | 4u << 16}, {gs::TEST_1, 0}, {gs::SCISSOR_1, 255u << 16 | u64{255} << 48}});
        sprites(100, 4000);
        scene.write({{gs::FRAME_1, PathScene::kWidth / 64 << 16}, {gs::SCISSOR_1, kScissor}, {gs::TEST_1, 0x30000},
                     {gs::TEX0_1, kTarget * 32 | decal}, {gs::CLAMP_1, 0}});
        triangles(60, 8000);
        // Images into the texture, each followed by triangles that use it: one side may still be drawing
        // those when the other has the next image.
        scene.write({{gs::TEX0_1, PathScene::kTextureBlock | decal}});
        for (int image = 0; image < 3; ++image) {
            const u32 w = 64, h = 48;
            scene.write({{gs::BITBLTBUF, u64{PathScene::kTextureBlock} << 32 | u64{4} << 48},
                         {gs::TRXPOS, u64{random() % 192} << 32 | u64{random() % 200} << 48},
                         {gs::TRXREG, w | u64{h} << 32}, {gs::TRXDIR, 0}});
            std::vector<Qword> data{Tag(w * h / 4, kImage, 0, 0)};
            for (u32 i = 0; i < w * h / 4; ++i)
                data.push_back({random() | u64{random()} << 32, random() | u64{random()} << 32});
            scene.send(data);
            triangles(60, 8000);
        }
        // A copy from the frame's lower rows to its upper ones.
        scene.write({{gs::BITBLTBUF, u64{0} | u64{10} << 16 | u64{0} << 32 | u64{10} << 48},
                     {gs::TRXPOS, u64{random() % 100} | u64{300 + random() % 100} << 16 | u64{random() % 100} << 32 |
                                      u64{random() % 100} << 48},
                     {gs::TRXREG, 200 | u64{150} << 32}, {gs::TRXDIR, 2}});
        triangles(30, 8000);
        // The frame as its own texture, then a depth buffer over the frame.
        scene.write({{gs::TEX0_1, u64{0} | u64{10} << 14 | u64{8} << 26 | u64{8} << 30 | u64{1} << 34 | u64{1} << 35}});
        triangles(20, 4000);
        scene.write({{gs::ZBUF_1, u64{2} | u64{0x30} << 24}, {gs::TEX0_1, PathScene::kTextureBlock | decal}});
        triangles(20, 4000);
        scene.write({{gs::ZBUF_1, PathScene::kZPage | u64{0x30} << 24}});
        // The frame's pages through a narrower shape, inside it and, with the scissor wider than the
        // shape, where a row runs on into the next row of pages.
        scene.write({{gs::FRAME_1, u64{0} | 5u << 16}, {gs::SCISSOR_1, 319u << 16 | u64{511} << 48}});
        sprites(10);
        scene.write({{gs::SCISSOR_1, kScissor}});
        sprites(10);
        scene.write({{gs::FRAME_1, PathScene::kWidth / 64 << 16}});
        sprites(10);
    }
}

// Two threads, each drawing its own rows, write what one thread writes, and meet as often as each other:
// with the thread drawing every row (the console's side runs ahead), none (the thread runs ahead), about
// half, and with the split moving.
TEST(PixelPaths, TwoThreadsWriteWhatOneWrites)
{
    const std::pair<const char*, void (*)(PathScene&)> scenes[] = {
        {"flat", &FlatScene}, {"textured", &TexturedScene}, {"mesh", &MeshScene}, {"hazards", &HazardScene}};
    for (const auto& [name, scene] : scenes) {
        u64 wantPixels = 0;
        const std::vector<u32> want = Draw(PathScene::Best(), scene, wantPixels);
        for (const int split : {0, 4096, 200, -1}) {
            SCOPED_TRACE(std::string(name) + ", split " + std::to_string(split));
            PathScene s(PathScene::Best(), split);
            scene(s);
            EXPECT_EQ(s.pixels(), wantPixels);
            const std::vector<u32> got = s.memory();
            const gs::Gs::BandMeetings met = s.meetings();
            EXPECT_EQ(met.console, met.thread);
            if (scene == &HazardScene) {
                EXPECT_GE(met.console, 6u * 8u);
            }
            for (u32 i = 0; i < gs::kMemoryWords; ++i)
                if (got[i] != want[i]) {
                    ADD_FAILURE() << "word " << std::hex << i << ": " << got[i] << ", not " << want[i];
                    break;
                }
        }
    }
}

} // namespace
} // namespace gs_test
