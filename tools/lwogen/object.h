#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/lwogen/lwo_writer.h"

namespace lwogen {

struct Point {
    float x, y, z;
};

// Points and polygons, each polygon a list of point indices in LightWave's order (clockwise seen from its front).
struct Polyhedron {
    std::vector<Point> points;
    std::vector<std::vector<std::uint32_t>> polygons;
};

// How the object is written.
struct ObjectLayout {
    const char* polygonType = "FACE"; // FACE, or PTCH for subdivision patches
    int layers = 1;                   // more than 1 repeats the layer, each with the same points and polygons
    float grey = 0.784f;              // the one surface's colour on all three channels
};

// Write the shape as an LWO2 object: TAGS, then per layer LAYR, PNTS, BBOX, POLS and PTAG, then the surface.
Bytes PolyhedronObject(const Polyhedron& shape, const ObjectLayout& layout = {});

} // namespace lwogen
