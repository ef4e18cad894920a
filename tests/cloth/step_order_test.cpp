#include <gtest/gtest.h>

#include <bit>
#include <vector>

#include "cloth/cloth.h"
#include "cloth/net.h"
#include "gfx/display.h"
#include "math3d/trig.h"
#include "tests/support/recording_console.h"

namespace {

float Clamped(float v) { return v > 1.0f ? 1.0f : v < -1.0f ? -1.0f : v; }

// Both passes one f32 operation at a time, in the order of the algorithm.
void StepOneByOne(ClothNet* net)
{
    WindCounter = (WindCounter + 1) & 511;
    u32 n = 1;
    for (ClothParticle* p = net->particles; p; p = p->next, ++n) {
        Vector3& v = p->velocity;
        p->position.x += v.x;
        p->position.y += v.y;
        p->position.z += v.z;
        if (p->flags & 1) {
            v.y += 0.05f;
            const s32 phase = static_cast<s32>(WindCounter + n / 4);
            v.x = v.x - TableCos(static_cast<s32>(static_cast<float>(n) + TableSin(phase) * 150.0f)) / 5.0f;
            v.z = v.z + TableCos(static_cast<s32>(static_cast<float>(n) + TableCos(phase) * 180.0f)) * 0.25f;
        }
        v = {Clamped(v.x), Clamped(v.y), Clamped(v.z)};
    }
    for (ClothSpring* s = net->springs; s; s = s->next) {
        Vector3& d = s->delta;
        d = {s->second->position.x - s->first->position.x, s->second->position.y - s->first->position.y,
             s->second->position.z - s->first->position.z};
        s->length2 = (d.x * d.x + d.y * d.y) + d.z * d.z;
        const float f = (s->length2 - s->restLength2) / (s->length2 * 4.0f);
        if (!(s->second->flags & 1)) continue;
        Vector3& v = s->second->velocity;
        v.x = v.x - d.x * f;
        v.x = v.x - v.x / 40.0f;
        v.y = v.y - d.y * f;
        v.y = v.y - v.y / 40.0f;
        v.z = v.z - d.z * f;
        v.z = v.z - v.z / 40.0f;
    }
}

// Fly the flag for 400 frames, released half way, and keep the bits of every value a step writes.
std::vector<u32> Fly(void (*step)(ClothNet*))
{
    ClothNet net = {};
    ClothNetBuild(&net);
    WindCounter = 500;
    std::vector<u32> bits;
    auto keep = [&](std::initializer_list<float> values) {
        for (float v : values) bits.push_back(std::bit_cast<u32>(v));
    };
    for (int frame = 0; frame < 400; ++frame) {
        step(&net);
        if (frame == 200)
            for (ClothParticle* p = net.particles; p; p = p->next) p->flags = CLOTH_MOVABLE;
        if (frame % 50 != 49) continue;
        for (const ClothParticle& p : ParticlePool)
            keep({p.position.x, p.position.y, p.position.z, p.velocity.x, p.velocity.y, p.velocity.z});
        for (const ClothSpring& s : SpringPool) keep({s.length2, s.delta.x, s.delta.y, s.delta.z});
    }
    return bits;
}

TEST(ClothStep, MatchesTheOperationsOneByOneToTheBit)
{
    testing_support::RecordingConsole console;
    const DisplayInitParams params = {1, 0x30, 5};
    PS2Init(&params);
    TrigTablesInit();
    const std::vector<u32> expected = Fly(StepOneByOne);
    EXPECT_TRUE(Fly(ClothStep) == expected);
}

} // namespace
