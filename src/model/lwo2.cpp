#include "model/lwo2.h"

#include <algorithm>
#include <cstring>

#include "core/pool.h"
#include "core/trace.h"

LWOParseState LWOState = {nullptr, nullptr, 0};

// Pack four letters as the big-endian number a form type or chunk id is in the file.
static constexpr u32 Id(const char (&text)[5])
{
    return u32{static_cast<u8>(text[0])} << 24 | u32{static_cast<u8>(text[1])} << 16 |
           u32{static_cast<u8>(text[2])} << 8 | u32{static_cast<u8>(text[3])};
}

// "FORM", the form length and the form type.
static constexpr u32 FORM_HEADER_SIZE = 12;
// The chunk id and the chunk length.
static constexpr u32 CHUNK_HEADER_SIZE = 8;
static constexpr u32 POINT_SIZE = 12;
// The top 6 bits of a polygon's vertex count are flags.
static constexpr u32 VERTEX_COUNT_MASK = 0x3FF;
static constexpr u32 LONG_INDEX_MARK = 0xFF;
// The largest triangle array whose byte count the trace can show as an int; the pool is far smaller anyway.
static constexpr u32 MAX_TRIANGLES = 0x7FFFFFFF / sizeof(MeshTriangle);

static u32 ReadU16(const u8* p)
{
    return u32{p[0]} << 8 | p[1];
}

static u32 ReadU32(const u8* p)
{
    return u32{p[0]} << 24 | u32{p[1]} << 16 | u32{p[2]} << 8 | p[3];
}

