#include "viewer/outline.h"

#include "gfx/draw2d.h"
#include "gfx/gs.h"
#include "gfx/packet.h"
#include "math3d/mesh_render.h"

// Register writes per triangle: the colour and three lines of two ends.
static constexpr u32 TRIANGLE_WRITES = 7;

void ViewerOutline(const Mesh* mesh, u32 colour)
{
    if (!mesh || !mesh->triangles || mesh->vertexCount > MESH_VIEW_VERTICES) return;
    u32 t = 0;
    while (t < mesh->triangleCount) {
        PS2PacketBegin(0);
        PS2PacketAdd(GS_PRIM, GS_PRIM_LINE);
        for (; t < mesh->triangleCount && PS2PacketRoom() >= TRIANGLE_WRITES; ++t) {
            u64 ends[3];
            bool placed = true;
            for (int i = 0; i < 3 && placed; ++i) {
                const u32 v = mesh->triangles[t].corners[i].vertex;
                placed = v < mesh->vertexCount && MeshCornerXyz2(&MeshViewVertices[v], &ends[i]);
            }
            if (!placed) continue;
            PS2PacketAdd(GS_RGBAQ, PS2ColourRgbaq(colour));
            for (int i = 0; i < 3; ++i) {
                PS2PacketAdd(GS_XYZ2, ends[i]);
                PS2PacketAdd(GS_XYZ2, ends[(i + 1) % 3]);
            }
        }
        PS2PacketClose();
        PS2SendPacket();
    }
}
