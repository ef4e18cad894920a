#pragma once

#include "ps2/types.h"

// Three f32 components of a key.
struct SplineTriple {
    float x;
    float y;
    float z;
};

// One key of a curve: 13 32-bit fields, of which the splines read and write only the two triples.
struct SplineKey {
    u32 head;
    SplineTriple point;  // through which the Catmull-Rom curve passes
    SplineTriple smooth; // the B-spline's control values
    u32 tail[6];
};

static_assert(sizeof(SplineKey) == 13 * 4);

// A point of the plane in whole units.
struct SplinePoint {
    s32 x;
    s32 y;
};

// Write into out's point the Catmull-Rom curve of keys[0..3] at step 0..100 from keys[1] towards keys[2].
void SplineCatmullRom3(const SplineKey* keys, SplineKey* out, u32 step);
// Write into out's smooth triple the cubic B-spline of keys[0..3] at step 0..100.
void SplineBSpline3(const SplineKey* keys, SplineKey* out, u32 step);
// Write into out the Catmull-Rom curve of points[0..3] at step 0..100, truncated to whole units.
void SplineCatmullRom2(const SplinePoint* points, SplinePoint* out, u32 step);
