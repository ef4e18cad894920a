#include "console/gs/gs.h"

#include <string>

#include "console/gs/bits.h"

namespace gs {
namespace {

Clamp DecodeClamp(u64 value)
{
    return {static_cast<Wrap>(Bits(value, 0, 2)), static_cast<Wrap>(Bits(value, 2, 2)), Bits(value, 4, 10),
            Bits(value, 14, 10), Bits(value, 24, 10), Bits(value, 34, 10)};
}

Tex1 DecodeTex1(u64 value)
{
    Tex1 t;
    t.lcm = Bit(value, 0);
    t.mxl = static_cast<u8>(Bits(value, 2, 3));
    t.mmag = Bit(value, 5);
    t.mmin = static_cast<u8>(Bits(value, 6, 3));
    t.mtba = Bit(value, 9);
    t.l = static_cast<u8>(Bits(value, 19, 2));
    t.k = static_cast<u16>(Bits(value, 32, 12));
    return t;
}

} // namespace

bool IsRegister(u32 address)
{
    return address <= XYZ2 || (address >= TEX0_1 && address <= FOG) || address == XYZF3 || address == XYZ3 ||
           (address >= TEX1_1 && address <= TEXCLUT) || address == SCANMSK ||
           (address >= MIPTBP1_1 && address <= MIPTBP2_2) || address == TEXA || address == FOGCOL ||
           address == TEXFLUSH || (address >= SCISSOR_1 && address <= HWREG) ||
           (address >= SIGNAL && address <= LABEL);
}

PrimAttributes DecodePrimAttributes(u64 value)
{
    return {Bit(value, 3), Bit(value, 4), Bit(value, 5), Bit(value, 6),
            Bit(value, 7), Bit(value, 8), Bit(value, 9), Bit(value, 10)};
}

Tex0 DecodeTex0(u64 value)
{
    Tex0 t;
    t.tbp0 = Bits(value, 0, 14);
    t.tbw = Bits(value, 14, 6);
    t.psm = static_cast<u8>(Bits(value, 20, 6));
    t.tw = static_cast<u8>(Bits(value, 26, 4));
    t.th = static_cast<u8>(Bits(value, 30, 4));
    t.tcc = Bit(value, 34);
    t.tfx = static_cast<Tfx>(Bits(value, 35, 2));
    t.cbp = Bits(value, 37, 14);
    t.cpsm = static_cast<u8>(Bits(value, 51, 4));
    t.csm = static_cast<u8>(Bits(value, 55, 1));
    t.csa = static_cast<u8>(Bits(value, 56, 5));
    t.cld = static_cast<u8>(Bits(value, 61, 3));
    return t;
}

Frame DecodeFrame(u64 value)
{
    return {Bits(value, 0, 9), Bits(value, 16, 6), static_cast<u8>(Bits(value, 24, 6)), Bits(value, 32, 32)};
}

Zbuf DecodeZbuf(u64 value)
{
    return {Bits(value, 0, 9), static_cast<u8>(0x30 | Bits(value, 24, 4)), Bit(value, 32)};
}

Scissor DecodeScissor(u64 value)
{
    return {Bits(value, 0, 11), Bits(value, 16, 11), Bits(value, 32, 11), Bits(value, 48, 11)};
}

Alpha DecodeAlpha(u64 value)
{
    return {static_cast<u8>(Bits(value, 0, 2)), static_cast<u8>(Bits(value, 2, 2)),
            static_cast<u8>(Bits(value, 4, 2)), static_cast<u8>(Bits(value, 6, 2)),
            static_cast<u8>(Bits(value, 32, 8))};
}

Test DecodeTest(u64 value)
{
    Test t;
    t.ate = Bit(value, 0);
    t.atst = static_cast<ATest>(Bits(value, 1, 3));
    t.aref = static_cast<u8>(Bits(value, 4, 8));
    t.afail = static_cast<u8>(Bits(value, 12, 2));
    t.date = Bit(value, 14);
    t.datm = Bit(value, 15);
    t.zte = Bit(value, 16);
    t.ztst = static_cast<ZTest>(Bits(value, 17, 2));
    return t;
}

void Gs::writeRegister(u8 address, u64 value)
{
    // The vertex data of a mesh, most writes, goes straight to its fields.
    switch (address) {
    case UV: regs_.raw[UV] = value; decodeUv(value); return;
    case XYZ2: regs_.raw[XYZ2] = value; decodeXyz(value, true); return;
    case RGBAQ: regs_.raw[RGBAQ] = value; decodeRgbaq(value); return;
    default: break;
    }
    if (address >= regs_.raw.size()) {
        log_.message("GS: write to register " + console::Hex(address) + " ignored (no such register)");
        return;
    }
    regs_.raw[address] = value;
    // Vertex data leaves the drawing setup as it is; any other write may change it.
    const bool vertexData = address == RGBAQ || address == ST || address == UV || address == FOG ||
                            address == XYZF2 || address == XYZ2 || address == XYZF3 || address == XYZ3;
    if (!vertexData) setupValid_ = false;
    decode(address, value);
}

void Gs::decodeRgbaq(u64 value) // vertex colour and Q
{
    regs_.rgbaq = {static_cast<u8>(Bits(value, 0, 8)), static_cast<u8>(Bits(value, 8, 8)),
                   static_cast<u8>(Bits(value, 16, 8)), static_cast<u8>(Bits(value, 24, 8)),
                   BitCast<float>(Bits(value, 32, 32))};
}

void Gs::decodeUv(u64 value) // texel coordinates for FST = 1, 10.4
{
    regs_.u = Bits(value, 0, 14);
    regs_.v = Bits(value, 16, 14);
}

void Gs::decodeXyz(u64 value, bool draw) // XYZ2, XYZ3: vertex with 32-bit Z; the 2 form draws
{
    vertexKick(Bits(value, 0, 16), Bits(value, 16, 16), Bits(value, 32, 32), regs_.fog, draw);
}

// Decodes one register write into its fields and starts whatever the write starts.
void Gs::decode(u8 address, u64 value)
{
    Registers& r = regs_;
    switch (address) {
    case PRIM: // primitive type and attributes; restarts the vertex queue. AA1 edges are drawn as if AA1 were 0.
        r.primType = static_cast<u8>(Bits(value, 0, 3));
        r.prim = DecodePrimAttributes(value);
        queued_ = 0;
        break;
    case RGBAQ: decodeRgbaq(value); break;
    case ST: // texture coordinates for FST = 0
        r.s = BitCast<float>(Bits(value, 0, 32));
        r.t = BitCast<float>(Bits(value, 32, 32));
        break;
    case UV: decodeUv(value); break;
    case XYZF2: case XYZF3: { // vertex with 24-bit Z and fog; the 2 form draws
        r.fog = static_cast<u8>(Bits(value, 56, 8));
        vertexKick(Bits(value, 0, 16), Bits(value, 16, 16), Bits(value, 32, 24), r.fog, address == XYZF2);
        break;
    }
    case XYZ2: case XYZ3: decodeXyz(value, address == XYZ2); break;
    case TEX0_1: case TEX0_2: // texture buffer, format and size
        r.ctx[address - TEX0_1].tex0 = DecodeTex0(value);
        break;
    case CLAMP_1: case CLAMP_2: // texture wrap modes
        r.ctx[address - CLAMP_1].clamp = DecodeClamp(value);
        break;
    case FOG: // fog coefficient of the next vertex
        r.fog = static_cast<u8>(Bits(value, 56, 8));
        break;
    case TEX1_1: case TEX1_2: // filtering and mipmapping
        r.ctx[address - TEX1_1].tex1 = DecodeTex1(value);
        break;
    case TEX2_1: case TEX2_2: { // format and palette only, keeping the rest of TEX0
        Tex0& t = r.ctx[address - TEX2_1].tex0;
        const Tex0 n = DecodeTex0(value);
        t.psm = n.psm;
        t.cbp = n.cbp;
        t.cpsm = n.cpsm;
        t.csm = n.csm;
        t.csa = n.csa;
        t.cld = n.cld;
        break;
    }
    case XYOFFSET_1: case XYOFFSET_2: // primitive-to-window offset, 12.4
        r.ctx[address - XYOFFSET_1].xyoffset = {Bits(value, 0, 16), Bits(value, 32, 16)};
        break;
    case PRMODECONT: // where the primitive attributes come from
        r.prmodecont = Bit(value, 0);
        break;
    case PRMODE: // attributes used when PRMODECONT is 0
        r.prmode = DecodePrimAttributes(value);
        break;
    case TEXCLUT: // CSM2 palette position
        r.texclut = value;
        break;
    case SCANMSK: // raster line mask
        r.scanmsk = static_cast<u8>(Bits(value, 0, 2));
        break;
    case MIPTBP1_1: case MIPTBP1_2: case MIPTBP2_1: case MIPTBP2_2: // mipmap levels; only level 0 is sampled
        break;
    case TEXA: // alpha of 24- and 16-bit texels
        r.texa = {static_cast<u8>(Bits(value, 0, 8)), static_cast<u8>(Bits(value, 32, 8)), Bit(value, 15)};
        break;
    case FOGCOL: // fog colour
        r.fogcol = Bits(value, 0, 24);
        break;
    case TEXFLUSH: // texture cache flush; this model reads texels straight from memory
        break;
    case SCISSOR_1: case SCISSOR_2: // drawing window, inclusive
        r.ctx[address - SCISSOR_1].scissor = DecodeScissor(value);
        break;
    case ALPHA_1: case ALPHA_2: // blend equation
        r.ctx[address - ALPHA_1].alpha = DecodeAlpha(value);
        break;
    case DIMX: // dither matrix, 3-bit signed entries
        for (unsigned y = 0; y < 4; ++y)
            for (unsigned x = 0; x < 4; ++x) {
                const u32 e = Bits(value, 16 * y + 4 * x, 3);
                r.dimx[y][x] = static_cast<int8_t>(e >= 4 ? static_cast<int>(e) - 8 : static_cast<int>(e));
            }
        break;
    case DTHE: // dithering
        r.dthe = Bit(value, 0);
        break;
    case COLCLAMP: // clamp or wrap blended colours
        r.colclamp = Bit(value, 0);
        break;
    case TEST_1: case TEST_2: // alpha, destination alpha and depth tests
        r.ctx[address - TEST_1].test = DecodeTest(value);
        break;
    case PABE: // per-pixel blend enable
        r.pabe = Bit(value, 0);
        break;
    case FBA_1: case FBA_2: // alpha bit forced on write
        r.ctx[address - FBA_1].fba = Bit(value, 0);
        break;
    case FRAME_1: case FRAME_2: // frame buffer
        r.ctx[address - FRAME_1].frame = DecodeFrame(value);
        break;
    case ZBUF_1: case ZBUF_2: // depth buffer
        r.ctx[address - ZBUF_1].zbuf = DecodeZbuf(value);
        break;
    case BITBLTBUF: // transfer buffers
        r.bitbltbuf = {Bits(value, 0, 14), Bits(value, 16, 6), Bits(value, 32, 14), Bits(value, 48, 6),
                       static_cast<u8>(Bits(value, 24, 6)), static_cast<u8>(Bits(value, 56, 6))};
        break;
    case TRXPOS: // transfer corners and direction
        r.trxpos = {Bits(value, 0, 11), Bits(value, 16, 11), Bits(value, 32, 11), Bits(value, 48, 11),
                    static_cast<u8>(Bits(value, 59, 2))};
        break;
    case TRXREG: // transfer size
        r.trxreg = {Bits(value, 0, 12), Bits(value, 32, 12)};
        break;
    case TRXDIR: // transfer direction; writing it starts the transfer
        r.trxdir = static_cast<u8>(Bits(value, 0, 2));
        startTransfer(r.trxdir);
        break;
    case HWREG: // transfer data written as a register
        transferData(value);
        break;
    case SIGNAL: { // signal event with masked id
        const u32 id = Bits(value, 0, 32), mask = Bits(value, 32, 32);
        const u32 old = static_cast<u32>(siglblid_);
        siglblid_ = (siglblid_ & ~u64{0xFFFFFFFF}) | ((old & ~mask) | (id & mask));
        csr_ |= kCsrSignal;
        break;
    }
    case FINISH: // drawing is synchronous here, so the event is at once
        csr_ |= kCsrFinish;
        break;
    case LABEL: { // label id, no event
        const u32 id = Bits(value, 0, 32), mask = Bits(value, 32, 32);
        const u32 old = static_cast<u32>(siglblid_ >> 32);
        siglblid_ = (siglblid_ & 0xFFFFFFFF) | (u64{(old & ~mask) | (id & mask)} << 32);
        break;
    }
    case 0x7F: // the customary no-op address
        break;
    default:
        log_.message("GS: write to unknown register " + console::Hex(address) + " ignored");
        break;
    }
}

} // namespace gs
