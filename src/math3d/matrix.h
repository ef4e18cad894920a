#pragma once

// Conventions: a Matrix holds 16 f32 row by row, element (r, c) at r x 4 + c. Points are column vectors
// (x, y, z, 1), so row r gives output coordinate r and the translation sits in column 3. Matrix routines
// take angles in radians; the trigonometric tables take whole degrees.

#include "math3d/vector.h"

struct alignas(16) Matrix {
    float m[16];
};

// A row vector with all four components, as MatrixApplyRow writes it.
struct alignas(16) Vector4 {
    float x;
    float y;
    float z;
    float w;
};

// Make m the rotation about X by angle radians.
void MatrixRotX(Matrix* m, float angle);
// Make m the rotation about Y by angle radians.
void MatrixRotY(Matrix* m, float angle);
// Make m the rotation about Z by angle radians.
void MatrixRotZ(Matrix* m, float angle);
// Copy src into dst.
void MatrixCopy(const Matrix* src, Matrix* dst);
// Multiply a by b in place, a as an affine matrix whose column 3 is kept, b with its translation in row 3.
void MatrixMul(Matrix* a, const Matrix* b);
// Transform a point as a column vector; out may be in.
void MatrixApply(Vector3* out, const Vector3* in, const Matrix* m);
// Transform a point as a row vector, with the translation in row 3.
void MatrixApplyRow(Vector4* out, const Vector3* in, const Matrix* m);
// Add a translation to column 3.
void MatrixTranslate(Matrix* m, float tx, float ty, float tz);
// Multiply the first three diagonal elements.
void MatrixScale(Matrix* m, float sx, float sy, float sz);
// Print the matrix, in hundredths, on the first call and every 300th after it.
void MatrixDump(const Matrix* m);
