#pragma once

#include <array>
#include <cstdio>

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

// Word `index` of a request, little-endian, or 0 when the request is shorter.
inline u32 RequestWord(const u8* data, s32 size, u32 index)
{
    if (!data || size < 0 || static_cast<u32>(size) < 4 * (index + 1))
        return 0;
    const u8* word = data + 4 * index;
    return u32{word[0]} | u32{word[1]} << 8 | u32{word[2]} << 16 | u32{word[3]} << 24;
}

// The reply to a call: 16 little-endian words.
using Reply = std::array<u8, 64>;

inline void PutReplyWord(Reply& reply, u32 index, s32 value)
{
    const u32 word = static_cast<u32>(value);
    for (u32 byte = 0; byte < 4; ++byte)
        reply[4 * index + byte] = static_cast<u8>(word >> (8 * byte));
}

// The answer to a function the player does not have: one line on the IOP's output and -1 in reply word 0.
inline void RefuseUnknownFunction(const IopServices& iop, Reply& reply, s32 function)
{
    char line[64];
    std::snprintf(line, sizeof line, "AMIGAMOD: unknown function 0x%x", static_cast<u32>(function));
    iop.print(line);
    PutReplyWord(reply, 0, -1);
}

} // namespace amigamod
