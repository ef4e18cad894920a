#pragma once

#include "cloth/mesh.h"
#include "model/loader.h"
#include "ps2/types.h"

// Where the LWO2 parser stands in the attached image: it walks from base up to base + size, never back.
struct LWOParseState {
    const u8* cursor;
    const u8* base;
    s32 size;
};

extern LWOParseState LWOState;

// Start a parse of the source's image from its first byte.
int OrbMeshLWOAttach(const MeshSource* source);
// Walk the attached image's chunks into the mesh: 0 parsed to the end, 1 not LWO2, 2 no mesh, 3 a second layer.
int OrbMeshLWOLoad(Mesh* mesh);

// The chunk handlers take the first byte behind the chunk header and the bytes of the body the image holds.

// Replace the mesh's vertices by the chunk's points, z negated.
void LWOParsePoints(Mesh* mesh, const u8* body, u32 length);
// Replace the mesh's triangles by the fans of a FACE chunk's polygons; other polygon types leave the mesh alone.
void LWOParsePoly(Mesh* mesh, const u8* body, u32 length);
// Ignore the surface tags, the bounding box and the polygon tags: the mesh has no place for them.
void LWOParseTags(Mesh* mesh, const u8* body, u32 length);
void LWOParseBoundingBox(Mesh* mesh, const u8* body, u32 length);
void LWOParsePolygonTags(Mesh* mesh, const u8* body, u32 length);

// Read one vertex index, 2 bytes or 4 when the first is 0xFF, and move the cursor past it.
u32 LWOReadIndex(const u8** cursor);
