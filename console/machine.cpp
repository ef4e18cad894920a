#include "console/machine.h"

#include <stdexcept>

#include "console/gs/band_thread.h"
#include "ps2/hwreg.h"
#include "ps2/kernel.h"

namespace console {
namespace {

constexpr std::uint32_t kGsBase = 0x12000000;
constexpr std::uint32_t kGsEnd = 0x12002000;
constexpr std::uint32_t kBootRomRegion = 0x1FC7FF52;

Machine* installed = nullptr;

} // namespace

void Field::read(Picture& out) const { gs_.readPicture(out); }

Machine::Machine(Host& host, VblankClock& clock)
    : host_(host), clock_(clock), gs_(host), dmac_(gs_, host), iop_(host), log_(host), previous_(installed)
{
    installed = this;
    if (gs::BandThreadPays()) gs_.shareRows();
}

Machine::~Machine()
{
    // The last field's sound, when the program stopped between blanks.
    passSound();
    installed = previous_;
}

Machine& Machine::current()
{
    if (!installed) throw std::logic_error("no console machine is installed");
    return *installed;
}

std::uint64_t Machine::read(std::uint32_t address, unsigned width)
{
    catchUp();
    const bool polled = csrPolled_;
    csrPolled_ = false;
    if (address == kGsBase + gs::CSR) {
        // A program that reads CSR again without finding a blank is waiting for one: it comes now.
        if (!gs_.vsintPending()) {
            if (polled) {
                waited_ = true;
                clock_.waitForVblank();
                vblank();
            } else {
                csrPolled_ = true;
            }
        }
        return gs_.readPrivileged(gs::CSR);
    }
    if (address >= kGsBase && address < kGsEnd) return gs_.readPrivileged(address - kGsBase);
    if (dmac_.handles(address)) return dmac_.read(address);
    if (address == kBootRomRegion) return 'E'; // a PAL console
    log_.message("EE: read of " + std::to_string(width) + " bytes at unmapped address " + Hex(address));
    return 0;
}

void Machine::write(std::uint32_t address, std::uint64_t value, unsigned width)
{
    catchUp();
    csrPolled_ = false;
    if (address >= kGsBase && address < kGsEnd) {
        gs_.writePrivileged(address - kGsBase, value);
    } else if (dmac_.handles(address)) {
        dmac_.write(address, value);
    } else {
        log_.message("EE: write of " + std::to_string(width) + " bytes to unmapped address " + Hex(address));
    }
}

void Machine::setGsCrt(std::int16_t interlace, std::int16_t mode, std::int16_t ffmd)
{
    catchUp();
    gs_.setCrtMode(static_cast<std::uint8_t>(interlace), static_cast<std::uint8_t>(mode),
                   static_cast<std::uint8_t>(ffmd));
}

std::uint64_t Machine::putImr(std::uint64_t imr)
{
    catchUp();
    const std::uint64_t previous = gs_.imr();
    gs_.writePrivileged(gs::IMR, imr);
    return previous;
}

// The program has one thread: once it sleeps nothing can wake it, so the run ends.
void Machine::sleepThread()
{
    log_.message("EE: the program's only thread went to sleep with nobody to wake it; stopping");
    passSound();
    throw Asleep{};
}

// Delivers the vertical blanks that the wall clock brought since the last access.
void Machine::catchUp()
{
    for (std::uint32_t n = clock_.due(); n != 0; --n) {
        if (waited_) ++lateFields_;
        vblank();
    }
}

// Each field's sound is made while the next frame runs and handed on at the next blank, after its picture.
void Machine::vblank()
{
    gs_.vblank();
    controller_.setInput(host_.controllerInput());
    passSound();
    host_.field(Field(fields_, gs_));
    iop_.startField();
    soundPending_ = true;
    ++fields_;
    if (fieldLimit_ != 0 && fields_ >= fieldLimit_) {
        passSound();
        throw Halt{};
    }
}

void Machine::passSound()
{
    if (!soundPending_) return;
    soundPending_ = false;
    host_.sound(iop_.finishField());
}

} // namespace console

u64 HwRead(u32 address, unsigned width) { return console::Machine::current().read(address, width); }

void HwWrite(u32 address, u64 value, unsigned width) { console::Machine::current().write(address, value, width); }

void SetGsCrt(s16 interlace, s16 mode, s16 ffmd) { console::Machine::current().setGsCrt(interlace, mode, ffmd); }

u64 GsPutIMR(u64 imr) { return console::Machine::current().putImr(imr); }

// The model has no data cache: DMA reads what the program wrote. A checker may still want to know.
void FlushCache(s32)
{
    if (console::installed) console::installed->flushCache();
}

s32 SleepThread()
{
    console::Machine::current().sleepThread();
    return 0;
}
