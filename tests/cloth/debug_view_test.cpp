#include <gtest/gtest.h>

#include <limits>
#include <vector>

#include "cloth/cloth.h"
#include "cloth/debug_view.h"
#include "cloth/net.h"
#include "gfx/display.h"
#include "gfx/gs.h"
#include "gfx/packet.h"
#include "tests/support/recording_console.h"

namespace {

using testing_support::GifTransfer;
using testing_support::RegisterWrite;

constexpr DisplayInitParams kDemoParams = {1, 0x30, 5};
constexpr u64 kFar = 0xFFFFull << 32;

u64 Xyz2(u32 x, u32 y) { return kFar | (y * 16) << 16 | x * 16; }

class DebugViewTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        PS2Init(&kDemoParams);
        console.clear();
    }

    // The list packets between the depth switches.
    std::vector<GifTransfer> Lists()
    {
        auto transfers = console.transfers();
        EXPECT_GE(transfers.size(), 3u);
        if (transfers.size() < 3) return {};
        EXPECT_EQ(transfers.front().writes, (std::vector<RegisterWrite>{{GS_TEST_1, 0x30000}}));
        EXPECT_EQ(transfers.back().writes.size(), 2u);
        return {transfers.begin() + 1, transfers.end() - 1};
    }

    testing_support::RecordingConsole console;
};

TEST_F(DebugViewTest, EmptyListsSendThePrimAlone)
{
    DrawParticles(nullptr);
    auto lists = Lists();
    ASSERT_EQ(lists.size(), 1u);
    EXPECT_EQ(lists[0].qwc, 2u);
    EXPECT_EQ(lists[0].writes, (std::vector<RegisterWrite>{{GS_PRIM, 0x46}}));

    console.clear();
    DrawSprings(nullptr);
    lists = Lists();
    ASSERT_EQ(lists.size(), 1u);
    EXPECT_EQ(lists[0].writes, (std::vector<RegisterWrite>{{GS_PRIM, 1}}));
}

TEST_F(DebugViewTest, ParticlesAreTruncatedThenDrawnAsTwoByTwoSquares)
{
    ClothParticle p[2] = {};
    p[0].position = {10.9f, -0.5f, 0};
    p[0].next = &p[1];
    p[1].position = {-3.7f, 200.2f, 0};
    DrawParticles(p);
    const auto lists = Lists();
    ASSERT_EQ(lists.size(), 1u);
    EXPECT_EQ(lists[0].qwc, 8u);
    EXPECT_EQ(lists[0].writes, (std::vector<RegisterWrite>{{GS_PRIM, 0x46},
                                                           {GS_RGBAQ, 0x7F7F7F7F7F},
                                                           {GS_XYZ2, Xyz2(1033, 1023)},
                                                           {GS_XYZ2, Xyz2(1035, 1025)},
                                                           {GS_RGBAQ, 0x7F7F7F7F7F},
                                                           {GS_XYZ2, Xyz2(1020, 1223)},
                                                           {GS_XYZ2, Xyz2(1022, 1225)}}));
}

TEST_F(DebugViewTest, SpringsAreRedWhenShortGreenWhenLongGreyAtRest)
{
    ClothParticle a = {}, b = {};
    a.position = {-1030.0f, 10.5f, 0};
    b.position = {20.99f, 30.0f, 0};
    ClothSpring s[4] = {};
    const float lengths[4] = {225, 224, 226, std::numeric_limits<float>::quiet_NaN()};
    for (int i = 0; i < 4; ++i) {
        s[i] = {225, lengths[i], {}, &a, &b, i < 3 ? &s[i + 1] : nullptr};
    }
    DrawSprings(s);
    const auto lists = Lists();
    ASSERT_EQ(lists.size(), 1u);
    const auto& w = lists[0].writes;
    ASSERT_EQ(w.size(), 13u);
    EXPECT_EQ(w[1], (RegisterWrite{GS_RGBAQ, 0x7F7F7F7F7F}));
    EXPECT_EQ(w[4], (RegisterWrite{GS_RGBAQ, 0x7F7F00007F}));
    EXPECT_EQ(w[7], (RegisterWrite{GS_RGBAQ, 0x7F7F007F00}));
    EXPECT_EQ(w[10], (RegisterWrite{GS_RGBAQ, 0x7F7F7F7F7F}));
    // A sum left of GS x 0 becomes 0.
    EXPECT_EQ(w[2], (RegisterWrite{GS_XYZ2, Xyz2(0, 1034)}));
    EXPECT_EQ(w[3], (RegisterWrite{GS_XYZ2, Xyz2(1044, 1054)}));
}

TEST_F(DebugViewTest, TheFlagNetFitsOnePacketPerList)
{
    ClothNet net = {};
    ClothNetBuild(&net);
    console.clear();
    ClothDraw(&net);
    const auto transfers = console.transfers();
    ASSERT_EQ(transfers.size(), 6u);
    EXPECT_EQ(transfers[1].qwc, 2 + 3 * 1200u);
    EXPECT_EQ(transfers[4].qwc, 2 + 3 * 4660u);
}

TEST_F(DebugViewTest, ALongListGoesOnInFurtherPacketsInOrder)
{
    const u32 count = 6000;
    std::vector<ClothParticle> particles(count);
    std::vector<ClothSpring> springs(count);
    for (u32 i = 0; i < count; ++i) {
        particles[i].position = {static_cast<float>(i % 3000), static_cast<float>(i / 3000), 0};
        particles[i].next = i + 1 < count ? &particles[i + 1] : nullptr;
        springs[i] = {1, 1, {}, &particles[i], &particles[(i + 1) % count], i + 1 < count ? &springs[i + 1] : nullptr};
    }

    DrawParticles(particles.data());
    std::vector<RegisterWrite> items;
    for (const GifTransfer& list : Lists()) {
        EXPECT_LE(list.qwc, PACKET_WORDS / 2);
        EXPECT_EQ(list.writes.at(0), (RegisterWrite{GS_PRIM, 0x46}));
        items.insert(items.end(), list.writes.begin() + 1, list.writes.end());
    }
    ASSERT_EQ(items.size(), 3 * count);
    for (u32 i = 0; i < count; ++i)
        ASSERT_EQ(items[3 * i + 1].value, Xyz2(1024 + i % 3000 - 1, 1024 + i / 3000 - 1)) << i;

    console.clear();
    DrawSprings(springs.data());
    items.clear();
    const auto lists = Lists();
    EXPECT_EQ(lists.size(), 2u);
    for (const GifTransfer& list : lists) {
        EXPECT_EQ(list.writes.at(0), (RegisterWrite{GS_PRIM, 1}));
        items.insert(items.end(), list.writes.begin() + 1, list.writes.end());
    }
    ASSERT_EQ(items.size(), 3 * count);
    for (u32 i = 0; i < count; ++i)
        ASSERT_EQ(items[3 * i + 1].value, Xyz2(1024 + i % 3000, 1024 + i / 3000)) << i;
}

} // namespace
