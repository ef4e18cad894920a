#pragma once

// A triangle row by row, shared by the scalar loop and the wide one so both start every row alike:
// which pixels of each row lie inside (exact integer edge walking) and the attributes at a row's first pixel.

#include <algorithm>
#include <cstdint>

#include "console/gs/raster.h"

namespace gs {

// floor(a / b) and the remainder a - b floor(a / b) in [0, b), for b > 0.
template <typename T>
void FloorDivide(T a, T b, T& quotient, T& remainder)
{
    quotient = a / b;
    remainder = a % b;
    if (remainder < 0) {
        --quotient;
        remainder += b;
    }
}

// The first pixel at or right of an edge, row after row, in exact integer steps. The edge runs from
// (x0, y0) to (x1, y1) in 12.4 window coordinates with y0 < y1; on row y it is at
// num / (16 dy) pixels with num = x0 dy + (16 y - y0) dx, and the first pixel is ceil of that,
// kept here as -floor(-num / (16 dy)) = -(quotient) with the remainder in [0, 16 dy).
// Window coordinates lie within +-2^16, so 16 dx and 16 dy fit 32 bits, and so do the quotient (a pixel
// near the edge) and the remainder; only the first numerator may need 64 bits.
class EdgeWalk {
public:
    EdgeWalk() = default;
    EdgeWalk(int x0, int y0, int x1, int y1, int firstRow)
    {
        using s64 = std::int64_t;
        const int dx = x1 - x0, dy = y1 - y0;
        den_ = 16 * dy;
        const s64 m = -(s64{x0} * dy + (s64{firstRow} * 16 - y0) * dx);
        if (m >= INT32_MIN && m <= INT32_MAX) {
            FloorDivide(static_cast<int>(m), den_, quotient_, remainder_);
        } else {
            s64 q, r;
            FloorDivide(m, s64{den_}, q, r);
            quotient_ = static_cast<int>(q);
            remainder_ = static_cast<int>(r);
        }
        FloorDivide(-16 * dx, den_, stepQuotient_, stepRemainder_);
    }

    int pixel() const { return -quotient_; }

    void nextRow()
    {
        quotient_ += stepQuotient_;
        remainder_ += stepRemainder_;
        if (remainder_ >= den_) {
            remainder_ -= den_;
            ++quotient_;
        }
    }

private:
    int den_ = 1, quotient_ = 0, remainder_ = 0, stepQuotient_ = 0, stepRemainder_ = 0;
};

// A triangle ready for its rows: corners top to bottom in 12.4 window coordinates, the rows it covers
// within the scissor, and the planes of the attributes its pixels use.
struct TriangleRows {
    int x[3], y[3];
    int firstRow, endRow, middleRow; // rows firstRow <= y < endRow; the short edge turns at middleRow
    bool middleLeft;                 // the middle corner lies left of the long edge
    bool gouraud, texture, depth, fog, fst;
    Fragment at0;                    // the attributes at corner 0
    Fragment dx, dy;                 // and their change per pixel right and per row down
    double originX, originY;         // corner 0 in pixels
};

// The rows of a triangle from the top: each row's pixels inside its edges and the scissor columns.
class RowWalk {
public:
    RowWalk(const TriangleRows& t, const DrawSetup& s)
        : t_(t), scissorX0_(s.scissorX0), scissorEnd_(s.scissorX1 + 1), row_(t.firstRow),
          long_(t.x[0], t.y[0], t.x[2], t.y[2], row_),
          short_(row_ < t.middleRow ? EdgeWalk(t.x[0], t.y[0], t.x[1], t.y[1], row_)
                                    : EdgeWalk(t.x[1], t.y[1], t.x[2], t.y[2], row_))
    {
    }

    int row() const { return row_; }

    // Pixels x0..x1 - 1 of the current row (x1 <= x0 when none), then moves down a row.
    void next(int& x0, int& x1)
    {
        if (row_ == t_.middleRow && row_ != t_.firstRow) short_ = EdgeWalk(t_.x[1], t_.y[1], t_.x[2], t_.y[2], row_);
        const EdgeWalk& left = t_.middleLeft ? short_ : long_;
        const EdgeWalk& right = t_.middleLeft ? long_ : short_;
        x0 = std::max(left.pixel(), scissorX0_);
        x1 = std::min(right.pixel(), scissorEnd_);
        long_.nextRow();
        short_.nextRow();
        ++row_;
    }

private:
    const TriangleRows& t_;
    int scissorX0_, scissorEnd_, row_;
    EdgeWalk long_, short_;
};

// The attributes at pixel x of row y, where the pixel loops start a row.
inline Fragment RowStart(const TriangleRows& t, int x, int y)
{
    const double ox = x - t.originX, oy = y - t.originY;
    const Fragment &a0 = t.at0, &dx = t.dx, &dy = t.dy;
    Fragment f;
    if (t.gouraud) {
        f.r = static_cast<float>(a0.r + ox * dx.r + oy * dy.r);
        f.g = static_cast<float>(a0.g + ox * dx.g + oy * dy.g);
        f.b = static_cast<float>(a0.b + ox * dx.b + oy * dy.b);
        f.a = static_cast<float>(a0.a + ox * dx.a + oy * dy.a);
    }
    if (t.depth) f.z = a0.z + ox * dx.z + oy * dy.z;
    if (t.texture) {
        f.u = static_cast<float>(a0.u + ox * dx.u + oy * dy.u);
        f.v = static_cast<float>(a0.v + ox * dx.v + oy * dy.v);
        if (!t.fst) f.q = static_cast<float>(a0.q + ox * dx.q + oy * dy.q);
    }
    if (t.fog) f.fog = static_cast<float>(a0.fog + ox * dx.fog + oy * dy.fog);
    return f;
}

using TriangleRoutine = u64 (*)(const DrawSetup& s, const TriangleRows& t);

// For DECAL triangles where a wide path covers them: the whole triangle, row pairs at a time; else null.
TriangleRoutine DecalTriangleFor(const DrawSetup& s, u32 features);
TriangleRoutine DecalTriangleAvx2For(u32 features);

} // namespace gs
