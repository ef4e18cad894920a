#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "tools/lwogen/object.h"

namespace lwogen {

// One rectangular tile of the plate: its extent in x and z and its grid of cells.
struct Tile {
    float x0, x1, z0, z1;
    int columns, rows;
};

inline constexpr float PLATE_TOP = 0.1f;
inline constexpr float PLATE_BOTTOM = -0.1f;

// A main tile and, beside it, two small ones, one behind the other, with narrow gaps between them.
inline constexpr std::array<Tile, 3> PLATE_TILES = {{
    {-0.456f, 0.37f, -0.34f, 0.342f, 10, 8},
    {0.39f, 0.556f, -0.34f, -0.009f, 2, 4},
    {0.39f, 0.556f, 0.011f, 0.342f, 2, 4},
}};

// Points and triangles; each triangle is clockwise seen from outside, LightWave's front face.
struct Shape {
    std::vector<Point> points;
    std::vector<std::array<std::uint16_t, 3>> triangles;
};

// Make each tile a closed slab from PLATE_BOTTOM to PLATE_TOP: top and bottom grids, walls around.
Shape PlateShape();
// Write the plate as a one-layer LWO2 object with the one surface "Default".
Bytes PlateObject();

} // namespace lwogen
