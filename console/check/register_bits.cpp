#include "console/check/register_bits.h"

#include <cstdio>

namespace check {
namespace {

using u64 = std::uint64_t;

// Bits first..first+count-1 set.
constexpr u64 F(unsigned first, unsigned count)
{
    return (count >= 64 ? ~u64{0} : (u64{1} << count) - 1) << first;
}

constexpr u64 kAll = ~u64{0};

struct Entry {
    std::uint8_t reg;
    const char* name;
    u64 bits;
};

constexpr Entry kRegisters[] = {
    {0x00, "PRIM", F(0, 11)},
    {0x01, "RGBAQ", kAll},
    {0x02, "ST", kAll},
    {0x03, "UV", F(0, 14) | F(16, 14)},
    {0x04, "XYZF2", kAll},
    {0x05, "XYZ2", kAll},
    {0x06, "TEX0_1", kAll},
    {0x07, "TEX0_2", kAll},
    {0x08, "CLAMP_1", F(0, 44)},
    {0x09, "CLAMP_2", F(0, 44)},
    {0x0A, "FOG", F(56, 8)},
    {0x0C, "XYZF3", kAll},
    {0x0D, "XYZ3", kAll},
    {0x14, "TEX1_1", F(0, 1) | F(2, 8) | F(19, 2) | F(32, 12)},
    {0x15, "TEX1_2", F(0, 1) | F(2, 8) | F(19, 2) | F(32, 12)},
    // TEX2 takes only the format and palette fields of a TEX0 layout.
    {0x16, "TEX2_1", F(20, 6) | F(37, 27)},
    {0x17, "TEX2_2", F(20, 6) | F(37, 27)},
    {0x18, "XYOFFSET_1", F(0, 16) | F(32, 16)},
    {0x19, "XYOFFSET_2", F(0, 16) | F(32, 16)},
    {0x1A, "PRMODECONT", F(0, 1)},
    {0x1B, "PRMODE", F(3, 8)},
    {0x1C, "TEXCLUT", F(0, 22)},
    {0x22, "SCANMSK", F(0, 2)},
    {0x34, "MIPTBP1_1", F(0, 60)},
    {0x35, "MIPTBP1_2", F(0, 60)},
    {0x36, "MIPTBP2_1", F(0, 60)},
    {0x37, "MIPTBP2_2", F(0, 60)},
    {0x3B, "TEXA", F(0, 8) | F(15, 1) | F(32, 8)},
    {0x3D, "FOGCOL", F(0, 24)},
    {0x3F, "TEXFLUSH", kAll},
    {0x40, "SCISSOR_1", F(0, 11) | F(16, 11) | F(32, 11) | F(48, 11)},
    {0x41, "SCISSOR_2", F(0, 11) | F(16, 11) | F(32, 11) | F(48, 11)},
    {0x42, "ALPHA_1", F(0, 8) | F(32, 8)},
    {0x43, "ALPHA_2", F(0, 8) | F(32, 8)},
    {0x44, "DIMX", 0x7777777777777777ull},
    {0x45, "DTHE", F(0, 1)},
    {0x46, "COLCLAMP", F(0, 1)},
    {0x47, "TEST_1", F(0, 19)},
    {0x48, "TEST_2", F(0, 19)},
    {0x49, "PABE", F(0, 1)},
    {0x4A, "FBA_1", F(0, 1)},
    {0x4B, "FBA_2", F(0, 1)},
    {0x4C, "FRAME_1", F(0, 9) | F(16, 6) | F(24, 6) | F(32, 32)},
    {0x4D, "FRAME_2", F(0, 9) | F(16, 6) | F(24, 6) | F(32, 32)},
    {0x4E, "ZBUF_1", F(0, 9) | F(24, 4) | F(32, 1)},
    {0x4F, "ZBUF_2", F(0, 9) | F(24, 4) | F(32, 1)},
    {0x50, "BITBLTBUF", F(0, 14) | F(16, 6) | F(24, 6) | F(32, 14) | F(48, 6) | F(56, 6)},
    {0x51, "TRXPOS", F(0, 11) | F(16, 11) | F(32, 11) | F(48, 11) | F(59, 2)},
    {0x52, "TRXREG", F(0, 12) | F(32, 12)},
    {0x53, "TRXDIR", F(0, 2)},
    {0x54, "HWREG", kAll},
    {0x60, "SIGNAL", kAll},
    {0x61, "FINISH", kAll},
    {0x62, "LABEL", kAll},
    {0x7F, "NOP", kAll}, // the customary no-op address
};

const Entry* Find(std::uint8_t reg)
{
    for (const Entry& e : kRegisters)
        if (e.reg == reg) return &e;
    return nullptr;
}

} // namespace

std::optional<std::uint64_t> DefinedBits(std::uint8_t reg)
{
    if (const Entry* e = Find(reg)) return e->bits;
    return std::nullopt;
}

std::string RegisterName(std::uint8_t reg)
{
    if (const Entry* e = Find(reg)) return e->name;
    char text[8];
    std::snprintf(text, sizeof text, "0x%02x", reg);
    return text;
}

} // namespace check
