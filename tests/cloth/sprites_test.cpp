#include <gtest/gtest.h>

#include <vector>

#include "cloth/cloth.h"
#include "cloth/net.h"
#include "cloth/sprites.h"
#include "gfx/display.h"
#include "gfx/gs.h"
#include "tests/support/recording_console.h"

namespace {

using testing_support::GifTransfer;
using testing_support::RegisterWrite;

constexpr DisplayInitParams kDemoParams = {1, 0x30, 5};

u64 Xyz2(u32 x, u32 y) { return (y * 16) << 16 | x * 16; }

class ClothSpritesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        PS2Init(&kDemoParams);
        ClothSmallNetBuild(&net);
        console.clear();
    }

    // The sprite packet, after checking the depth switches around it.
    GifTransfer Draw(int centreX, int centreY)
    {
        console.clear();
        ClothSpritesDraw(&net, centreX, centreY);
        const auto transfers = console.transfers();
        EXPECT_EQ(transfers.size(), 3u);
        if (transfers.size() != 3) return {};
        EXPECT_EQ(transfers[0].writes, (std::vector<RegisterWrite>{{GS_TEST_1, 0x30000}}));
        EXPECT_EQ(transfers[2].writes, (std::vector<RegisterWrite>{{GS_ZBUF_1, 0x30000000}, {GS_TEST_1, 0x70000}}));
        return transfers[1];
    }

    testing_support::RecordingConsole console;
    ClothNet net = {};
};

TEST_F(ClothSpritesTest, EveryParticleOfTheSmallNetIsOneSprite)
{
    const GifTransfer packet = Draw(160, 64);
    EXPECT_EQ(packet.qwc, 244u);
    EXPECT_EQ(packet.tags.at(0).lo, PS2GifTagPacked(243));
    const u64 tex0 = (0x3c0000 / 256) | 5ull << 26 | 5ull << 30 | 1ull << 34 | 1ull << 35;
    ASSERT_EQ(packet.writes.size(), 243u);
    EXPECT_EQ(packet.writes[0], (RegisterWrite{GS_ALPHA_1, 0x44}));
    EXPECT_EQ(packet.writes[1], (RegisterWrite{GS_TEX0_1, tex0}));
    EXPECT_EQ(packet.writes[2], (RegisterWrite{GS_PRIM, 0x156}));

    // Particle 20 at (10240, 0, 0): x / 256 x 2 = 80 right of the centre.
    const std::vector<RegisterWrite> particle20 = {
        {GS_UV, 0}, {GS_XYZ2, Xyz2(1264, 1088)}, {GS_UV, 0x200 | 0x200 << 16}, {GS_XYZ2, Xyz2(1328, 1120)}};
    EXPECT_EQ(std::vector<RegisterWrite>(packet.writes.begin() + 3 + 4 * 20, packet.writes.begin() + 3 + 4 * 21),
              particle20);
    // The last particle, 59 at (0, -67840, 0), is drawn too: 265 lines above the centre.
    EXPECT_EQ(packet.writes[242], (RegisterWrite{GS_XYZ2, Xyz2(1024 + 160 + 64, 1024 + 64 - 265 + 32)}));
}

TEST_F(ClothSpritesTest, TheScaleTruncatesTowardsZero)
{
    ParticlePool[0].position = {-67840.0f, -300.0f, 5.0f};
    const GifTransfer packet = Draw(160, 64);
    // -530 + 1024 + 160 = 654; -300 / 256 truncates to -1.
    EXPECT_EQ(packet.writes.at(4), (RegisterWrite{GS_XYZ2, Xyz2(654, 1087)}));
}

TEST_F(ClothSpritesTest, AnEmptyNetSendsTheSetUpAlone)
{
    net.particles = nullptr;
    const GifTransfer packet = Draw(480, 192);
    EXPECT_EQ(packet.qwc, 4u);
    EXPECT_EQ(packet.writes.size(), 3u);
}

} // namespace
