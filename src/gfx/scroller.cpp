#include "gfx/scroller.h"

#include "data/font.h"
#include "gfx/display.h"
#include "gfx/gs.h"
#include "gfx/packet.h"

static constexpr u64 SQUARE_DEPTH = 0xFFFF;
static constexpr s64 FULL_SIZE = 128;
static constexpr s64 SIZE_STEP = 12;
static constexpr s64 SHRINK_PER_FRAME = 4;
static constexpr s64 SMALLEST_CELL = 3;
// Columns further left than this are off the screen whatever their size.
static constexpr s64 LEFT_LIMIT = -9;

static_assert((PACKET_WORDS - 2) / 2 <= 0x7fff, "the pair count must fit NLOOP");

static u32 LitRows(const u8* glyph, u32 column)
{
    u32 lit = 0;
    for (u32 r = 0; r < 8; ++r) lit += (glyph[r] >> (7 - column)) & 1;
    return lit;
}

// Append one glyph column as squares of cell pixels; false when the PacketBuffer has no room for it.
static bool AddColumn(const u8* glyph, u32 column, s64 left, s64 top, s64 cell)
{
    if (PS2PacketRoom() < 1 + 2 * LitRows(glyph, column)) return false;
    PS2PacketAdd(GS_RGBAQ, PS2GsRgbaq(0xFF, 0x7B, 0x05, static_cast<u64>(FULL_SIZE - cell), 0x7F));
    for (u32 r = 0; r < 8; ++r) {
        if (!(glyph[r] & (0x80 >> column))) continue;
        const s64 y0 = top + r * cell;
        PS2PacketAdd(GS_XYZ2, PS2GsXyz2(static_cast<u64>(left * 16), static_cast<u64>(y0 * 16), SQUARE_DEPTH));
        PS2PacketAdd(GS_XYZ2, PS2GsXyz2(static_cast<u64>((left + cell) * 16), static_cast<u64>((y0 + cell) * 16),
                                        SQUARE_DEPTH));
    }
    return true;
}

// Append the columns of text until the size s has grown past a full cell or the buffer is full.
static void AddText(s32 x, s32 y, const u8* text, s32 t)
{
    const DisplayContext* display = PS2GetDisplay();
    s64 s = FULL_SIZE - SHRINK_PER_FRAME * t;
    s64 px = x;
    if (s >= FULL_SIZE) return;
    for (const u8* c = text; *c; ++c) {
        const u8* glyph = Font8x8 + 8 * *c;
        for (u32 k = 0; k < 8; ++k) {
            const s64 cell = s > 2 ? s : SMALLEST_CELL;
            if (px >= LEFT_LIMIT) {
                const s64 left = px - 4 * cell + display->offsetX;
                const s64 top = y - 4 * cell + display->offsetY;
                if (!AddColumn(glyph, k, left, top, cell)) return;
            }
            s += SIZE_STEP;
            if (s > FULL_SIZE) return;
            px += cell;
        }
        if (s >= FULL_SIZE) return;
    }
}

u32 ScrollerBuildPacket(s32 x, s32 y, const char* text, s32 t)
{
    PS2PacketBegin(1);
    PS2PacketAdd(GS_PRIM, GS_PRIM_SPRITE_BLEND);
    if (text) AddText(x, y, reinterpret_cast<const u8*>(text), t);
    PS2PacketClose();
    return GsPacket.packetQwc - 1;
}

void DrawScroller(s32 x, s32 y, const char* text, s32 t)
{
    PS2SetZTest(0);
    ScrollerBuildPacket(x, y, text, t);
    PS2SendPacket();
    PS2SetZTest(1);
}
