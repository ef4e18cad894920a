// The pad library's calls, served by the controller model of the installed machine.
#include <cstdint>

#include "console/machine.h"
#include "ps2/libpad.h"

namespace {

// What padInit reports when it cannot bind.
constexpr s32 kNoRpc = -3;
constexpr s32 kNoPadman = -1;

constexpr std::uintptr_t kAreaAlignment = 64;

// The controller behind (port, slot), brought to the machine's time; null when the library is not bound or
// nothing is wired there (this console has one controller, in port 0, slot 0).
pad::Controller* Pad(s32 port, s32 slot)
{
    console::Machine& machine = console::Machine::current();
    pad::Controller& controller = machine.controller();
    if (port != 0 || slot != 0 || !controller.initialised()) return nullptr;
    controller.advance(machine.fields());
    return &controller;
}

} // namespace

s32 padInit(s32)
{
    console::Machine& machine = console::Machine::current();
    if (!machine.iop().rpcUp()) return kNoRpc;
    if (!machine.iop().libraryLoaded("padman")) return kNoPadman;
    machine.controller().initialise();
    return 1;
}

s32 padPortOpen(s32 port, s32 slot, void* padArea)
{
    pad::Controller* pad = Pad(port, slot);
    if (!pad || !padArea || reinterpret_cast<std::uintptr_t>(padArea) % kAreaAlignment != 0) return 0;
    pad->open();
    return 1;
}

s32 padGetState(s32 port, s32 slot)
{
    pad::Controller* pad = Pad(port, slot);
    if (!pad || !pad->isOpen()) return PAD_STATE_DISCONN;
    return static_cast<s32>(pad->readState());
}

s32 padInfoMode(s32 port, s32 slot, s32 infoMode, s32 index)
{
    const pad::Controller* pad = Pad(port, slot);
    if (!pad) return 0;
    switch (infoMode) {
    case PAD_MODECURID:
        return pad->modeId();
    case PAD_MODECUREXID:
        return pad->extendedId();
    case PAD_MODETABLE: {
        const auto table = pad->modeTable();
        if (index == -1) return static_cast<s32>(table.size());
        if (index < 0 || static_cast<std::size_t>(index) >= table.size()) return 0;
        return table[static_cast<std::size_t>(index)];
    }
    default:
        return 0;
    }
}

s32 padSetMainMode(s32 port, s32 slot, s32 mode, s32 lock)
{
    pad::Controller* pad = Pad(port, slot);
    return pad && pad->setMainMode(mode, lock) ? 1 : 0;
}

s32 padInfoPressMode(s32 port, s32 slot)
{
    const pad::Controller* pad = Pad(port, slot);
    return pad && pad->pressureCapable() ? 1 : 0;
}

s32 padEnterPressMode(s32 port, s32 slot)
{
    pad::Controller* pad = Pad(port, slot);
    return pad && pad->enterPressMode() ? 1 : 0;
}

s32 padInfoAct(s32 port, s32 slot, s32 actuator, s32)
{
    const pad::Controller* pad = Pad(port, slot);
    // The motors' own details are not modelled; only their number is.
    return pad && actuator == -1 ? pad->actuators() : 0;
}

s32 padSetActAlign(s32 port, s32 slot, const u8* align)
{
    pad::Controller* pad = Pad(port, slot);
    if (!pad || !align) return 0;
    pad::ActAlign bytes;
    for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = align[i];
    return pad->setActAlign(bytes) ? 1 : 0;
}

u32 padRead(s32 port, s32 slot, padButtonStatus* data)
{
    if (!data) return 0;
    const pad::Controller* pad = Pad(port, slot);
    if (!pad) {
        *data = pad::NoReading();
        return 0;
    }
    return pad->read(*data) ? 1 : 0;
}
