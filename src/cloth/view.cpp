#include "cloth/view.h"

#include <algorithm>

#include "math3d/matrix.h"

float ViewAngle = 1.0f;

static constexpr float PI_F = 3.14159274f;
static constexpr u32 ARM_PARTICLES = 10;
static constexpr u32 ANCHORS = 6;

// Return the radians of a turn of 360 - degrees.
static float Inverse(float degrees) { return ((360.0f - degrees) * PI_F) / 180.0f; }

void ClothSpinStep(ClothNet* net)
{
    const float a = ViewAngle;
    Matrix rx;
    Matrix ry;
    Matrix rz;
    Matrix m;
    MatrixRotX(&rx, Inverse(a + a));
    MatrixRotY(&ry, Inverse(a));
    MatrixRotZ(&rz, Inverse(a));
    MatrixCopy(&rx, &m);
    MatrixMul(&m, &ry);
    MatrixMul(&m, &rz);

    // The anchors are the first particle of each arm, found by their place in the list.
    u32 index = 0;
    for (ClothParticle* p = net->particles; p && index < ANCHORS * ARM_PARTICLES; p = p->next, ++index) {
        if (index % ARM_PARTICLES != 0) continue;
        const Vector3 point = p->position;
        MatrixApply(&p->position, &point, &m);
    }

    for (ClothParticle* p = net->particles; p; p = p->next) {
        p->position = VectorAdd(p->position, p->velocity);
        Vector3& v = p->velocity;
        v.x = std::clamp(v.x, -1.0f, 1.0f);
        v.y = std::clamp(v.y, -1.0f, 1.0f);
        v.z = std::clamp(v.z, -1.0f, 1.0f);
    }
    ClothSpringsStep(net->springs);
}
