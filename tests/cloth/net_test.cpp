#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "cloth/cloth.h"
#include "cloth/net.h"
#include "gfx/display.h"
#include "tests/support/recording_console.h"

namespace {

void ExpectAt(const ClothParticle& p, float x, float y, float z)
{
    EXPECT_EQ(p.position.x, x);
    EXPECT_EQ(p.position.y, y);
    EXPECT_EQ(p.position.z, z);
}

template <typename Record>
int Length(const Record* first)
{
    int count = 0;
    for (; first; first = first->next) ++count;
    return count;
}

TEST(ClothNetBuild, HangsA40By30GridFromItsTopRow)
{
    testing_support::RecordingConsole console;
    const DisplayInitParams params = {1, 0x30, 5};
    PS2Init(&params);
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

    // Particle 0 joins right then down; particle 1 right, up, down; all at rest length.
    const ClothParticle* p = ParticlePool;
    const ClothParticle* seconds[] = {p + 30, p + 1, p + 31, p + 0, p + 2};
    for (int i = 0; i < 5; ++i) EXPECT_EQ(SpringPool[i].second, seconds[i]) << i;
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

TEST(ClothSmallNetBuild, ReplacesTheFlagWithSixArms)
{
    testing_support::RecordingConsole console;
    const DisplayInitParams params = {1, 0x30, 5};
    PS2Init(&params);
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
    const auto* particles = reinterpret_cast<const unsigned char*>(&ParticlePool[60]);
    const auto* springs = reinterpret_cast<const unsigned char*>(&SpringPool[54]);
    EXPECT_TRUE(std::all_of(particles, reinterpret_cast<const unsigned char*>(std::end(ParticlePool)),
                            [](unsigned char b) { return b == 0; }));
    EXPECT_TRUE(std::all_of(springs, reinterpret_cast<const unsigned char*>(std::end(SpringPool)),
                            [](unsigned char b) { return b == 0; }));
}

} // namespace
