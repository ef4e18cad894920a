#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "cloth/cloth.h"
#include "cloth/net.h"
#include "tests/support/demo_display.h"

namespace {

using ClothNetBuilders = testing_support::DemoDisplayTest;

void ExpectAt(const ClothParticle& p, float x, float y, float z)
{
    EXPECT_TRUE(p.position.x == x && p.position.y == y && p.position.z == z)
        << "particle " << &p - ParticlePool << " at " << p.position.x << ", " << p.position.y << ", " << p.position.z;
}

template <typename Record>
int Length(const Record* first)
{
    int count = 0;
    for (; first; first = first->next) ++count;
    return count;
}

TEST_F(ClothNetBuilders, TheFlagIsA40By30GridHangingFromItsTopRow)
{
    ClothNet net = {};
    ClothNetBuild(&net);
    EXPECT_EQ(net.lastParticle, 1199u);
    EXPECT_EQ(net.lastSpring, 4659u);
    EXPECT_EQ(Length(net.particles), 1200);
    EXPECT_EQ(Length(net.springs), 4660);
    ExpectAt(ParticlePool[0], 0, 22, 0);
    ExpectAt(ParticlePool[29], 0, 225, 0);
    ExpectAt(ParticlePool[30], 15, 22, 0);
    ExpectAt(ParticlePool[1199], 585, 225, 0);
    for (u32 i = 0; i < 1200; ++i) ASSERT_EQ(ParticlePool[i].flags, i % 30 == 0 ? 0u : CLOTH_MOVABLE) << i;

    // Each particle joins left, right, up, down as it has them: particle 0 right and down, particle 1 right, up
    // and down, particle 30 (spring 88 on) left, right and down; all at rest length.
    const ClothParticle* p = ParticlePool;
    const std::pair<int, const ClothParticle*> seconds[] = {{0, p + 30}, {1, p + 1},  {2, p + 31}, {3, p + 0},
                                                            {4, p + 2},  {88, p + 0}, {89, p + 60}, {90, p + 31}};
    for (const auto& [spring, second] : seconds) EXPECT_EQ(SpringPool[spring].second, second) << spring;
    int asFirst[1200] = {};
    for (const ClothSpring* s = net.springs; s; s = s->next) {
        ++asFirst[s->first - ParticlePool];
        EXPECT_EQ(s->restLength2, s->delta.x != 0 ? 225.0f : 49.0f);
    }
    EXPECT_EQ(asFirst[0], 2);
    EXPECT_EQ(asFirst[1], 3);
    EXPECT_EQ(asFirst[30], 3);
    EXPECT_EQ(asFirst[31], 4);

    // The narrowest mode makes a narrower flag.
    const DisplayInitParams narrow = {1, 0x30, 0};
    PS2Init(&narrow);
    ClothNetBuild(&net);
    EXPECT_EQ(ParticlePool[1199].position.x, 195.0f);
}

TEST_F(ClothNetBuilders, TheSmallNetReplacesTheFlagWithSixArms)
{
    ClothNet net = {};
    ClothNetBuild(&net);
    ClothSmallNetBuild(&net);
    EXPECT_EQ(net.lastParticle, 59u);
    EXPECT_EQ(net.lastSpring, 53u);
    EXPECT_EQ(Length(net.particles), 60);
    EXPECT_EQ(Length(net.springs), 54);
    ExpectAt(ParticlePool[0], 0, 0, 10240);
    ExpectAt(ParticlePool[9], 0, 0, 67840);
    ExpectAt(ParticlePool[10], 0, 0, -10240);
    ExpectAt(ParticlePool[20], 10240, 0, 0);
    ExpectAt(ParticlePool[59], 0, -67840, 0);
    EXPECT_FALSE(std::signbit(ParticlePool[10].position.x));
    EXPECT_FALSE(std::signbit(ParticlePool[59].position.z));

    // Each arm is a chain from its anchor outwards; no spring moves an anchor.
    int index = 0;
    for (const ClothSpring* s = net.springs; s; s = s->next, ++index) {
        EXPECT_EQ(s->first - ParticlePool, index / 9 * 10 + index % 9);
        EXPECT_EQ(s->second, s->first + 1);
        EXPECT_EQ(s->restLength2, 40960000.0f);
    }
    // Nothing of the flag is left in the pools.
    const auto zero = [](const void* from, const void* to) {
        return std::all_of(static_cast<const u8*>(from), static_cast<const u8*>(to), [](u8 b) { return b == 0; });
    };
    EXPECT_TRUE(zero(&ParticlePool[60], std::end(ParticlePool)));
    EXPECT_TRUE(zero(&SpringPool[54], std::end(SpringPool)));
}

} // namespace
