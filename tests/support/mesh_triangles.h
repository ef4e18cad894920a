#pragma once

#include "cloth/mesh.h"

namespace testing_support {

// A mesh triangle over vertices a, b, c cut from polygon `polygon`, with no texture coordinates.
inline MeshTriangle Triangle(u32 a, u32 b, u32 c, u32 polygon = 0)
{
    MeshTriangle t = {};
    t.corners[0].vertex = a, t.corners[1].vertex = b, t.corners[2].vertex = c;
    t.polygon = polygon;
    return t;
}

} // namespace testing_support
