#pragma once

#include "math3d/vector.h"
#include "ps2/types.h"

inline constexpr u32 CLOTH_MOVABLE = 1; // flags bit 0: 0 = pinned

// One mass point of a net.
struct ClothParticle {
    Vector3 position;
    Vector3 velocity; // per frame
    u32 flags;
    ClothParticle* next;
};

// One spring; it measures from `first` and only ever moves `second`.
struct ClothSpring {
    float restLength2;
    float length2;
    Vector3 delta; // second position minus first position
    ClothParticle* first;
    ClothParticle* second;
    ClothSpring* next;
};

// A net: the heads of its particle and spring lists, which run through the pools.
struct ClothNet {
    u32 lastParticle;
    ClothParticle* particles;
    u32 lastSpring;
    ClothSpring* springs;
};

// Room for the flag net, the larger of the two.
inline constexpr u32 CLOTH_PARTICLE_POOL_SIZE = 1200;
inline constexpr u32 CLOTH_SPRING_POOL_SIZE = 4660;

extern ClothParticle ParticlePool[CLOTH_PARTICLE_POOL_SIZE];
extern ClothSpring SpringPool[CLOTH_SPRING_POOL_SIZE];

// The phase of the wind in degrees, 0..511; never reset.
extern u32 WindCounter;

// Build the trigonometric tables the wind reads; the net is not looked at.
void ClothInit(ClothNet* net);
// Run one frame of physics: the particle pass, then the spring pass.
void ClothStep(ClothNet* net);
// Move every particle of a list, blow and pull the movable ones, and clamp the velocities.
void ClothParticlesStep(ClothParticle* first);
// Measure every spring of a list and correct and damp the velocity of its second particle.
void ClothSpringsStep(ClothSpring* first);
// Take a spring's current length as its rest length.
void ClothSpringRest(ClothSpring* spring);
