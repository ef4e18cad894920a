#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "cloth/cloth.h"
#include "math3d/trig.h"

namespace {

ClothParticle At(float x, float y, float z, u32 flags = CLOTH_MOVABLE) { return {{x, y, z}, {0, 0, 0}, flags, nullptr}; }

// Run one spring from first to second and return the second's velocity.
Vector3 Pull(ClothParticle first, ClothParticle second, float restLength2, ClothSpring* out = nullptr)
{
    ClothSpring spring = {restLength2, 0, {0, 0, 0}, &first, &second, nullptr};
    ClothSpringsStep(&spring);
    if (out) *out = spring;
    EXPECT_EQ(first.velocity.x, 0.0f);
    return second.velocity;
}

class ClothPhysics : public ::testing::Test {
protected:
    void SetUp() override
    {
        TrigTablesInit();
        WindCounter = 0;
    }
};

TEST_F(ClothPhysics, SpringPullsOnlyItsSecondEndAndDamps)
{
    ClothSpring spring;
    // Stretched: f = 31 / 1024 pulls by -0.484375, then v - v / 40.
    EXPECT_FLOAT_EQ(Pull(At(0, 0, 0), At(16, 0, 0), 225, &spring).x, -0.47226563f);
    EXPECT_EQ(spring.length2, 256.0f);
    EXPECT_EQ(spring.delta.x, 16.0f);
    // Compressed: pushed away.
    EXPECT_LT(Pull(At(0, 0, 0), At(0, 0, -2), 16).z, 0.0f);
    // At rest: only damped by 39/40.
    ClothParticle moving = At(3, 4, 0);
    moving.velocity = {0.8f, -0.4f, 0.2f};
    const Vector3 damped = Pull(At(0, 0, 0), moving, 25);
    EXPECT_FLOAT_EQ(damped.x, 0.78f);
    EXPECT_FLOAT_EQ(damped.y, -0.39f);
    EXPECT_FLOAT_EQ(damped.z, 0.195f);
    // Pinned: measured, not moved.
    EXPECT_EQ(Pull(At(0, 0, 0), At(10, 0, 0, 0), 1, &spring).x, 0.0f);
    EXPECT_EQ(spring.length2, 100.0f);
}

TEST_F(ClothPhysics, SpringTooShortForAFinitePullLeavesTheParticleAlone)
{
    ClothParticle second = At(3, 3, 3);
    second.velocity = {0.5f, -0.25f, 0.125f};
    for (const float restLength2 : {0.0f, 225.0f}) {
        ClothSpring spring;
        const Vector3 v = Pull(At(3, 3, 3), second, restLength2, &spring);
        EXPECT_EQ(spring.length2, 0.0f);
        EXPECT_EQ(v.x, 0.5f);
        EXPECT_EQ(v.y, -0.25f);
        EXPECT_EQ(v.z, 0.125f);
    }
    // Length2 of 1e-44 is not 0, but the pull factor overflows.
    const Vector3 v = Pull(At(0, 0, 0), At(1e-22f, 0, 0), 225);
    EXPECT_TRUE(std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z));
}

TEST_F(ClothPhysics, WindCounterWrapsAndAdvancesOnEmptyLists)
{
    WindCounter = 510;
    ClothParticlesStep(nullptr);
    ClothParticlesStep(nullptr);
    EXPECT_EQ(WindCounter, 0u);
    ClothParticlesStep(nullptr);
    EXPECT_EQ(WindCounter, 1u);
}

TEST_F(ClothPhysics, WindPhaseStepsEveryFourParticles)
{
    std::vector<ClothParticle> particles(5, At(5, 6, 7));
    for (int i = 0; i < 4; ++i) particles[i].next = &particles[i + 1];
    ClothParticlesStep(particles.data());
    // Particle 1, phase 1: x turns by cos(3) / 5, z by cos(180) / 4; gravity adds 0.05.
    EXPECT_NEAR(particles[0].velocity.x, -0.19972591f, 1e-7f);
    EXPECT_FLOAT_EQ(particles[0].velocity.y, 0.05f);
    EXPECT_EQ(particles[0].velocity.z, -0.25f);
    EXPECT_EQ(particles[0].position.x, 5.0f);
    // Particle 5, phase 2: cos(10) / 5 and cos(184) / 4.
    EXPECT_NEAR(particles[4].velocity.x, -0.19696155f, 1e-7f);
    EXPECT_NEAR(particles[4].velocity.z, -0.24939101f, 1e-7f);
}

TEST_F(ClothPhysics, VelocityMovesUnclampedThenIsClamped)
{
    std::vector<ClothParticle> particles = {At(0, 0, 0, 0), At(0, 0, 0)};
    particles[0].next = &particles[1];
    particles[0].velocity = {3.0f, -3.0f, 1.0f};
    int firstAtOne = 0;
    for (int pass = 1; pass <= 30; ++pass) {
        ClothParticlesStep(particles.data());
        ASSERT_LE(particles[1].velocity.y, 1.0f);
        if (particles[1].velocity.y == 1.0f && firstAtOne == 0) firstAtOne = pass;
    }
    // A pinned particle gets no wind or gravity; it moved by 3 once, then by 1 a frame.
    EXPECT_EQ(particles[0].position.x, 3.0f + 29.0f);
    EXPECT_EQ(particles[0].velocity.x, 1.0f);
    EXPECT_EQ(particles[0].velocity.y, -1.0f);
    EXPECT_EQ(particles[0].velocity.z, 1.0f);
    // Gravity alone reaches the clamp after about 20 frames.
    EXPECT_GE(firstAtOne, 20);
    EXPECT_LE(firstAtOne, 21);
}

TEST_F(ClothPhysics, PinnedParticleNeverMoves)
{
    std::vector<ClothParticle> particles = {At(0, 0, 0, 0), At(10, 0, 0), At(0, 12, 0)};
    particles[0].next = &particles[1];
    particles[1].next = &particles[2];
    auto spring = [&](int a, int b) { return ClothSpring{25, 0, {0, 0, 0}, &particles[a], &particles[b], nullptr}; };
    std::vector<ClothSpring> springs = {spring(0, 1), spring(1, 0), spring(0, 2), spring(2, 0)};
    for (int i = 0; i < 3; ++i) springs[i].next = &springs[i + 1];
    ClothNet net = {2, particles.data(), 3, springs.data()};
    for (int frame = 0; frame < 200; ++frame) ClothStep(&net);
    EXPECT_EQ(particles[0].position.x, 0.0f);
    EXPECT_EQ(particles[0].position.y, 0.0f);
    EXPECT_EQ(particles[0].velocity.y, 0.0f);
    EXPECT_NE(particles[1].position.x, 10.0f);
}

TEST_F(ClothPhysics, InitBuildsTheTablesAndRestTakesTheCurrentLength)
{
    std::fill(std::begin(CosTable), std::end(CosTable), 0.0f);
    ClothNet net = {};
    ClothInit(&net);
    EXPECT_EQ(TableCos(0), 1.0f);

    ClothParticle first = At(1, 2, 3);
    ClothParticle second = At(4, 6, 15);
    ClothSpring spring = {0, 7, {0, 0, 0}, &first, &second, nullptr};
    ClothSpringRest(&spring);
    EXPECT_EQ(spring.restLength2, 169.0f);
    EXPECT_EQ(spring.delta.z, 12.0f);
    EXPECT_EQ(spring.length2, 7.0f);
}

} // namespace
