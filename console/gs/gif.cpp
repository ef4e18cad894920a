#include <algorithm>
#include <cstring>

#include "console/gs/bits.h"
#include "console/gs/band_thread.h"

namespace gs {
namespace {

enum Flg : u8 { kPacked = 0, kReglist = 1, kImage = 2 };

u64 Field(u64 value, unsigned first, unsigned count) { return (value >> first) & ((u64{1} << count) - 1); }

} // namespace

// The GIF reads a tag, then the data the tag announces; a packet may span several transfers.
void Gs::transfer(const Qword* data, u32 count)
{
    if (observer_) observer_->gifTransfer(data, count);
    if (bandThread_) bandThread_->post(data, count);
    for (u32 i = 0; i < count; ++i) {
        const Qword& q = data[i];
        if (!gif_.inPacket) {
            const u32 nloop = static_cast<u32>(Field(q.lo, 0, 15));
            const u32 nreg = static_cast<u32>(Field(q.lo, 60, 4));
            gif_.flg = static_cast<u8>(Field(q.lo, 58, 2));
            if (gif_.flg == 3) gif_.flg = kImage;
            gif_.nreg = nreg == 0 ? 16 : nreg;
            gif_.tagHi = q.hi;
            gif_.reg = 0;
            // Q is reset to 1.0 when a GIF tag is read.
            q_ = 1.0f;
            if (nloop == 0) continue; // an empty tag writes nothing, not even its PRIM
            gif_.remaining = gif_.flg == kImage ? nloop : nloop * gif_.nreg;
            gif_.inPacket = true;
            if (gif_.flg == kPacked && Field(q.lo, 46, 1)) writeRegister(PRIM, Field(q.lo, 47, 11));
            continue;
        }
        switch (gif_.flg) {
        case kPacked: {
            // The packet's qwords in one go, as far as this transfer holds them.
            // Register writes never touch the GIF's own state, so it stays in locals meanwhile.
            const u32 n = std::min(gif_.remaining, count - i), nreg = gif_.nreg;
            const u64 descriptors = gif_.tagHi;
            if (nreg == 1 && (descriptors & 0xF) == 0xE) {
                // A+D alone, as the framework sends everything: each qword names its register.
                for (u32 k = 0; k < n; ++k) writeRegister(static_cast<u8>(data[i + k].hi), data[i + k].lo);
            } else {
                u32 reg = gif_.reg;
                for (u32 k = 0; k < n; ++k) {
                    packed(data[i + k], static_cast<u8>(Field(descriptors, 4 * reg, 4)));
                    if (++reg == nreg) reg = 0;
                }
                gif_.reg = reg;
            }
            gif_.remaining -= n;
            i += n - 1;
            break;
        }
        case kReglist:
            // Two register values per qword; an odd count leaves the last upper half as padding.
            for (const u64 dword : {q.lo, q.hi}) {
                if (gif_.remaining == 0) break;
                reglist(dword, static_cast<u8>(Field(gif_.tagHi, 4 * gif_.reg, 4)));
                if (++gif_.reg == gif_.nreg) gif_.reg = 0;
                --gif_.remaining;
            }
            break;
        default:
            transferData(q.lo);
            transferData(q.hi);
            --gif_.remaining;
            break;
        }
        if (gif_.remaining == 0) gif_.inPacket = false;
    }
}

// One PACKED qword through its register descriptor. Vertex data, the bulk of a mesh, goes straight to
// its registers: it cannot name a missing register nor change the drawing setup.
void Gs::packed(const Qword& q, u8 descriptor)
{
    switch (descriptor) {
    case 0x0: // PRIM
        writeRegister(PRIM, Field(q.lo, 0, 11));
        break;
    case 0x1: { // RGBAQ: Q comes from the latch, not from the qword
        const u64 value = Field(q.lo, 0, 8) | Field(q.lo, 32, 8) << 8 | Field(q.hi, 0, 8) << 16 |
                          Field(q.hi, 32, 8) << 24 | u64{BitCast<u32>(q_)} << 32;
        regs_.raw[RGBAQ] = value;
        decodeRgbaq(value);
        break;
    }
    case 0x2: // ST: the third word goes to the Q latch
        writeRegister(ST, q.lo);
        std::memcpy(&q_, &q.hi, sizeof q_);
        break;
    case 0x3: { // UV
        const u64 value = Field(q.lo, 0, 14) | Field(q.lo, 32, 14) << 16;
        regs_.raw[UV] = value;
        decodeUv(value);
        break;
    }
    case 0x4: case 0xC: { // XYZF2, XYZF3; ADC set means no drawing kick
        const bool noKick = descriptor == 0xC || Field(q.hi, 47, 1);
        writeRegister(noKick ? XYZF3 : XYZF2, Field(q.lo, 0, 16) | Field(q.lo, 32, 16) << 16 |
                                                  Field(q.hi, 4, 24) << 32 | Field(q.hi, 36, 8) << 56);
        break;
    }
    case 0x5: case 0xD: { // XYZ2, XYZ3
        const bool noKick = descriptor == 0xD || Field(q.hi, 47, 1);
        const u64 value = Field(q.lo, 0, 16) | Field(q.lo, 32, 16) << 16 | Field(q.hi, 0, 32) << 32;
        regs_.raw[noKick ? XYZ3 : XYZ2] = value;
        decodeXyz(value, !noKick);
        break;
    }
    case 0x6: writeRegister(TEX0_1, q.lo); break;
    case 0x7: writeRegister(TEX0_2, q.lo); break;
    case 0x8: writeRegister(CLAMP_1, q.lo); break;
    case 0x9: writeRegister(CLAMP_2, q.lo); break;
    case 0xA: // FOG
        writeRegister(FOG, Field(q.hi, 36, 8) << 56);
        break;
    case 0xE: // A+D: the register number travels with the data
        writeRegister(static_cast<u8>(Field(q.hi, 0, 8)), q.lo);
        break;
    case 0xF: // NOP
        break;
    default:
        log_.message("GIF: reserved PACKED descriptor " + console::Hex(descriptor) + " ignored");
        break;
    }
}

// One REGLIST dword, written as it is; A+D and NOP descriptors write nothing here.
void Gs::reglist(u64 data, u8 descriptor)
{
    if (descriptor == 0xE || descriptor == 0xF) return;
    writeRegister(descriptor, data);
}

} // namespace gs
