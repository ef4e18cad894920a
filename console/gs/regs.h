#pragma once

#include <array>
#include <cstdint>

namespace gs {

using u8 = std::uint8_t;
using u16 = std::uint16_t;
using u32 = std::uint32_t;
using u64 = std::uint64_t;

// General register numbers, as A+D and REGLIST address them.
enum Reg : u8 {
    PRIM = 0x00, RGBAQ = 0x01, ST = 0x02, UV = 0x03, XYZF2 = 0x04, XYZ2 = 0x05,
    TEX0_1 = 0x06, TEX0_2 = 0x07, CLAMP_1 = 0x08, CLAMP_2 = 0x09, FOG = 0x0A,
    XYZF3 = 0x0C, XYZ3 = 0x0D,
    TEX1_1 = 0x14, TEX1_2 = 0x15, TEX2_1 = 0x16, TEX2_2 = 0x17,
    XYOFFSET_1 = 0x18, XYOFFSET_2 = 0x19, PRMODECONT = 0x1A, PRMODE = 0x1B, TEXCLUT = 0x1C,
    SCANMSK = 0x22,
    MIPTBP1_1 = 0x34, MIPTBP1_2 = 0x35, MIPTBP2_1 = 0x36, MIPTBP2_2 = 0x37,
    TEXA = 0x3B, FOGCOL = 0x3D, TEXFLUSH = 0x3F,
    SCISSOR_1 = 0x40, SCISSOR_2 = 0x41, ALPHA_1 = 0x42, ALPHA_2 = 0x43,
    DIMX = 0x44, DTHE = 0x45, COLCLAMP = 0x46, TEST_1 = 0x47, TEST_2 = 0x48, PABE = 0x49,
    FBA_1 = 0x4A, FBA_2 = 0x4B, FRAME_1 = 0x4C, FRAME_2 = 0x4D, ZBUF_1 = 0x4E, ZBUF_2 = 0x4F,
    BITBLTBUF = 0x50, TRXPOS = 0x51, TRXREG = 0x52, TRXDIR = 0x53, HWREG = 0x54,
    SIGNAL = 0x60, FINISH = 0x61, LABEL = 0x62,
};

// Pixel storage formats.
enum Psm : u8 {
    PSMCT32 = 0x00, PSMCT24 = 0x01, PSMCT16 = 0x02, PSMCT16S = 0x0A,
    PSMT8 = 0x13, PSMT4 = 0x14, PSMT8H = 0x1B, PSMT4HL = 0x24, PSMT4HH = 0x2C,
    PSMZ32 = 0x30, PSMZ24 = 0x31, PSMZ16 = 0x32, PSMZ16S = 0x3A,
};

enum PrimType : u8 {
    POINT = 0, LINE = 1, LINE_STRIP = 2, TRIANGLE = 3, TRIANGLE_STRIP = 4, TRIANGLE_FAN = 5,
    SPRITE = 6, PRIM_RESERVED = 7,
};

enum class Tfx : u8 { Modulate = 0, Decal = 1, Highlight = 2, Highlight2 = 3 };
enum class ZTest : u8 { Never = 0, Always = 1, GEqual = 2, Greater = 3 };
enum class ATest : u8 { Never, Always, Less, LEqual, Equal, GEqual, Greater, NotEqual };
enum class Wrap : u8 { Repeat = 0, Clamp = 1, RegionClamp = 2, RegionRepeat = 3 };

// Attribute bits shared by PRIM and PRMODE.
struct PrimAttributes {
    bool iip = false, tme = false, fge = false, abe = false, aa1 = false, fst = false, ctxt = false,
         fix = false;
};

struct Rgbaq {
    u8 r = 0, g = 0, b = 0, a = 0;
    float q = 1.0f;
};

struct Tex0 {
    u32 tbp0 = 0, tbw = 0;
    u8 psm = 0, tw = 0, th = 0;
    bool tcc = false;
    Tfx tfx = Tfx::Modulate;
    u32 cbp = 0;
    u8 cpsm = 0, csm = 0, csa = 0, cld = 0;
};

struct Clamp {
    Wrap wms = Wrap::Repeat, wmt = Wrap::Repeat;
    u32 minu = 0, maxu = 0, minv = 0, maxv = 0;
};

struct Tex1 {
    bool lcm = false, mmag = false, mtba = false;
    u8 mxl = 0, mmin = 0, l = 0;
    u16 k = 0;
};

struct XyOffset {
    u32 ofx = 0, ofy = 0; // 12.4
};

struct Scissor {
    u32 x0 = 0, x1 = 0, y0 = 0, y1 = 0; // inclusive window pixels
};

struct Alpha {
    u8 a = 0, b = 0, c = 0, d = 0, fix = 0;
};

struct Test {
    bool ate = false;
    ATest atst = ATest::Never;
    u8 aref = 0, afail = 0;
    bool date = false, datm = false, zte = false;
    ZTest ztst = ZTest::Never;
};

struct Frame {
    u32 fbp = 0, fbw = 0;
    u8 psm = 0;
    u32 fbmsk = 0;
};

struct Zbuf {
    u32 zbp = 0;
    u8 psm = 0; // full PSMZ code: 0x30 | low four bits of the field
    bool zmsk = false;
};

struct BitBltBuf {
    u32 sbp = 0, sbw = 0, dbp = 0, dbw = 0;
    u8 spsm = 0, dpsm = 0;
};

struct TrxPos {
    u32 ssax = 0, ssay = 0, dsax = 0, dsay = 0;
    u8 dir = 0;
};

struct TrxReg {
    u32 rrw = 0, rrh = 0;
};

struct Texa {
    u8 ta0 = 0, ta1 = 0;
    bool aem = false;
};

// The registers of one drawing context (the _1 or _2 set).
struct Context {
    Tex0 tex0;
    Tex1 tex1;
    Clamp clamp;
    XyOffset xyoffset;
    Scissor scissor;
    Alpha alpha;
    Test test;
    bool fba = false;
    Frame frame;
    Zbuf zbuf;
};

// Every general register as last written (raw), and decoded where drawing reads it.
struct Registers {
    std::array<u64, 0x80> raw{};

    u8 primType = 0;
    PrimAttributes prim;   // PRIM bits 3-10
    PrimAttributes prmode; // PRMODE bits 3-10
    bool prmodecont = true; // AC: attributes from PRIM
    Rgbaq rgbaq;
    float s = 0, t = 0;
    u32 u = 0, v = 0; // 10.4
    u8 fog = 0;
    std::array<Context, 2> ctx;
    Texa texa;
    u32 fogcol = 0;
    std::array<std::array<int8_t, 4>, 4> dimx{};
    bool dthe = false;
    bool colclamp = true;
    bool pabe = false;
    u8 scanmsk = 0;
    u64 texclut = 0;
    BitBltBuf bitbltbuf;
    TrxPos trxpos;
    TrxReg trxreg;
    u8 trxdir = 3;

    // The attributes that apply to the next primitive.
    const PrimAttributes& attributes() const { return prmodecont ? prim : prmode; }
};

// A general register number that the chip has.
bool IsRegister(u32 address);

PrimAttributes DecodePrimAttributes(u64 value);
Tex0 DecodeTex0(u64 value);
Frame DecodeFrame(u64 value);
Zbuf DecodeZbuf(u64 value);
Scissor DecodeScissor(u64 value);
Alpha DecodeAlpha(u64 value);
Test DecodeTest(u64 value);

} // namespace gs
