#include "math3d/matrix.h"

#include <cmath>
#include <cstdio>

#include "math3d/convert.h"

static constexpr int DUMP_PERIOD = 300;

static int DumpCalls = DUMP_PERIOD;

// Return the element of row r, column c.
static float& At(Matrix* m, int r, int c) { return m->m[r * 4 + c]; }
static float At(const Matrix* m, int r, int c) { return m->m[r * 4 + c]; }

// Fill m from its rows.
static void SetRows(Matrix* m, const float (&rows)[16])
{
    for (int i = 0; i < 16; ++i) m->m[i] = rows[i];
}

void MatrixRotX(Matrix* m, float angle)
{
    const float c = static_cast<float>(std::cos(static_cast<double>(angle)));
    const float s = static_cast<float>(std::sin(static_cast<double>(angle)));
    SetRows(m, {1, 0, 0, 0, 0, c, s, 0, 0, -s, c, 0, 0, 0, 0, 1});
}

void MatrixRotY(Matrix* m, float angle)
{
    const float c = static_cast<float>(std::cos(static_cast<double>(angle)));
    const float s = static_cast<float>(std::sin(static_cast<double>(angle)));
    SetRows(m, {c, 0, -s, 0, 0, 1, 0, 0, s, 0, c, 0, 0, 0, 0, 1});
}

void MatrixRotZ(Matrix* m, float angle)
{
    const float c = static_cast<float>(std::cos(static_cast<double>(angle)));
    const float s = static_cast<float>(std::sin(static_cast<double>(angle)));
    SetRows(m, {c, s, 0, 0, -s, c, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1});
}

void MatrixCopy(const Matrix* src, Matrix* dst) { *dst = *src; }

void MatrixMul(Matrix* a, const Matrix* b)
{
    const Matrix t = *a;
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 3; ++c) {
            float sum = (At(&t, r, 0) * At(b, 0, c) + At(&t, r, 1) * At(b, 1, c)) + At(&t, r, 2) * At(b, 2, c);
            if (r == 3) sum += At(b, 3, c);
            At(a, r, c) = sum;
        }
    }
}

void MatrixApply(Vector3* out, const Vector3* in, const Matrix* m)
{
    const float x = in->x;
    const float y = in->y;
    const float z = in->z;
    out->x = ((x * At(m, 0, 0) + y * At(m, 0, 1)) + z * At(m, 0, 2)) + At(m, 0, 3);
    out->y = ((x * At(m, 1, 0) + y * At(m, 1, 1)) + z * At(m, 1, 2)) + At(m, 1, 3);
    out->z = ((x * At(m, 2, 0) + y * At(m, 2, 1)) + z * At(m, 2, 2)) + At(m, 2, 3);
}

void MatrixApplyRow(Vector4* out, const Vector3* in, const Matrix* m)
{
    float row[4];
    for (int c = 0; c < 4; ++c)
        row[c] = ((in->x * At(m, 0, c) + in->y * At(m, 1, c)) + in->z * At(m, 2, c)) + At(m, 3, c);
    *out = {row[0], row[1], row[2], row[3]};
}

void MatrixTranslate(Matrix* m, float tx, float ty, float tz)
{
    At(m, 0, 3) += tx;
    At(m, 1, 3) += ty;
    At(m, 2, 3) += tz;
}

void MatrixScale(Matrix* m, float sx, float sy, float sz)
{
    At(m, 0, 0) *= sx;
    At(m, 1, 1) *= sy;
    At(m, 2, 2) *= sz;
}

void MatrixDump(const Matrix* m)
{
    if (DumpCalls >= DUMP_PERIOD) {
        for (int r = 0; r < 4; ++r) {
            std::printf("[%d,0]=%d , [%d,1]=%d , [%d,2]=%d , [%d,3]=%d\n", r, FloatToInt(At(m, r, 0) * 100.0f), r,
                        FloatToInt(At(m, r, 1) * 100.0f), r, FloatToInt(At(m, r, 2) * 100.0f), r,
                        FloatToInt(At(m, r, 3) * 100.0f));
        }
        std::printf("\n");
        DumpCalls = 0;
    }
    ++DumpCalls;
}
