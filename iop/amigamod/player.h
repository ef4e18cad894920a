#pragma once

#include <vector>

#include "iop/irx.h"
#include "rpc.h"
#include "song.h"
#include "song_stream.h"

namespace amigamod {

// The player: the song it holds (rendered ahead of the output), whether it plays, the output gain and the
// reply to the last call. Volume and stops apply to the sound as the output takes it, so they reach the same
// sample as if the song were rendered then. Ending it removes its server and stops its sound output.
class Player {
public:
    explicit Player(const IopServices& iop) : iop_(iop) {}
    ~Player();
    Player(const Player&) = delete;
    Player& operator=(const Player&) = delete;

    // Registers the RPC server; false when its id is taken.
    bool serve();
    // Serves one RPC call of `size` request bytes; returns the reply (64 bytes of little-endian words).
    void* call(s32 function, const u8* data, s32 size);
    // Writes `frames` stereo frames of the playing song, or silence.
    void fill(s16* samples, u32 frames);

private:
    void init();
    s32 load(u32 address);
    s32 play();
    void setVolume(u32 volume);
    void getInfo();
    void reply(u32 index, s32 value);

    IopServices iop_; // a copy: the loader need not keep its own
    SongStream song_;
    std::vector<u8> songBytes_; // the loaded song's, to open it anew at each play
    bool serving_ = false;
    bool playing_ = false;
    bool outputOn_ = false;
    u32 volume_ = kFullVolume;
    Reply reply_{};
};

} // namespace amigamod