static float ReadF32(const u8* p)
{
    // memcpy rather than std::bit_cast: the WebAssembly build's standard library predates it.
    const u32 bits = ReadU32(p);
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

// Count the bytes of the image not walked yet; a negative size leaves none.
static u32 Remaining()
{
    const u32 walked = static_cast<u32>(LWOState.cursor - LWOState.base);
    const u32 size = LWOState.size > 0 ? static_cast<u32>(LWOState.size) : 0;
    return walked < size ? size - walked : 0;
}

static void TraceLoad(const char* message)
{
    TraceLog("- %s : ", "OrbMeshLWOLoad");
    TraceLog(" -> %s \n", message);
}

int OrbMeshLWOAttach(const MeshSource* source)
{
    LWOState.cursor = source->data;
    LWOState.base = source->data;
    LWOState.size = source->size;
    return MESH_LOADED;
}

int OrbMeshLWOLoad(Mesh* mesh)
{
    if (!mesh) return MESH_NOTHING_GIVEN;
    // "FORM" and the form length are not checked; an image too short to hold a form type is no LWO2 object.
    const bool named = Remaining() >= FORM_HEADER_SIZE;
    if (!named || ReadU32(LWOState.cursor + 8) != Id("LWO2")) {
        if (named) LWOState.cursor += FORM_HEADER_SIZE;
        TraceLoad("Wrong LWO version\n");
        return MESH_NOT_LWO2;
    }
    LWOState.cursor += FORM_HEADER_SIZE;

    int layers = 0;
    // A chunk header cut by the end of the image ends the walk like the end itself: nothing follows it.
    while (Remaining() >= CHUNK_HEADER_SIZE) {
        const u32 id = ReadU32(LWOState.cursor);
        const u8* body = LWOState.cursor + CHUNK_HEADER_SIZE;
        // A body that runs past the end is clipped, so its handler reads only bytes the image holds.
        const u32 length = std::min(ReadU32(LWOState.cursor + 4), Remaining() - CHUNK_HEADER_SIZE);
        switch (id) {
        case Id("PNTS"):
            LWOParsePoints(mesh, body, length);
            break;
        case Id("POLS"):
            LWOParsePoly(mesh, body, length);
            break;
        case Id("LAYR"):
            if (++layers == 2) {
                TraceLoad("Error : file has more than 1 layer !");
                return MESH_MORE_THAN_ONE_LAYER;
            }
            break;
        case Id("TAGS"):
            LWOParseTags(mesh, body, length);
            break;
        case Id("BBOX"):
            LWOParseBoundingBox(mesh, body, length);
            break;
        case Id("PTAG"):
            LWOParsePolygonTags(mesh, body, length);
            break;
        default:
            break;
        }
        // The pad byte behind an odd body is not skipped: the next header is read right behind the body.
        LWOState.cursor = body + length;
    }
    TraceLoad("LWO parsing finished\n");
    return MESH_LOADED;
}

void LWOParsePoints(Mesh* mesh, const u8* body, u32 length)
{
    const u32 count = length / 4 / 3;
    // A byte count past 32 bits asks for the most there is, which no pool can give.
    const u64 bytes = u64{count} * sizeof(MeshVertex);
    mesh->vertices = static_cast<MeshVertex*>(OrbAlloc(static_cast<u32>(std::min<u64>(bytes, 0xFFFFFFFF))));
    // Without room the chunk gives no vertices, so no count promises an array that is not there.
    mesh->vertexCount = mesh->vertices ? count : 0;
    if (!mesh->vertices) return;
    for (u32 i = 0; i < count; ++i, body += POINT_SIZE) {
        MeshVertex& vertex = mesh->vertices[i];
        vertex.x = ReadF32(body);
        vertex.y = ReadF32(body + 4);
        // LightWave's z axis points away from the viewer, the mesh's towards it.
        vertex.z = -ReadF32(body + 8);
    }
}

// Return the byte behind `count` indices starting at p, or null when they do not all end by `end`.
static const u8* SkipIndices(const u8* p, const u8* end, u32 count)
{
    for (u32 i = 0; i < count; ++i) {
        if (p >= end) return nullptr;
        const long width = p[0] == LONG_INDEX_MARK ? 4 : 2;
        if (end - p < width) return nullptr;
        p += width;
    }
    return p;
}

// Count the triangles a polygon of `count` vertices gives: a fan, or one triangle for a point or a line.
static u32 FanSize(u32 count)
{
    return count >= 3 ? count - 2 : std::min(count, 1u);
}

static void Append(Mesh* mesh, u32 a, u32 b, u32 c, u32 polygon)
{
    MeshTriangle& triangle = mesh->triangles[mesh->triangleCount++];
    triangle.corners[0].vertex = a;
    triangle.corners[1].vertex = b;
    triangle.corners[2].vertex = c;
    triangle.polygon = polygon;
}

// Count the triangles of the whole polygons at the front of a FACE chunk's body, as the parse below takes them.
static u64 CountTriangles(const u8* cursor, const u8* end)
{
    u64 triangles = 0;
    while (end - cursor >= 2) {
        const u32 count = ReadU16(cursor) & VERTEX_COUNT_MASK;
        cursor = SkipIndices(cursor + 2, end, count);
        if (!cursor) break;
        triangles += FanSize(count);
    }
    return triangles;
}

void LWOParsePoly(Mesh* mesh, const u8* body, u32 length)
{
    if (length < 4 || ReadU32(body) != Id("FACE")) return;
    mesh->triangleCount = 0;
    TraceLog("- %s : ", "LWOParsePoly");
    const u8* end = body + length;
    // A triangle per 4 bytes is room enough for polygons of up to five vertices; larger ones can need more.
    const u64 needed = std::max<u64>(length / 4, CountTriangles(body + 4, end));
    const u32 capacity = static_cast<u32>(std::min<u64>(needed, MAX_TRIANGLES));
    const u32 bytes = capacity * static_cast<u32>(sizeof(MeshTriangle));
    TraceLog(" %s -> %d \n", "Object allocation :", static_cast<int>(bytes));
    mesh->triangles = static_cast<MeshTriangle*>(OrbAlloc(bytes));
    if (!mesh->triangles) {
        TraceLog("Null value in function : %s", "LWOParsePoly");
        return;
    }

    const u8* cursor = body + 4;
    for (u32 polygon = 0; end - cursor >= 2; ++polygon) {
        const u32 count = ReadU16(cursor) & VERTEX_COUNT_MASK;
        // A polygon is taken whole or not at all: one that runs past the chunk or the array ends the chunk.
        const u8* next = SkipIndices(cursor + 2, end, count);
        if (!next || FanSize(count) > capacity - mesh->triangleCount) break;
        cursor += 2;
        // A count of 0 names no index: reading one would take the next polygon's count for it.
        if (count >= 3) {
            const u32 first = LWOReadIndex(&cursor);
            u32 previous = LWOReadIndex(&cursor);
            for (u32 k = 2; k < count; ++k) {
                const u32 current = LWOReadIndex(&cursor);
                Append(mesh, first, previous, current, polygon);
                previous = current;
            }
        } else if (count == 2) {
            const u32 a = LWOReadIndex(&cursor);
            Append(mesh, a, a, LWOReadIndex(&cursor), polygon);
        } else if (count == 1) {
            const u32 a = LWOReadIndex(&cursor);
            Append(mesh, a, a, a, polygon);
        }
    }
    OrbRealloc(mesh->triangles, mesh->triangleCount * static_cast<u32>(sizeof(MeshTriangle)));
}

void LWOParseTags(Mesh*, const u8*, u32) {}

void LWOParseBoundingBox(Mesh*, const u8*, u32) {}

void LWOParsePolygonTags(Mesh*, const u8*, u32) {}

u32 LWOReadIndex(const u8** cursor)
{
    const u8* p = *cursor;
    if (p[0] != LONG_INDEX_MARK) {
        *cursor = p + 2;
        return ReadU16(p);
    }
    *cursor = p + 4;
    return ReadU32(p) & 0xFFFFFF;
}
