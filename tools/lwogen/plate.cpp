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
    Bytes out;
    const std::size_t form = BeginChunk(out, "FORM");
    PutId(out, "LWO2");

    std::size_t chunk = BeginChunk(out, "TAGS");
    PutName(out, "Default");
    EndChunk(out, chunk);

    // Layer 0, no flags, pivot at the origin, no name.
    chunk = BeginChunk(out, "LAYR");
    PutU16(out, 0);
    PutU16(out, 0);
    for (int k = 0; k < 3; ++k) PutF32(out, 0.0f);
    PutName(out, "");
    EndChunk(out, chunk);

    chunk = BeginChunk(out, "PNTS");
    Point low = plate.points.front(), high = low;
    for (const Point& p : plate.points) {
        PutF32(out, p.x);
        PutF32(out, p.y);
        PutF32(out, p.z);
        low = {std::min(low.x, p.x), std::min(low.y, p.y), std::min(low.z, p.z)};
        high = {std::max(high.x, p.x), std::max(high.y, p.y), std::max(high.z, p.z)};
    }
    EndChunk(out, chunk);

    chunk = BeginChunk(out, "BBOX");
    for (const Point& p : {low, high}) {
        PutF32(out, p.x);
        PutF32(out, p.y);
        PutF32(out, p.z);
    }
    EndChunk(out, chunk);

    chunk = BeginChunk(out, "POLS");
    PutId(out, "FACE");
    for (const auto& triangle : plate.triangles) {
        PutU16(out, 3);
        for (const std::uint16_t v : triangle) PutIndex(out, v);
    }
    EndChunk(out, chunk);

    // Every polygon wears tag 0, "Default".
    chunk = BeginChunk(out, "PTAG");
    PutId(out, "SURF");
    for (std::size_t k = 0; k < plate.triangles.size(); ++k) {
        PutIndex(out, static_cast<std::uint32_t>(k));
        PutU16(out, 0);
    }
    EndChunk(out, chunk);

    // A plain light grey: no envelopes, no source surface.
    chunk = BeginChunk(out, "SURF");
    PutName(out, "Default");
    PutName(out, "");
    std::size_t sub = BeginSubchunk(out, "COLR");
    for (int k = 0; k < 3; ++k) PutF32(out, SURFACE_GREY);
    PutIndex(out, 0);
    EndSubchunk(out, sub);
    sub = BeginSubchunk(out, "DIFF");
    PutF32(out, 1.0f);
    PutIndex(out, 0);
    EndSubchunk(out, sub);
    EndChunk(out, chunk);

    EndChunk(out, form);
    return out;
}

} // namespace lwogen
