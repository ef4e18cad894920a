#pragma once

#include <span>

#include "iop/irx.h"

namespace amigamod {

// The bytes of the song block at `address` (as many as its module header names, but never more than the heap
// block or IOP memory holds from there) and the count the header names.
struct SongBytes {
    std::span<const u8> bytes;
    u32 named;
};

SongBytes SongBlock(const IopServices& iop, u32 address);

// The player's lines about a song block: that it holds less than its header names (when it does), and that
// it is not a module the player can play.
void SayIfCutShort(const IopServices& iop, u32 address, const SongBytes& block);
void SayNotAModule(const IopServices& iop, u32 address);

} // namespace amigamod
