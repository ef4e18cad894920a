#include "console/dump/gs_snapshot.h"

#include <vector>

namespace console {
namespace {

using gs::Qword;
using gs::u32;
using gs::u64;

constexpr u64 kPackedAd = 0x1000000000008000ull; // PACKED, NREG 1, EOP
constexpr u64 kImage = 0x0800000000008000ull;    // IMAGE, EOP
constexpr u32 kPageWords = 2048;

// Registers whose write starts something (drawing, a transfer, an event) rather than only holding a value.
bool Acts(u32 reg)
{
    switch (reg) {
    case gs::XYZF2: case gs::XYZ2: case gs::XYZF3: case gs::XYZ3: case gs::TEXFLUSH: case gs::TRXDIR:
    case gs::HWREG: case gs::SIGNAL: case gs::FINISH: case gs::LABEL: case gs::TEX2_1: case gs::TEX2_2:
        return true;
    default:
        return false;
    }
}

void SendAd(gs::Observer& out, const std::vector<std::pair<u32, u64>>& writes)
{
    std::vector<Qword> packet;
    packet.push_back({kPackedAd | writes.size(), 0xE});
    for (const auto& [reg, value] : writes) packet.push_back({value, reg});
    out.gifTransfer(packet.data(), static_cast<u32>(packet.size()));
}

} // namespace

void WriteSnapshot(const gs::Gs& gs, gs::Observer& out)
{
    const gs::PrivilegedState p = gs.privilegedState();
    out.crtMode(p.interlace, p.mode, p.ffmd);
    for (const auto& [offset, value] : p.writable) out.privilegedWrite(offset, value);

    // Memory first, page by page: a 64 x 32 PSMCT32 rectangle with buffer width 1 covers one page exactly.
    const gs::LocalMemory& memory = gs.memory();
    std::vector<Qword> image(1 + kPageWords / 4);
    for (u32 page = 0; page < gs::kMemoryWords / kPageWords; ++page) {
        const u32* words = memory.data() + page * kPageWords;
        bool empty = true;
        for (u32 i = 0; i < kPageWords && empty; ++i) empty = words[i] == 0;
        if (empty) continue;
        SendAd(out, {{gs::BITBLTBUF, u64{page * 32} << 32 | u64{1} << 48}, {gs::TRXPOS, 0},
                     {gs::TRXREG, 64 | u64{32} << 32}, {gs::TRXDIR, 0}});
        image[0] = {kImage | kPageWords / 4, 0};
        for (u32 y = 0, n = 0; y < 32; ++y)
            for (u32 x = 0; x < 64; x += 2, ++n) {
                const u64 lo = memory.read(gs::kLayoutC32.address(page * 32, 1, x, y));
                const u64 hi = memory.read(gs::kLayoutC32.address(page * 32, 1, x + 1, y));
                (n % 2 == 0 ? image[1 + n / 2].lo : image[1 + n / 2].hi) = lo | hi << 32;
            }
        out.gifTransfer(image.data(), static_cast<u32>(image.size()));
    }

    // Then every register that only holds a value, PRIM last so the vertex queue starts empty.
    const gs::Registers& r = gs.registers();
    std::vector<std::pair<u32, u64>> writes;
    for (u32 reg = 1; reg < r.raw.size(); ++reg)
        if (!Acts(reg) && gs::IsRegister(reg)) writes.emplace_back(reg, r.raw[reg]);
    writes.emplace_back(gs::PRIM, r.raw[gs::PRIM]);
    SendAd(out, writes);
}

} // namespace console
