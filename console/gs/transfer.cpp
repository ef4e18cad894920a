#include "console/gs/gs.h"

namespace gs {
namespace {

bool Is32Bit(u8 psm) { return psm == PSMCT32 || psm == PSMZ32; }

} // namespace

// Writing TRXDIR starts a transfer with the BITBLTBUF, TRXPOS and TRXREG of that moment.
void Gs::startTransfer(u8 direction)
{
    host_ = HostTransfer{};
    const BitBltBuf& buf = regs_.bitbltbuf;
    switch (direction) {
    case 0: // host to local: the data follows as IMAGE qwords or HWREG writes
        if (!Is32Bit(buf.dpsm)) {
            log_.message("GS: host-to-local transfer into format " + console::Hex(buf.dpsm) + " is not modelled");
            return;
        }
        if (regs_.trxreg.rrw == 0 || regs_.trxreg.rrh == 0) return;
        host_ = {true, false, 0, 0, regs_.trxreg.rrw, regs_.trxreg.rrh, buf.dbp, buf.dbw, regs_.trxpos.dsax,
                 regs_.trxpos.dsay, LayoutFor(buf.dpsm)};
        if (band_.meeting) {
            // The console's side writes the image; until the sides next meet, nothing else may use its pages.
            const Pages pages = BlockPagesUpTo(buf.dbp, buf.dbw, host_.dsax + host_.width - 1,
                                               host_.dsay + host_.height - 1);
            recordOrMeet([&] { return band_.hazards.write(pages, kImageShape); });
        }
        break;
    case 1:
        log_.message("GS: local-to-host transfers are not modelled");
        break;
    case 2:
        // A copy may read what either side drew and write rows of both.
        aloneOnConsoleSide(&Gs::localToLocal);
        break;
    default: // deactivated
        break;
    }
}

// Host-to-local data: two 32-bit pixels per 64 bits, row by row through the rectangle.
void Gs::transferData(u64 data)
{
    for (const u32 pixel : {static_cast<u32>(data), static_cast<u32>(data >> 32)}) {
        if (!host_.active) {
            log_.message(host_.full ? "GS: image data beyond the transfer rectangle ignored"
                                    : "GS: image data with no host-to-local transfer started ignored");
            return;
        }
        if (band_.console)
            memory_.write(host_.layout->address(host_.dbp, host_.dbw, host_.dsax + host_.x, host_.dsay + host_.y), pixel);
        if (++host_.x == host_.width) {
            host_.x = 0;
            if (++host_.y == host_.height) {
                host_.active = false;
                host_.full = true;
            }
        }
    }
}

// A rectangle copied inside local memory, in the scan direction TRXPOS.DIR asks for.
void Gs::localToLocal()
{
    const BitBltBuf& buf = regs_.bitbltbuf;
    if (!Is32Bit(buf.spsm) || !Is32Bit(buf.dpsm)) {
        log_.message("GS: local-to-local transfer between formats " + console::Hex(buf.spsm) + " and " +
                     console::Hex(buf.dpsm) + " is not modelled");
        return;
    }
    const Layout32& src = *LayoutFor(buf.spsm);
    const Layout32& dst = *LayoutFor(buf.dpsm);
    const TrxPos& pos = regs_.trxpos;
    const u32 w = regs_.trxreg.rrw, h = regs_.trxreg.rrh;
    const bool upward = (pos.dir & 1) != 0, leftward = (pos.dir & 2) != 0;
    for (u32 j = 0; j < h; ++j) {
        const u32 y = upward ? h - 1 - j : j;
        for (u32 i = 0; i < w; ++i) {
            const u32 x = leftward ? w - 1 - i : i;
            memory_.write(dst.address(buf.dbp, buf.dbw, pos.dsax + x, pos.dsay + y),
                          memory_.read(src.address(buf.sbp, buf.sbw, pos.ssax + x, pos.ssay + y)));
        }
    }
}

} // namespace gs
