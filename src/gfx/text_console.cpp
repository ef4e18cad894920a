#include "gfx/text_console.h"

#include "data/font.h"
#include "gfx/display.h"
#include "gfx/gs.h"
#include "gfx/packet.h"
#include "ps2/kernel.h"

// The console's own state: it never touches the PacketBuffer, so a trace may fall between any two packets.
struct TextConsole {
    u32 column;
    u32 row;
    alignas(16) u32 pixels[64];
    alignas(16) u64 packet[12];
};

// Quadword 5's IMAGE tag sits at words 10 and 11; the pixel block goes as a second transfer.
static constexpr u32 PACKET_QWC = 6;
static constexpr u32 PIXELS_QWC = 16;
static constexpr u32 BITBLTBUF_WORD = 2;
static constexpr u32 TRXPOS_WORD = 4;
// A 640-pixel-wide PSMCT32 buffer, the width of the demo's mode.
static constexpr u64 DESTINATION_WIDTH = 640 / 64;

static TextConsole Console = {
    0,
    0,
    {},
    {
        PS2GifTagPacked(4) & ~GS_GIF_EOP, GS_GIF_REGS_AD,
        PS2GsBitBltBuf(0, 0, GS_PSMCT32, 0, DESTINATION_WIDTH, GS_PSMCT32), GS_BITBLTBUF,
        PS2GsTrxPos(0, 0, 0, 0, 0), GS_TRXPOS,
        PS2GsTrxReg(8, 8), GS_TRXREG,
        0, GS_TRXDIR,
        PS2GifTagImage(PIXELS_QWC) & ~GS_GIF_EOP, 0,
    },
};

void ConsoleDrawGlyph(u32 x, u32 y, u32 colour, u32 code)
{
    const u8* glyph = Font8x8 + 8 * (code & 0xff);
    for (u32 r = 0; r < 8; ++r)
        for (u32 k = 0; k < 8; ++k) Console.pixels[8 * r + k] = glyph[r] & (0x80 >> k) ? colour : 0;

    // Transfers take frame-buffer pixels: the drawing offset of primitives does not apply.
    Console.packet[BITBLTBUF_WORD] =
        PS2GsBitBltBuf(0, 0, GS_PSMCT32, PS2GetDisplay()->displayBuffer / 256, DESTINATION_WIDTH, GS_PSMCT32);
    Console.packet[TRXPOS_WORD] = PS2GsTrxPos(0, 0, x, y, 0);

    // The DMA controller reads memory, not the data cache.
    FlushCache(0);
    PS2DmaSend(Console.packet, PACKET_QWC);
    PS2DmaSend(Console.pixels, PIXELS_QWC);
}

static void NextRow()
{
    Console.column = 0;
    Console.row = Console.row + 1 >= CONSOLE_ROWS ? 0 : Console.row + 1;
}

void ConsoleWrite(const char* text)
{
    for (const char* c = text; *c; ++c) {
        if (*c == '\n') {
            NextRow();
            continue;
        }
        ConsoleDrawGlyph(CONSOLE_CELL_WIDTH * Console.column, CONSOLE_CELL_HEIGHT * Console.row, CONSOLE_COLOUR,
                         static_cast<u8>(*c));
        if (++Console.column >= CONSOLE_COLUMNS) NextRow();
    }
}

void ConsoleSetCursor(u32 column, u32 row)
{
    Console.column = column;
    Console.row = row;
}
