#include <gtest/gtest.h>

#include <vector>

#include "cloth/cloth.h"
#include "cloth/net.h"
#include "cloth/sprites.h"
#include "tests/support/demo_display.h"

namespace {

using testing_support::GifTransfer;
using testing_support::RegisterWrite;
using testing_support::Writes;
using testing_support::Xyz2;

// The small net, built afresh for each test.
class ClothSprites : public testing_support::DemoDisplayTest {
protected:
    void SetUp() override
    {
        DemoDisplayTest::SetUp();
        ClothSmallNetBuild(&net);
    }

    GifTransfer Draw(int centreX, int centreY)
    {
        console.clear();
        ClothSpritesDraw(&net, centreX, centreY);
        return OnlyPacket();
    }

    ClothNet net = {};
};

TEST_F(ClothSprites, EveryParticleOfTheSmallNetIsOneSprite)
{
    const GifTransfer packet = Draw(160, 64);
    EXPECT_EQ(packet.qwc, 244u);
    ASSERT_EQ(packet.writes.size(), 243u);
    const u64 tex0 = (0x3c0000 / 256) | 5ull << 26 | 5ull << 30 | 1ull << 34 | 1ull << 35;
    EXPECT_EQ(Writes(packet.writes.begin(), packet.writes.begin() + 3),
              (Writes{{GS_ALPHA_1, 0x44}, {GS_TEX0_1, tex0}, {GS_PRIM, 0x156}}));
    // Particle 20 at (10240, 0, 0): x / 256 x 2 = 80 right of the centre.
    EXPECT_EQ(Writes(packet.writes.begin() + 3 + 4 * 20, packet.writes.begin() + 3 + 4 * 21),
              (Writes{{GS_UV, 0}, {GS_XYZ2, Xyz2(1264, 1088)}, {GS_UV, 0x200 | 0x200 << 16},
                      {GS_XYZ2, Xyz2(1328, 1120)}}));
    // The last particle, 59 at (0, -67840, 0), is drawn too: 265 lines above the centre.
    EXPECT_EQ(packet.writes[242], (RegisterWrite{GS_XYZ2, Xyz2(1024 + 160 + 64, 1024 + 64 - 265 + 32)}));
}

TEST_F(ClothSprites, TheScaleTruncatesTowardsZeroAndAnEmptyNetSendsTheSetUpAlone)
{
    ParticlePool[0].position = {-67840.0f, -300.0f, 5.0f};
    // -530 + 1024 + 160 = 654; -300 / 256 truncates to -1.
    EXPECT_EQ(Draw(160, 64).writes.at(4), (RegisterWrite{GS_XYZ2, Xyz2(654, 1087)}));
    net.particles = nullptr;
    EXPECT_EQ(Draw(480, 192).writes.size(), 3u);
}

} // namespace
