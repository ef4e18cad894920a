#include <gtest/gtest.h>

#include <limits>
#include <vector>

#include "cloth/cloth.h"
#include "cloth/debug_view.h"
#include "cloth/net.h"
#include "gfx/packet.h"
#include "tests/support/demo_display.h"

namespace {

using testing_support::GifTransfer;
using testing_support::RegisterWrite;
using testing_support::Writes;
using DebugView = testing_support::DemoDisplayTest;

u64 Far(u64 x, u64 y) { return testing_support::Xyz2(x, y, 0xFFFF); }

TEST_F(DebugView, ParticlesAreTruncatedThenDrawnAsTwoByTwoSquares)
{
    ClothParticle p[2] = {};
    p[0].position = {10.9f, -0.5f, 0};
    p[0].next = &p[1];
    p[1].position = {-3.7f, 200.2f, 0};
    DrawParticles(p);
    const GifTransfer list = OnlyPacket();
    EXPECT_EQ(list.qwc, 8u);
    EXPECT_EQ(list.writes, (Writes{{GS_PRIM, 0x46}, {GS_RGBAQ, 0x7F7F7F7F7F}, {GS_XYZ2, Far(1033, 1023)},
                                   {GS_XYZ2, Far(1035, 1025)}, {GS_RGBAQ, 0x7F7F7F7F7F}, {GS_XYZ2, Far(1020, 1223)},
                                   {GS_XYZ2, Far(1022, 1225)}}));
    // An empty list sends the PRIM alone.
    console.clear();
    DrawParticles(nullptr);
    EXPECT_EQ(OnlyPacket().writes, (Writes{{GS_PRIM, 0x46}}));
}

TEST_F(DebugView, SpringsAreRedWhenShortGreenWhenLongGreyAtRest)
{
    ClothParticle a = {}, b = {};
    a.position = {-1030.0f, 10.5f, 0};
    b.position = {20.99f, 30.0f, 0};
    ClothSpring s[4] = {};
    const float lengths[4] = {225, 224, 226, std::numeric_limits<float>::quiet_NaN()};
    for (int i = 0; i < 4; ++i) s[i] = {225, lengths[i], {}, &a, &b, i < 3 ? &s[i + 1] : nullptr};
    DrawSprings(s);
    const auto& w = OnlyPacket().writes;
    ASSERT_EQ(w.size(), 13u);
    const u64 colours[4] = {0x7F7F7F7F7F, 0x7F7F00007F, 0x7F7F007F00, 0x7F7F7F7F7F};
    for (int i = 0; i < 4; ++i) EXPECT_EQ(w[1 + 3 * i], (RegisterWrite{GS_RGBAQ, colours[i]})) << i;
    // A sum left of GS x 0 becomes 0.
    EXPECT_EQ(w[2], (RegisterWrite{GS_XYZ2, Far(0, 1034)}));
    EXPECT_EQ(w[3], (RegisterWrite{GS_XYZ2, Far(1044, 1054)}));

    console.clear();
    DrawSprings(nullptr);
    EXPECT_EQ(OnlyPacket().writes, (Writes{{GS_PRIM, 1}}));
}

TEST_F(DebugView, TheFlagNetFitsOnePacketPerList)
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

TEST_F(DebugView, ALongListGoesOnInFurtherPacketsInOrder)
{
    const u32 count = 6000;
    std::vector<ClothParticle> particles(count);
    std::vector<ClothSpring> springs(count);
    for (u32 i = 0; i < count; ++i) {
        particles[i].position = {static_cast<float>(i % 3000), static_cast<float>(i / 3000), 0};
        particles[i].next = i + 1 < count ? &particles[i + 1] : nullptr;
        springs[i] = {1, 1, {}, &particles[i], &particles[(i + 1) % count], i + 1 < count ? &springs[i + 1] : nullptr};
    }
    // Particles' squares start a pixel up and left of the point; springs' lines start on it.
    for (u64 prim : {0x46, 1}) {
        SCOPED_TRACE(prim);
        console.clear();
        prim == 1 ? DrawSprings(springs.data()) : DrawParticles(particles.data());
        const u32 corner = prim == 1 ? 0 : 1;
        Writes items;
        const auto lists = Bracketed();
        EXPECT_EQ(lists.size(), 2u);
        for (const GifTransfer& list : lists) {
            EXPECT_LE(list.qwc, PACKET_WORDS / 2);
            EXPECT_EQ(list.writes.at(0), (RegisterWrite{GS_PRIM, prim}));
            items.insert(items.end(), list.writes.begin() + 1, list.writes.end());
        }
        ASSERT_EQ(items.size(), 3 * count);
        for (u32 i = 0; i < count; ++i)
            ASSERT_EQ(items[3 * i + 1].value, Far(1024 + i % 3000 - corner, 1024 + i / 3000 - corner)) << i;
    }
}

} // namespace
