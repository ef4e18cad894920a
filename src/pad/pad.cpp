#include "pad/pad.h"

#include <cstdio>

#include "gfx/frame.h"
#include "ps2/gs_regs.h"
#include "ps2/kernel.h"
#include "ps2/libpad.h"
#include "ps2/loadfile.h"
#include "ps2/sif_rpc.h"

s32 PadReady = 0;
alignas(64) u8 PadArea[PAD_AREA_SIZE];
u8 PadActAlign[PAD_ACTUATOR_SLOTS];
s32 PadActuators = 0;

// Stop the program's thread; nothing is meant to wake it.
[[noreturn]] static void SleepForGood()
{
    for (;;) SleepThread();
}

// Wait until the pad has carried out its command, then for one vertical blank; false when the pad went away.
static bool WaitReady(int port, int slot)
{
    s32 state = padGetState(port, slot);
    while (state != PAD_STATE_STABLE) {
        GS_CSR = GS_CSR_VSINT;
        // A pad that is gone never becomes stable: give up instead of polling for ever.
        if (state == PAD_STATE_DISCONN || state == PAD_STATE_ERROR) return false;
        state = padGetState(port, slot);
    }
    PS2WaitVSync();
    return true;
}

int PadSetup()
{
    if (PadReady) return 0;

    SifInitRpc(0);
    const s32 bound = SifLoadFileInit();
    if (bound != 0) std::printf("PAD : _lf_bind: %d\n", bound);

    s32 id = SifLoadModule("rom0:XSIO2MAN", 0, nullptr);
    if (id < 0) {
        std::printf("sifLoadModule sio failed: %d\n", id);
        SleepForGood();
    }
    id = SifLoadModule("rom0:XPADMAN", 0, nullptr);
    if (id < 0) {
        std::printf("sifLoadModule pad failed: %d\n", id);
        SleepForGood();
    }

    const s32 init = padInit(0);
    if (init < 0) return init;

    const s32 opened = padPortOpen(0, 0, PadArea);
    if (opened == 0) {
        std::printf("padOpenPort failed: %d\n", opened);
        SleepForGood();
    }
    if (PadConfigure(0, 0) == 0) {
        std::printf("pad initalization failed!\n");
        SleepForGood();
    }

    PadReady = 1;
    return 0;
}

int PadConfigure(int port, int slot)
{
    s32 state = padGetState(port, slot);
    while (state != PAD_STATE_STABLE) {
        if (state == PAD_STATE_DISCONN) {
            std::printf("Pad(%d, %d) is disconnected\n", port, slot);
            return 0;
        }
        PS2WaitVSync();
        state = padGetState(port, slot);
    }

    std::printf("padInfoMode: %d\n", padInfoMode(port, slot, PAD_MODECURID, 0));
    if (padInfoMode(port, slot, PAD_MODECUREXID, 0) == 0) {
        std::printf("This is NOT a dual shock controller\n");
        std::printf("Did you forget to define RAM_PADMAN perhaps?\n");
        return 1;
    }

    std::printf("Enabling dual shock functions\n");
    const s32 mainMode = padSetMainMode(port, slot, PAD_MMODE_DUALSHOCK, PAD_MMODE_LOCK);
    std::printf("setMainMode dualshock (locked): %d\n", mainMode);

    if (!WaitReady(port, slot)) return 0;
    std::printf("infoPressMode: %d\n", padInfoPressMode(port, slot));

    if (!WaitReady(port, slot)) return 0;
    std::printf("enterPressMode: %d\n", padEnterPressMode(port, slot));

    if (!WaitReady(port, slot)) return 0;
    PadActuators = padInfoAct(port, slot, -1, 0);
    std::printf("# of actuators: %d\n", PadActuators);

    if (PadActuators != 0) {
        PadActAlign[0] = 0;
        PadActAlign[1] = 1;
        for (u32 i = 2; i < PAD_ACTUATOR_SLOTS; ++i) PadActAlign[i] = 0xFF;
        if (!WaitReady(port, slot)) return 0;
        std::printf("padSetActAlign: %d\n", padSetActAlign(port, slot, PadActAlign));
    } else {
        std::printf("Did not find any actuators.\n");
    }

    return WaitReady(port, slot) ? 1 : 0;
}
