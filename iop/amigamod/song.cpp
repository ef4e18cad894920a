#include "song.h"

namespace amigamod {

Song OpenSong(const IopServices& iop, std::span<const u8> bytes)
{
    if (bytes.empty())
        return nullptr;
    // libopenmpt would otherwise log to the host's standard error; the one line a failure deserves is the caller's.
    Song song(openmpt_module_create_from_memory2(bytes.data(), bytes.size(), openmpt_log_func_silent, nullptr,
                                                 openmpt_error_func_ignore, nullptr, nullptr, nullptr, nullptr));
    if (!song)
        return song;
    if (!openmpt_module_ctl_set_boolean(song.get(), "render.resampler.emulate_amiga", 1))
        iop.print("AMIGAMOD: the Amiga resampler is not available, the song plays through the default one");
    // No dither: its noise is random, and the same song should always give the same sound.
    openmpt_module_ctl_set_integer(song.get(), "dither", 0);
    openmpt_module_set_repeat_count(song.get(), -1);
    return song;
}

} // namespace amigamod
