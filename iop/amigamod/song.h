#pragma once

#include <memory>
#include <span>

#include <libopenmpt/libopenmpt.h>

#include "iop/irx.h"

namespace amigamod {

inline constexpr s32 kSampleRate = 48000;

struct SongDeleter {
    void operator()(openmpt_module* song) const { openmpt_module_destroy(song); }
};
using Song = std::unique_ptr<openmpt_module, SongDeleter>;

// Opens the module in `bytes` to play endlessly through the Amiga resampler; null when it is not a module
// it can play. The bytes may go once it returns.
Song OpenSong(const IopServices& iop, std::span<const u8> bytes);

} // namespace amigamod
