#include "cloth/debug_view.h"

#include "gfx/draw2d.h"
#include "gfx/packet.h"
#include "math3d/convert.h"

static constexpr u64 PARTICLE_RGBAQ = 0x7f7f7f7f7full;
static constexpr u32 SPRING_COMPRESSED = 0x7f0000;
static constexpr u32 SPRING_STRETCHED = 0x007f00;
static constexpr u32 SPRING_AT_REST = 0x7f7f7f;
// Register writes per item: RGBAQ and two XYZ2.
static constexpr u32 ITEM_WRITES = 3;

// Start one packet of a list with its PRIM.
static void BeginList(u64 prim)
{
    PS2PacketBegin(0);
    PS2PacketAdd(GS_PRIM, prim);
}

static void SendList()
{
    PS2PacketClose();
    PS2SendPacket();
}

// Return a spring end in GS coordinates, added in f32 and truncated; negative sums give 0.
static u32 SpringEnd(float position, u32 offset)
{
    return FloatToUnsigned(position + static_cast<float>(offset));
}

void DrawParticles(ClothParticle* first)
{
    const DisplayContext* display = PS2GetDisplay();
    PS2SetZTest(0);
    // A list too long for one packet goes on in the next, which starts with the PRIM again.
    const ClothParticle* p = first;
    do {
        BeginList(GS_PRIM_SPRITE_BLEND);
        for (; p && PS2PacketRoom() >= ITEM_WRITES; p = p->next) {
            const u32 cx = (static_cast<u32>(FloatToInt(p->position.x)) + display->offsetX) & 0xffff;
            const u32 cy = (static_cast<u32>(FloatToInt(p->position.y)) + display->offsetY) & 0xffff;
            PS2PacketAdd(GS_RGBAQ, PARTICLE_RGBAQ);
            PS2PacketAdd(GS_XYZ2, PS2GsXyz2((cx - 1) * 16, (cy - 1) * 16, DRAW_DEPTH));
            PS2PacketAdd(GS_XYZ2, PS2GsXyz2((cx + 1) * 16, (cy + 1) * 16, DRAW_DEPTH));
        }
        SendList();
    } while (p);
    PS2SetZTest(1);
}

void DrawSprings(ClothSpring* first)
{
    const DisplayContext* display = PS2GetDisplay();
    PS2SetZTest(0);
    const ClothSpring* s = first;
    do {
        BeginList(GS_PRIM_LINE);
        for (; s && PS2PacketRoom() >= ITEM_WRITES; s = s->next) {
            const Vector3& a = s->first->position;
            const Vector3& b = s->second->position;
            u32 colour = SPRING_AT_REST;
            if (s->length2 < s->restLength2)
                colour = SPRING_COMPRESSED;
            else if (s->restLength2 < s->length2)
                colour = SPRING_STRETCHED;
            PS2PacketAdd(GS_RGBAQ, PS2ColourRgbaq(colour));
            PS2PacketAdd(GS_XYZ2, PS2GsXyz2(SpringEnd(a.x, display->offsetX) * 16,
                                            SpringEnd(a.y, display->offsetY) * 16, DRAW_DEPTH));
            PS2PacketAdd(GS_XYZ2, PS2GsXyz2(SpringEnd(b.x, display->offsetX) * 16,
                                            SpringEnd(b.y, display->offsetY) * 16, DRAW_DEPTH));
        }
        SendList();
    } while (s);
    PS2SetZTest(1);
}

void ClothDraw(ClothNet* net)
{
    DrawParticles(net->particles);
    DrawSprings(net->springs);
}
