#pragma once

#include <cstdint>

#include "console/clock.h"
#include "console/dmac/dmac.h"
#include "console/gs/gs.h"
#include "console/host.h"
#include "console/iop/iop.h"
#include "console/pad/controller.h"

namespace console {

// Thrown out of the program when the machine was told to stop after a number of fields.
struct Halt {};

// Thrown out of the program when its only thread went to sleep with nobody left to wake it.
struct Asleep {};

// The console the program runs on: its hardware registers, kernel calls and vertical blank clock.
// One machine is installed at a time; the program's register accesses and kernel calls go to it.
class Machine {
public:
    Machine(Host& host, VblankClock& clock);
    ~Machine();
    Machine(const Machine&) = delete;
    Machine& operator=(const Machine&) = delete;

    static Machine& current();

    // Bus access from the EE.
    std::uint64_t read(std::uint32_t address, unsigned width);
    void write(std::uint32_t address, std::uint64_t value, unsigned width);

    // Kernel calls.
    void setGsCrt(std::int16_t interlace, std::int16_t mode, std::int16_t ffmd);
    std::uint64_t putImr(std::uint64_t imr);
    void flushCache() { dmac_.flushCache(); }
    void sleepThread();

    // Stops the program (throws Halt) once this many fields have been shown; 0 never stops.
    void setFieldLimit(std::uint64_t fields) { fieldLimit_ = fields; }
    std::uint64_t fields() const { return fields_; }
    // Vertical blanks that came while the program was busy rather than waiting for them, from its first wait
    // on (wall clock only).
    std::uint64_t lateFields() const { return lateFields_; }

    gs::Gs& gs() { return gs_; }
    dmac::Dmac& dmac() { return dmac_; }
    iop::Iop& iop() { return iop_; }
    pad::Controller& controller() { return controller_; }
    Host& host() { return host_; }

private:
    void catchUp();
    void vblank();
    void passSound();

    Host& host_;
    VblankClock& clock_;
    gs::Gs gs_;
    dmac::Dmac dmac_;
    iop::Iop iop_;
    pad::Controller controller_;
    bool soundPending_ = false; // a field's sound is being made
    OnceLog log_;
    Machine* previous_;
    std::uint64_t fields_ = 0;
    std::uint64_t lateFields_ = 0;
    bool waited_ = false; // the program has waited for a blank: start-up is over
    std::uint64_t fieldLimit_ = 0;
    bool csrPolled_ = false; // the last access was a CSR read that found no vertical blank
};

} // namespace console
