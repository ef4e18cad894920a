#include "console/dmac/dmac.h"

namespace dmac {
namespace {

constexpr u32 kChcrDir = 1u << 0;
constexpr u32 kChcrStr = 1u << 8;
constexpr u32 kCtrlDmae = 1u << 0;
constexpr u32 kStatGif = 1u << 2;

} // namespace

Dmac::Dmac(gs::Gs& gs, console::Log& log) : gs_(gs), log_(log) {}

bool Dmac::handles(u32 address) const
{
    return (address >= D2_CHCR && address <= D2_SADR) || (address >= D_CTRL && address <= D_STADR);
}

u64 Dmac::read(u32 address) const
{
    switch (address) {
    case D2_CHCR: return chcr_;
    case D2_MADR: return madr_;
    case D2_QWC: return qwc_;
    case D2_TADR: return tadr_;
    case D2_ASR0: return asr0_;
    case D2_ASR1: return asr1_;
    case D2_SADR: return sadr_;
    case D_CTRL: return ctrl_;
    case D_STAT: return stat_;
    case D_PCR: return pcr_;
    case D_SQWC: return sqwc_;
    case D_RBSR: return rbsr_;
    case D_RBOR: return rbor_;
    case D_STADR: return stadr_;
    default: return 0;
    }
}

void Dmac::write(u32 address, u64 value)
{
    const u32 v = static_cast<u32>(value);
    switch (address) {
    case D2_CHCR: // direction, mode and STR; setting STR starts the channel
        chcr_ = v;
        run();
        break;
    case D2_MADR: madr_ = value; break;              // memory address
    case D2_QWC: qwc_ = v & 0xFFFF; break;           // quadwords left
    case D2_TADR: tadr_ = v; break;                  // chain tag address
    case D2_ASR0: asr0_ = v; break;                  // chain call stack
    case D2_ASR1: asr1_ = v; break;
    case D2_SADR: sadr_ = v; break;                  // scratchpad address, unused by this channel
    case D_CTRL: // DMAE enables every channel; a channel that waited for it starts now
        ctrl_ = v;
        run();
        break;
    case D_STAT: // low half: writing 1 clears a status bit; high half: writing 1 flips a mask bit
        stat_ = (stat_ & ~(v & 0xFFFF)) ^ (v & 0xFFFF0000u);
        break;
    case D_PCR: pcr_ = v; break;                     // priority control
    case D_SQWC: sqwc_ = v; break;                   // interleave sizes
    case D_RBSR: rbsr_ = v; break;                   // memory FIFO ring size
    case D_RBOR: rbor_ = v; break;                   // memory FIFO ring base
    case D_STADR: stadr_ = v; break;                 // stall address
    default: break;
    }
}

// Runs channel 2 when it is started and DMA is enabled.
void Dmac::run()
{
    if (!(chcr_ & kChcrStr) || !(ctrl_ & kCtrlDmae)) return;
    const u32 mode = (chcr_ >> 2) & 3;
    if (mode != 0) {
        log_.message("DMAC: channel 2 chain and interleave modes are not modelled; transfer dropped");
    } else if (!(chcr_ & kChcrDir)) {
        log_.message("DMAC: channel 2 transfers towards memory are not modelled; transfer dropped");
    } else if (qwc_ != 0) {
        if (madr_ == 0) {
            log_.message("DMAC: channel 2 started with a null address; transfer dropped");
        } else {
            // The channel reads whole quadwords; the low four address bits are ignored.
            const auto* data = reinterpret_cast<const gs::Qword*>(madr_ & ~u64{15});
            if (observer_) observer_->transferStarts(data, qwc_, madr_ & ~u64{15});
            gs_.transfer(data, qwc_);
            madr_ = (madr_ & ~u64{15}) + u64{qwc_} * 16;
            qwc_ = 0;
        }
    }
    chcr_ &= ~kChcrStr;
    stat_ |= kStatGif;
}

} // namespace dmac
