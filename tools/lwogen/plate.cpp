#include "tools/lwogen/plate.h"

#include <algorithm>
#include <cstddef>

namespace lwogen {

namespace {

constexpr float SURFACE_GREY = 0.784f;

float Step(float from, float to, int k, int steps)
{
    // The last step lands on `to` exactly, so the tile keeps the extent it was given.
    if (k == steps) return to;
    return static_cast<float>(from + (static_cast<double>(to) - from) * k / steps);
}

// Cut a quad a-b-c-d into (a, b, c) and (a, c, d), keeping its winding.
void AddQuad(Shape& shape, std::uint16_t a, std::uint16_t b, std::uint16_t c, std::uint16_t d)
{
    shape.triangles.push_back({a, b, c});
    shape.triangles.push_back({a, c, d});
}

void AddSlab(Shape& shape, const Tile& tile)
{
    const int base = static_cast<int>(shape.points.size());
    const int across = tile.columns + 1;
    const int layer = across * (tile.rows + 1);
    // Grid point (i, j) of the top (0) or the bottom (1).
    const auto at = [&](int side, int i, int j) { return static_cast<std::uint16_t>(base + side * layer + j * across + i); };

    for (const float y : {PLATE_TOP, PLATE_BOTTOM})
        for (int j = 0; j <= tile.rows; ++j)
            for (int i = 0; i <= tile.columns; ++i)
                shape.points.push_back({Step(tile.x0, tile.x1, i, tile.columns), y, Step(tile.z0, tile.z1, j, tile.rows)});

    // Clockwise from above is +z before +x; from below the other way round.
    for (int j = 0; j < tile.rows; ++j)
        for (int i = 0; i < tile.columns; ++i) {
            AddQuad(shape, at(0, i, j), at(0, i, j + 1), at(0, i + 1, j + 1), at(0, i + 1, j));
            AddQuad(shape, at(1, i, j), at(1, i + 1, j), at(1, i + 1, j + 1), at(1, i, j + 1));
        }

    // The rim walked towards +x along the front, +z on the right, -x along the back and -z on the left.
    std::vector<std::pair<int, int>> rim;
    for (int i = 0; i < tile.columns; ++i) rim.emplace_back(i, 0);
    for (int j = 0; j < tile.rows; ++j) rim.emplace_back(tile.columns, j);
    for (int i = tile.columns; i > 0; --i) rim.emplace_back(i, tile.rows);
    for (int j = tile.rows; j > 0; --j) rim.emplace_back(0, j);
    for (std::size_t k = 0; k < rim.size(); ++k) {
        const auto [i0, j0] = rim[k];
        const auto [i1, j1] = rim[(k + 1) % rim.size()];
        AddQuad(shape, at(0, i0, j0), at(0, i1, j1), at(1, i1, j1), at(1, i0, j0));
    }
}

} // namespace

Shape PlateShape()
{
    Shape shape;
    for (const Tile& tile : PLATE_TILES) AddSlab(shape, tile);
    return shape;
}

Bytes PlateObject()
{
    const Shape plate = PlateShape();
    Polyhedron shape{plate.points, {}};
    for (const auto& triangle : plate.triangles) shape.polygons.push_back({triangle.begin(), triangle.end()});
    return PolyhedronObject(shape, {.grey = SURFACE_GREY});
}

} // namespace lwogen
