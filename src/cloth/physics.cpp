#include <algorithm>
#include <cmath>

#include "cloth/cloth.h"
#include "math3d/trig.h"

u32 WindCounter;

static constexpr float GRAVITY = 0.05f;
static constexpr float WIND_X_SWING = 150.0f;
static constexpr float WIND_Z_SWING = 180.0f;
static constexpr float WIND_X_DIVISOR = 5.0f;
static constexpr float WIND_Z_SCALE = 0.25f;
static constexpr float DAMPING_DIVISOR = 40.0f;

void ClothInit(ClothNet*) { TrigTablesInit(); }

void ClothStep(ClothNet* net)
{
    ClothParticlesStep(net->particles);
    ClothSpringsStep(net->springs);
}

// Hold each velocity component within -1..1 unit per frame.
static Vector3 Clamp(Vector3 v)
{
    v.x = std::max(v.x, -1.0f);
    v.y = std::max(v.y, -1.0f);
    v.z = std::max(v.z, -1.0f);
    v.pad = std::max(v.pad, -1.0f);
    v.x = std::min(v.x, 1.0f);
    v.y = std::min(v.y, 1.0f);
    v.z = std::min(v.z, 1.0f);
    v.pad = std::min(v.pad, 1.0f);
    return v;
}

void ClothParticlesStep(ClothParticle* first)
{
    WindCounter = (WindCounter + 1) & 511;
    // The wind's phase moves a degree every four particles along the list.
    s32 phase = -1;
    float phaseSin = 0.0f;
    float phaseCos = 0.0f;
    u32 n = 1;
    for (ClothParticle* p = first; p; p = p->next, ++n) {
        // The spring pass's velocity moves the particle before it is clamped.
        Vector3 v = p->velocity;
        p->position = VectorAdd(p->position, v);
        if (p->flags & CLOTH_MOVABLE) {
            if (phase != static_cast<s32>(WindCounter + n / 4)) {
                phase = static_cast<s32>(WindCounter + n / 4);
                phaseSin = TableSin(phase);
                phaseCos = TableCos(phase);
            }
            const float along = static_cast<float>(n);
            const s32 angleX = static_cast<s32>(along + phaseSin * WIND_X_SWING);
            const s32 angleZ = static_cast<s32>(along + phaseCos * WIND_Z_SWING);
            // Subtracting the x wind is adding its negation, so gravity and wind add as one vector.
            const Vector3 push = {-(TableCos(angleX) / WIND_X_DIVISOR), GRAVITY, TableCos(angleZ) * WIND_Z_SCALE};
            v = VectorAdd(v, push);
        }
        p->velocity = Clamp(v);
    }
}

void ClothSpringsStep(ClothSpring* first)
{
    for (ClothSpring* s = first; s; s = s->next) {
        ClothParticle* second = s->second;
        const Vector3 delta = VectorSub(second->position, s->first->position);
        s->delta = delta;
        const float length2 = VectorLength2(delta);
        s->length2 = length2;
        const float f = (length2 - s->restLength2) / (length2 * 4.0f);
        // A spring too short to give a finite pull, such as one of zero length, leaves the particle alone.
        if (!(second->flags & CLOTH_MOVABLE) || !std::isfinite(f)) continue;
        const Vector3 pulled = VectorSub(second->velocity, VectorScale(delta, f));
        second->velocity = VectorSub(pulled, VectorDivide(pulled, DAMPING_DIVISOR));
    }
}

void ClothSpringRest(ClothSpring* spring)
{
    spring->delta = VectorSub(spring->second->position, spring->first->position);
    spring->restLength2 = VectorLength2(spring->delta);
}
