#pragma once

#include "ps2/types.h"

// General GS registers, as the A+D descriptor addresses them.
enum GsRegister : u64 {
    GS_PRIM = 0x00,
    GS_RGBAQ = 0x01,
    GS_UV = 0x03,
    GS_XYZ2 = 0x05,
    GS_TEX0_1 = 0x06,
    GS_XYOFFSET_1 = 0x18,
    GS_PRMODECONT = 0x1a,
    GS_TEXFLUSH = 0x3f,
    GS_SCISSOR_1 = 0x40,
    GS_ALPHA_1 = 0x42,
    GS_TEST_1 = 0x47,
    GS_FRAME_1 = 0x4c,
    GS_ZBUF_1 = 0x4e,
    GS_BITBLTBUF = 0x50,
    GS_TRXPOS = 0x51,
    GS_TRXREG = 0x52,
    GS_TRXDIR = 0x53,
};

inline constexpr u64 GS_PRIM_SPRITE = 6;
inline constexpr u64 GS_ALPHA_BLEND = 0x44;       // (Cs - Cd) x As + Cd
inline constexpr u64 GS_TEST_ZGREATER = 0x70000;  // ZTE on, depth GREATER
inline constexpr u64 GS_TEST_ZALWAYS = 0x30000;   // ZTE on, depth ALWAYS
inline constexpr u64 GS_PSMCT32 = 0x00;
inline constexpr u64 GS_PSMZ32 = 0x30;

// Build the low word of a PACKED GIF tag with one A+D descriptor and EOP set.
constexpr u64 PS2GifTagPacked(u32 nloop) { return 0x1000000000008000ull | (nloop & 0x7fff); }
// The high word of a PACKED GIF tag: one A+D descriptor.
inline constexpr u64 GS_GIF_REGS_AD = 0xe;
// Build the low word of an IMAGE GIF tag (FLG 2, NREG 0, EOP set); its high word is 0.
constexpr u64 PS2GifTagImage(u32 nloop) { return (2ull << 58) | 0x8000 | (nloop & 0x7fff); }

// Build FRAME_1 from a page address (bytes / 8192), a width in 64-pixel units and a pixel format.
constexpr u64 PS2GsFrame(u64 fbp, u64 fbw, u64 psm, u64 fbmsk)
{
    return fbp | fbw << 16 | psm << 24 | fbmsk << 32;
}

// Build ZBUF_1 from a page address, a depth format and the write mask.
constexpr u64 PS2GsZbuf(u64 zbp, u64 psm, u64 zmsk) { return zbp | psm << 24 | zmsk << 32; }

// Build XYZ2 from 12.4 fixed-point X and Y and a 32-bit depth.
constexpr u64 PS2GsXyz2(u64 x, u64 y, u64 z) { return (x & 0xffff) | (y & 0xffff) << 16 | z << 32; }

// Build XYOFFSET_1 from 12.4 fixed-point offsets.
constexpr u64 PS2GsXyOffset(u64 ofx, u64 ofy) { return ofx | ofy << 32; }

// Build SCISSOR_1 from inclusive pixel bounds.
constexpr u64 PS2GsScissor(u64 x0, u64 x1, u64 y0, u64 y1) { return x0 | x1 << 16 | y0 << 32 | y1 << 48; }

// Build DISPFB1/2 from a page address, a width in 64-pixel units, a pixel format and the top-left pixel.
constexpr u64 PS2GsDispFb(u64 fbp, u64 fbw, u64 psm, u64 dbx, u64 dby)
{
    return fbp | fbw << 9 | psm << 15 | dbx << 32 | dby << 43;
}

// Build DISPLAY1/2 from the position, magnifications and size (each already minus one where the GS wants).
constexpr u64 PS2GsDisplay(u64 dx, u64 dy, u64 magh, u64 magv, u64 dw, u64 dh)
{
    return dx | dy << 12 | magh << 23 | magv << 27 | dw << 32 | dh << 44;
}
