#pragma once

// Conventions of math3d: matrices are stored row by row; points are column vectors, so the translation
// sits in column 3; matrix routines take angles in radians, the trigonometric tables whole degrees.

// A point or direction in single precision. The padding fills the quadword so that a whole vector loads,
// stores and computes in one step; it stays 0, and the helpers below compute it like the other lanes.
struct alignas(16) Vector3 {
    float x;
    float y;
    float z;
    float pad = 0.0f;
};

// Return a + b, component by component.
inline Vector3 VectorAdd(const Vector3& a, const Vector3& b)
{
    return {a.x + b.x, a.y + b.y, a.z + b.z, a.pad + b.pad};
}

// Return a - b, component by component.
inline Vector3 VectorSub(const Vector3& a, const Vector3& b)
{
    return {a.x - b.x, a.y - b.y, a.z - b.z, a.pad - b.pad};
}

// Return v x s.
inline Vector3 VectorScale(const Vector3& v, float s) { return {v.x * s, v.y * s, v.z * s, v.pad * s}; }

// Return v / s, a true division of each component.
inline Vector3 VectorDivide(const Vector3& v, float s) { return {v.x / s, v.y / s, v.z / s, v.pad / s}; }

// Return the squared length, summed as (x² + y²) + z².
inline float VectorLength2(const Vector3& v) { return (v.x * v.x + v.y * v.y) + v.z * v.z; }
