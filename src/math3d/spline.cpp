#include "math3d/spline.h"

#include <cstddef>

#include "math3d/convert.h"

static_assert(offsetof(SplineKey, point) == 4 && offsetof(SplineKey, smooth) == 16);

// 1/256, so that every division by 256 is a multiplication.
static constexpr float BYTE_SCALE = 0.00390625f;
// The B-spline's quadratic and linear weights; 127, one short of a half of 256.
static constexpr float HALF_WEIGHT = 127.0f;

// Powers of the curve parameter at a step of 0..100.
struct Powers {
    float t;
    float t2;
    float t3;
};

// Return t, t² and t³ for a step.
static Powers StepPowers(u32 step)
{
    const float t = static_cast<float>(step) / 100.0f;
    const float t2 = t * t;
    return {t, t2, t2 * t};
}

// Return the Catmull-Rom curve of four values, halved in double precision.
static float CatmullRom(float p0, float p1, float p2, float p3, const Powers& p)
{
    const float q = ((2.0f * p1 + (p2 - p0) * p.t) + (((2.0f * p0 - 5.0f * p1) + 4.0f * p2) - p3) * p.t2) +
                    (((-p0 + 3.0f * p1) - 3.0f * p2) + p3) * p.t3;
    return static_cast<float>(static_cast<double>(q) * 0.5);
}

// Return the B-spline of four values at s / 256.
static float BSpline(float p0, float p1, float p2, float p3, float s)
{
    const float a = (((-p0 + 3.0f * (p1 - p2)) + p3) * 256.0f) / 6.0f;
    const float b = ((p0 - 2.0f * p1) + p2) * HALF_WEIGHT;
    const float c = (p2 - p0) * HALF_WEIGHT;
    const float d = (((p0 + 4.0f * p1) + p2) * 256.0f) / 6.0f;
    return ((((a * s) * BYTE_SCALE + b) * s * BYTE_SCALE + c) * s * BYTE_SCALE + d) * BYTE_SCALE;
}

void SplineCatmullRom3(const SplineKey* keys, SplineKey* out, u32 step)
{
    const Powers p = StepPowers(step);
    const SplineTriple& k0 = keys[0].point;
    const SplineTriple& k1 = keys[1].point;
    const SplineTriple& k2 = keys[2].point;
    const SplineTriple& k3 = keys[3].point;
    out->point = {CatmullRom(k0.x, k1.x, k2.x, k3.x, p), CatmullRom(k0.y, k1.y, k2.y, k3.y, p),
                  CatmullRom(k0.z, k1.z, k2.z, k3.z, p)};
}

void SplineBSpline3(const SplineKey* keys, SplineKey* out, u32 step)
{
    // Whole steps of 1/256, rounded down: 253 at step 99.
    const float s = static_cast<float>((step * 256u) / 100u);
    const SplineTriple& k0 = keys[0].smooth;
    const SplineTriple& k1 = keys[1].smooth;
    const SplineTriple& k2 = keys[2].smooth;
    const SplineTriple& k3 = keys[3].smooth;
    out->smooth = {BSpline(k0.x, k1.x, k2.x, k3.x, s), BSpline(k0.y, k1.y, k2.y, k3.y, s),
                   BSpline(k0.z, k1.z, k2.z, k3.z, s)};
}

void SplineCatmullRom2(const SplinePoint* points, SplinePoint* out, u32 step)
{
    const Powers p = StepPowers(step);
    const auto f = [](s32 v) { return static_cast<float>(v); };
    const float x = CatmullRom(f(points[0].x), f(points[1].x), f(points[2].x), f(points[3].x), p);
    const float y = CatmullRom(f(points[0].y), f(points[1].y), f(points[2].y), f(points[3].y), p);
    *out = {FloatToInt(x), FloatToInt(y)};
}
