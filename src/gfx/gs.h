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
// The EOP bit of a GIF tag's low word: clear it where the packet goes on in a later transfer.
inline constexpr u64 GS_GIF_EOP = 0x8000;

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

// Build BITBLTBUF from source and destination block addresses (bytes / 256), widths (pixels / 64) and formats.
constexpr u64 PS2GsBitBltBuf(u64 sbp, u64 sbw, u64 spsm, u64 dbp, u64 dbw, u64 dpsm)
{
    return sbp | sbw << 16 | spsm << 24 | dbp << 32 | dbw << 48 | dpsm << 56;
}

// Build TRXPOS from the source and destination top-left pixels and the pixel order.
constexpr u64 PS2GsTrxPos(u64 ssax, u64 ssay, u64 dsax, u64 dsay, u64 dir)
{
    return (ssax & 0x7ff) | (ssay & 0x7ff) << 16 | (dsax & 0x7ff) << 32 | (dsay & 0x7ff) << 48 | dir << 59;
}

// Build TRXREG from the transfer's width and height in pixels.
constexpr u64 PS2GsTrxReg(u64 rrw, u64 rrh) { return (rrw & 0xfff) | (rrh & 0xfff) << 32; }

// PRIM values of the primitives the program draws.
inline constexpr u64 GS_PRIM_POINT = 0x0;
inline constexpr u64 GS_PRIM_LINE = 0x1;
inline constexpr u64 GS_PRIM_TRIANGLE_GOURAUD = 0xb;    // TRIANGLE, IIP
inline constexpr u64 GS_PRIM_SPRITE_BLEND = 0x46;       // SPRITE, ABE
inline constexpr u64 GS_PRIM_SPRITE_TEXTURED = 0x156;   // SPRITE, TME, ABE, FST
inline constexpr u64 GS_PRIM_TRIANGLE_TEXTURED = 0x1db; // TRIANGLE, IIP, TME, ABE, AA1, FST
inline constexpr u64 GS_TEX_DECAL = 1;
inline constexpr u64 GS_TEXFLUSH_VALUE = 0x42;

// Build RGBAQ from 8-bit colour and alpha and the 32-bit Q field.
constexpr u64 PS2GsRgbaq(u64 r, u64 g, u64 b, u64 a, u64 q)
{
    return (r & 0xff) | (g & 0xff) << 8 | (b & 0xff) << 16 | (a & 0xff) << 24 | (q & 0xffffffff) << 32;
}

// Build UV from 10.4 fixed-point texel coordinates.
constexpr u64 PS2GsUv(u64 u, u64 v) { return (u & 0x3fff) | (v & 0x3fff) << 16; }

// Build TEX0 from a block address (bytes / 256), a width in 64-texel units, a format, the log2 size,
// the alpha source (1 = texture) and the texture function; no palette.
constexpr u64 PS2GsTex0(u64 tbp0, u64 tbw, u64 psm, u64 tw, u64 th, u64 tcc, u64 tfx)
{
    return (tbp0 & 0x3fff) | (tbw & 0x3f) << 14 | (psm & 0x3f) << 20 | (tw & 0xf) << 26 | (th & 0xf) << 30 |
           (tcc & 1) << 34 | (tfx & 3) << 35;
}
