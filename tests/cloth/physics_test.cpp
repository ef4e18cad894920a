#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "cloth/cloth.h"
#include "math3d/trig.h"

namespace {

ClothParticle At(float x, float y, float z, u32 flags = CLOTH_MOVABLE)
{
    return {{x, y, z}, {0, 0, 0}, flags, nullptr};
}

// Run one spring from first to second and return the second's velocity.
Vector3 Pull(ClothParticle first, ClothParticle second, float restLength2, ClothSpring* out = nullptr)
{
    ClothSpring spring = {restLength2, 0, {0, 0, 0}, &first, &second, nullptr};
    ClothSpringsStep(&spring);
    if (out) *out = spring;
    EXPECT_EQ(first.velocity.x, 0.0f);
    return second.velocity;
}

// Tables filled through ClothInit and the wind at phase 0.
class ClothPhysics : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::fill(std::begin(CosTable), std::end(CosTable), 0.0f);
        ClothNet net = {};
        ClothInit(&net);
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
    // The length is summed x, then y, then z: 1 + 2^-24 rounds back to 1 before the second 2^-24 comes.
    const float tiny = 1.0f / 4096;
    Pull(At(0, 0, 0), At(1, tiny, tiny, 0), 1, &spring);
    EXPECT_EQ(spring.length2, 1.0f);
}

TEST_F(ClothPhysics, SpringTooShortForAFinitePullLeavesTheParticleAlone)
{
    ClothParticle second = At(3, 3, 3);
    second.velocity = {0.5f, -0.25f, 0.125f};
    for (const float restLength2 : {0.0f, 225.0f}) {
        ClothSpring spring;
        const Vector3 v = Pull(At(3, 3, 3), second, restLength2, &spring);
        EXPECT_EQ(spring.length2, 0.0f);
        EXPECT_TRUE(v.x == 0.5f && v.y == -0.25f && v.z == 0.125f) << restLength2;
    }
    // Length2 of 1e-44 is not 0, but the pull factor overflows.
    const Vector3 v = Pull(At(0, 0, 0), At(1e-22f, 0, 0), 225);
    EXPECT_TRUE(std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z));
}

TEST_F(ClothPhysics, WindPhaseStepsEveryFourParticlesAndTheCounterWraps)
{
    std::vector<ClothParticle> particles(5, At(5, 6, 7));
    for (int i = 0; i < 4; ++i) particles[i].next = &particles[i + 1];
    ClothParticlesStep(particles.data());
    // Particle n blows at phase 1 + n / 4: x by cos(n + sin(phase) x 150) / 5, z by cos(n + cos(phase) x 180) / 4.
    const s32 angles[5] = {3, 4, 5, 9, 10};
    for (int i = 0; i < 5; ++i) EXPECT_EQ(particles[i].velocity.x, -(TableCos(angles[i]) / 5)) << i;
    EXPECT_NEAR(particles[0].velocity.x, -0.19972591f, 1e-7f);
    EXPECT_EQ(particles[0].velocity.z, -0.25f);
    EXPECT_NEAR(particles[4].velocity.z, -0.24939101f, 1e-7f);
    // Gravity adds 0.05; the position moved by the velocity before.
    EXPECT_FLOAT_EQ(particles[0].velocity.y, 0.05f);
    EXPECT_EQ(particles[0].position.x, 5.0f);

    // The counter advances on empty lists too and wraps at 512.
    WindCounter = 510;
    ClothParticlesStep(nullptr);
    ClothParticlesStep(nullptr);
    EXPECT_EQ(WindCounter, 0u);
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
    const Vector3& v = particles[0].velocity;
    EXPECT_TRUE(v.x == 1.0f && v.y == -1.0f && v.z == 1.0f);
    // Gravity alone reaches the clamp after about 20 frames.
    EXPECT_GE(firstAtOne, 20);
    EXPECT_LE(firstAtOne, 21);
}

TEST_F(ClothPhysics, StepMovesTheParticlesBeforeTheSpringsMeasureThem)
{
    ClothParticle first = At(0, 0, 0, 0);
    ClothParticle second = At(16, 0, 0);
    second.velocity = {1, 0, 0};
    first.next = &second;
    ClothSpring spring = {225, 0, {0, 0, 0}, &first, &second, nullptr};
    ClothNet net = {1, &first, 0, &spring};
    ClothStep(&net);
    EXPECT_EQ(spring.delta.x, 17.0f);
}

} // namespace
