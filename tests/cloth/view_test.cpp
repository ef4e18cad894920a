#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "cloth/cloth.h"
#include "cloth/net.h"
#include "cloth/view.h"
#include "math3d/trig.h"
#include "tests/support/demo_display.h"

namespace {

float Distance(const Vector3& p) { return std::sqrt(p.x * p.x + p.y * p.y + p.z * p.z); }

// The small net as built, with the view angle put back afterwards.
class ClothSpinStepTest : public testing_support::DemoDisplayTest {
protected:
    void SetUp() override
    {
        DemoDisplayTest::SetUp();
        ClothSmallNetBuild(&net);
        saved = ViewAngle;
    }
    void TearDown() override { ViewAngle = saved; }

    ClothNet net = {};
    float saved = 0;
};

TEST_F(ClothSpinStepTest, NinetyDegreesSendsZToXXToMinusYAndYToMinusZ)
{
    const u32 wind = WindCounter;
    ViewAngle = 90.0f;
    ClothSpinStep(&net);
    const Vector3& plusZ = ParticlePool[0].position;
    const Vector3& plusX = ParticlePool[20].position;
    const Vector3& plusY = ParticlePool[40].position;
    EXPECT_NEAR(plusZ.x, 10240.0f, 0.01f);
    EXPECT_NEAR(plusZ.y, 0.0f, 0.01f);
    EXPECT_NEAR(plusX.y, -10240.0f, 0.01f);
    EXPECT_NEAR(plusX.z, 0.0f, 0.01f);
    EXPECT_NEAR(plusY.z, -10240.0f, 0.01f);
    EXPECT_NEAR(plusY.x, 0.0f, 0.01f);
    // Only anchors turn; the rest of each arm is left for the springs to pull.
    EXPECT_EQ(ParticlePool[1].position.z, 16640.0f);
    EXPECT_LT(ParticlePool[1].velocity.z, 0.0f);
    EXPECT_EQ(WindCounter, wind);

    // A short list turns the anchors it has.
    ClothParticle p[2] = {};
    p[0].position = {0, 0, 100};
    p[0].next = &p[1];
    p[1].position = {0, 0, 200};
    ClothNet small = {1, p, 0, nullptr};
    ClothSpinStep(&small);
    EXPECT_NEAR(p[0].position.x, 100.0f, 1e-3f);
    EXPECT_EQ(p[1].position.z, 200.0f);
}

TEST_F(ClothSpinStepTest, AnchorsKeepTheirDistanceAndVelocitiesAreClampedBeforeTheSprings)
{
    TrigTablesInit();
    for (int frame = 0; frame < 1440; ++frame) {
        ViewAngle = TableCos(frame / 4);
        ClothSpinStep(&net);
        for (int anchor = 0; anchor < 60; anchor += 10)
            ASSERT_NEAR(Distance(ParticlePool[anchor].position), 10240.0f, 1.0f) << frame;
        for (const ClothParticle* p = net.particles; p; p = p->next)
            ASSERT_TRUE(std::isfinite(p->position.x) && std::isfinite(p->velocity.x));
    }

    // The springs leave some velocities beyond 1; the next step's clamp brings every one within -1..1.
    float fastest = 0;
    for (const ClothParticle* p = net.particles; p; p = p->next) fastest = std::max(fastest, std::fabs(p->velocity.x));
    EXPECT_GT(fastest, 1.0f);
    ClothNet loose = net;
    loose.springs = nullptr;
    ClothSpinStep(&loose);
    for (const ClothParticle* p = net.particles; p; p = p->next) {
        const Vector3& v = p->velocity;
        ASSERT_TRUE(std::fabs(v.x) <= 1.0f && std::fabs(v.y) <= 1.0f && std::fabs(v.z) <= 1.0f);
    }
}

} // namespace
