#pragma once

#include "iop/irx.h"

namespace amigamod {

inline constexpr u32 kServerId = 0x0BADCA11;
inline constexpr u32 kFullVolume = 16383;

// Function numbers of the player's RPC server.
enum Function : s32 {
    kInit = 0x10,
    kLoad = 0x20,
    kPlay = 0x80,
    kStop = 0x90,
    kSetVolume = 0x110,
    kGetInfo = 0x210,
    kQuit = 0x810,
    kBlock = 0x900,
};

} // namespace amigamod
