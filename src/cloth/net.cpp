#include "cloth/net.h"

#include <cstring>

#include "gfx/display.h"

ClothParticle ParticlePool[CLOTH_PARTICLE_POOL_SIZE];
ClothSpring SpringPool[CLOTH_SPRING_POOL_SIZE];

static constexpr u32 FLAG_COLUMNS = 40;
static constexpr u32 FLAG_ROWS = 30;
static constexpr u32 ARMS = 6;
static constexpr u32 ARM_PARTICLES = 10;
static constexpr u32 ARM_START = 10240;
static constexpr u32 ARM_SPACING = 6400;

// Unit vectors of the small net's arms: +Z, -Z, +X, -X, +Y, -Y.
static const Vector3 ArmDirections[ARMS] = {
    {0, 0, 1}, {0, 0, -1}, {1, 0, 0}, {-1, 0, 0}, {0, 1, 0}, {0, -1, 0},
};

// Zero every byte of both pools, padding included, so no trace of the previous net is left.
static void ClearPools()
{
    std::memset(static_cast<void*>(ParticlePool), 0, sizeof ParticlePool);
    std::memset(static_cast<void*>(SpringPool), 0, sizeof SpringPool);
}

// Chain the first count particles of the pool into a list in pool order.
static void LinkParticles(u32 count)
{
    for (u32 i = 0; i + 1 < count; ++i) ParticlePool[i].next = &ParticlePool[i + 1];
}

// Fill the next free spring record from first to second at its rest length; returns the new count.
static u32 AddSpring(u32 count, ClothParticle* first, ClothParticle* second)
{
    ClothSpring& spring = SpringPool[count];
    spring.first = first;
    spring.second = second;
    ClothSpringRest(&spring);
    if (count > 0) SpringPool[count - 1].next = &spring;
    return count + 1;
}

static void Finish(ClothNet* net, u32 particles, u32 springs)
{
    net->lastParticle = particles - 1;
    net->particles = ParticlePool;
    net->lastSpring = springs - 1;
    net->springs = SpringPool;
}

void ClothNetBuild(ClothNet* net)
{
    ClearPools();
    const u32 sx = (PS2GetWidth() - FLAG_COLUMNS) / FLAG_COLUMNS;
    const u32 sy = (PS2GetHeight() - FLAG_ROWS) / FLAG_ROWS;
    for (u32 i = 0; i < FLAG_COLUMNS; ++i) {
        for (u32 j = 0; j < FLAG_ROWS; ++j) {
            ClothParticle& p = ParticlePool[i * FLAG_ROWS + j];
            p.position = {static_cast<float>(i * sx), static_cast<float>(sy + j * sy + 15), 0.0f};
            p.flags = CLOTH_MOVABLE;
        }
    }
    LinkParticles(FLAG_COLUMNS * FLAG_ROWS);

    u32 springs = 0;
    for (u32 i = 0; i < FLAG_COLUMNS; ++i) {
        for (u32 j = 0; j < FLAG_ROWS; ++j) {
            ClothParticle* p = &ParticlePool[i * FLAG_ROWS + j];
            if (j == 0) p->flags = 0;
            if (i != 0) springs = AddSpring(springs, p, p - FLAG_ROWS);
            if (i != FLAG_COLUMNS - 1) springs = AddSpring(springs, p, p + FLAG_ROWS);
            if (j != 0) springs = AddSpring(springs, p, p - 1);
            if (j != FLAG_ROWS - 1) springs = AddSpring(springs, p, p + 1);
        }
    }
    Finish(net, FLAG_COLUMNS * FLAG_ROWS, springs);
}

void ClothSmallNetBuild(ClothNet* net)
{
    ClearPools();
    for (u32 r = 0; r < ARMS; ++r) {
        for (u32 c = 0; c < ARM_PARTICLES; ++c) {
            const float d = static_cast<float>(ARM_SPACING * c + ARM_START);
            const Vector3& direction = ArmDirections[r];
            ClothParticle& p = ParticlePool[r * ARM_PARTICLES + c];
            p.position = {d * direction.x, d * direction.y, d * direction.z};
            p.flags = CLOTH_MOVABLE;
        }
    }
    LinkParticles(ARMS * ARM_PARTICLES);

    u32 springs = 0;
    for (u32 r = 0; r < ARMS; ++r) {
        for (u32 c = 0; c + 1 < ARM_PARTICLES; ++c) {
            ClothParticle* p = &ParticlePool[r * ARM_PARTICLES + c];
            springs = AddSpring(springs, p, p + 1);
        }
    }
    Finish(net, ARMS * ARM_PARTICLES, springs);
}
