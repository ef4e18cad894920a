#include "tools/lwogen/object.h"

#include <algorithm>

namespace lwogen {

Bytes PolyhedronObject(const Polyhedron& shape, const ObjectLayout& layout)
{
    Bytes out;
    const std::size_t form = BeginChunk(out, "FORM");
    PutId(out, "LWO2");

    std::size_t chunk = BeginChunk(out, "TAGS");
    PutName(out, "Default");
    EndChunk(out, chunk);

    for (int layer = 0; layer < layout.layers; ++layer) {
        // No flags, pivot at the origin, no name.
        chunk = BeginChunk(out, "LAYR");
        PutU16(out, static_cast<std::uint16_t>(layer));
        PutU16(out, 0);
        for (int k = 0; k < 3; ++k) PutF32(out, 0.0f);
        PutName(out, "");
        EndChunk(out, chunk);

        chunk = BeginChunk(out, "PNTS");
        Point low = shape.points.empty() ? Point{} : shape.points.front(), high = low;
        for (const Point& p : shape.points) {
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
        PutId(out, layout.polygonType);
        for (const auto& polygon : shape.polygons) {
            PutU16(out, static_cast<std::uint16_t>(polygon.size()));
            for (const std::uint32_t v : polygon) PutIndex(out, v);
        }
        EndChunk(out, chunk);

        // Every polygon wears tag 0, "Default".
        chunk = BeginChunk(out, "PTAG");
        PutId(out, "SURF");
        for (std::size_t k = 0; k < shape.polygons.size(); ++k) {
            PutIndex(out, static_cast<std::uint32_t>(k));
            PutU16(out, 0);
        }
        EndChunk(out, chunk);
    }

    // A plain grey: no envelopes, no source surface.
    chunk = BeginChunk(out, "SURF");
    PutName(out, "Default");
    PutName(out, "");
    std::size_t sub = BeginSubchunk(out, "COLR");
    for (int k = 0; k < 3; ++k) PutF32(out, layout.grey);
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
