#include "music/music.h"

#include <cstdarg>
#include <cstdio>

#include "core/file.h"
#include "music/amigamod.h"
#include "ps2/loadfile.h"
#include "ps2/sif_rpc.h"

alignas(64) u8 SongBuffer[SONG_BUFFER_SIZE];
u32 SongAddress;
u32 SongSize;

static const char PlayerPath[] = "host:AMIGAMOD.IRX";

// Say on stderr why there is no music; the demo runs on without it.
[[gnu::format(printf, 1, 2)]] static int NoMusic(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    std::fputs("MusicInit: ", stderr);
    std::vfprintf(stderr, format, args);
    std::fputs("; running without music\n", stderr);
    va_end(args);
    return -1;
}

// Read the whole song into SongBuffer; its size, or -1 after saying what is wrong.
static int ReadSong(const char* path)
{
    const int fd = OrbFileOpen(path, 0);
    if (fd < 0) return NoMusic("cannot open %s (error %d)", path, fd);
    const int size = OrbFileSize(fd);
    SongAddress = static_cast<u32>(reinterpret_cast<DmaAddress>(SongBuffer));
    SongSize = static_cast<u32>(size);
    int read = 0;
    if (size > 0 && static_cast<u32>(size) <= SONG_BUFFER_SIZE) read = OrbFileRead(fd, SongBuffer, size);
    OrbFileClose(fd);
    if (size <= 0) return NoMusic("%s is empty", path);
    if (static_cast<u32>(size) > SONG_BUFFER_SIZE)
        return NoMusic("%s is %d bytes, more than the %u the song buffer holds", path, size, SONG_BUFFER_SIZE);
    if (read != size) return NoMusic("cannot read %s (read %d of %d bytes)", path, read, size);
    return size;
}

int MusicInit(const char* path)
{
    SifInitRpc(0);
    SifLoadFileInit();
    SifLoadModule("rom0:LIBSD", 0, nullptr);
    const int player = SifLoadModule(PlayerPath, 0, nullptr);
    const int size = ReadSong(path);
    if (player < 0) return NoMusic("cannot load the player %s (error %d)", PlayerPath, player);
    if (size < 0) return size;
    amigaModInit(0);
    const int result = amigaModLoad(SongBuffer, static_cast<u32>(size));
    if (result < 0) return NoMusic("the player cannot take %s (error %d)", path, result);
    return result;
}

void MusicPlay()
{
    amigaModPlay(0);
    amigaModSetVolume(16383);
}

void MusicStop()
{
    amigaModStop();
    amigaModSetVolume(0);
}

void MusicSetVolume(u32 volume) { amigaModSetVolume(volume & 0xFFFF); }
