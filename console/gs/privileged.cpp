#include "console/gs/band_thread.h"

namespace gs {
namespace {

u32 Field(u64 value, unsigned first, unsigned count)
{
    return static_cast<u32>((value >> first) & ((u64{1} << count) - 1));
}

} // namespace

void Gs::writePrivileged(u32 offset, u64 value)
{
    if (observer_) observer_->privilegedWrite(offset, value);
    switch (offset) {
    case PMODE: // read circuit enables and merge
        pmode_ = value;
        break;
    case SMODE1: // timing, set by the kernel; kept only
        smode1_ = value;
        break;
    case SMODE2: // interlace and field/frame mode
        smode2_ = value;
        break;
    case DISPFB1: case DISPFB2: { // read circuit buffer
        const int n = offset == DISPFB1 ? 0 : 1;
        dispfb_[n] = value;
        DisplayCircuit& c = circuits_[n];
        c.fbp = Field(value, 0, 9);
        c.fbw = Field(value, 9, 6);
        c.psm = static_cast<u8>(Field(value, 15, 5));
        c.dbx = Field(value, 32, 11);
        c.dby = Field(value, 43, 11);
        break;
    }
    case DISPLAY1: case DISPLAY2: { // read circuit position and size on the screen
        const int n = offset == DISPLAY1 ? 0 : 1;
        display_[n] = value;
        DisplayCircuit& c = circuits_[n];
        c.dx = Field(value, 0, 12);
        c.dy = Field(value, 12, 11);
        c.magh = Field(value, 23, 4);
        c.magv = Field(value, 27, 2);
        c.dw = Field(value, 32, 12);
        c.dh = Field(value, 44, 11);
        break;
    }
    case BGCOLOR: // merge background
        bgcolor_ = value;
        break;
    case CSR: // writing 1 clears an event; RESET resets the registers but not memory
        csr_ &= ~(value & (kCsrSignal | kCsrFinish | kCsrHsint | kCsrVsint | kCsrEdwint));
        if (value & kCsrReset) reset();
        break;
    case IMR: // interrupt masks; no handler is modelled, the events still show in CSR
        imr_ = value;
        break;
    case BUSDIR: // host interface direction
        busdir_ = value;
        break;
    case SIGLBLID:
        siglblid_ = value;
        break;
    case SRFSH: case SYNCH1: case SYNCH2: case SYNCV: case EXTBUF: case EXTDATA: case EXTWRITE:
        break; // timing and external input; nothing here reads them
    default:
        log_.message("GS: write to privileged offset " + console::Hex(offset) + " ignored (no such register)");
        break;
    }
}

u64 Gs::readPrivileged(u32 offset) const
{
    switch (offset) {
    case CSR: return csr_;
    case SIGLBLID: return siglblid_;
    default: return 0; // the other privileged registers are write-only
    }
}

PrivilegedState Gs::privilegedState() const
{
    return {crtInterlace_, crtMode_, crtFfmd_,
            {{PMODE, pmode_}, {SMODE1, smode1_}, {SMODE2, smode2_}, {DISPFB1, dispfb_[0]}, {DISPLAY1, display_[0]},
             {DISPFB2, dispfb_[1]}, {DISPLAY2, display_[1]}, {BGCOLOR, bgcolor_}, {IMR, imr_},
             {BUSDIR, busdir_}, {SIGLBLID, siglblid_}}};
}

void Gs::setCrtMode(u8 interlace, u8 mode, u8 ffmd)
{
    if (observer_) observer_->crtMode(interlace, mode, ffmd);
    crtInterlace_ = interlace;
    crtMode_ = mode;
    crtFfmd_ = ffmd;
    smode2_ = (interlace & 1) | (u64{ffmd & 1u} << 1);
}

void Gs::vblank()
{
    if (observer_) observer_->vblank();
    if (bandThread_) {
        const int split = bandThread_->balance();
        if (band_.y1 != split - 1) {
            band_.y1 = split - 1;
            setupValid_ = false;
        }
    }
    // VSINT is set at the start of each vertical blank; the field counter toggles.
    csr_ |= kCsrVsint;
    csr_ ^= kCsrNfield;
}

void Gs::reset()
{
    if (bandThread_) {
        drainBands();
        bandThread_->resetSide();
    }
    band_.hazards.clear();
    regs_ = Registers{};
    setupValid_ = false;
    gif_ = GifPath{};
    host_ = HostTransfer{};
    q_ = 1.0f;
    queued_ = 0;
    pmode_ = smode2_ = bgcolor_ = 0;
    dispfb_ = {};
    display_ = {};
    circuits_ = {};
    csr_ = (csr_ & kCsrNfield) | kCsrFifoEmpty;
}

} // namespace gs
