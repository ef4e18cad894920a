#pragma once

#include <span>

#include "iop/amigamod/rpc.h"
#include "iop/irx.h"

namespace web {

// Where the page's player module sends the song and what the program asks of it: the page's sound worklet,
// which plays the song through libopenmpt on the browser's audio thread.
class SongSink {
public:
    struct Position {
        s32 order = 0, pattern = 0, row = 0, speed = 0;
    };

    virtual ~SongSink() = default;
    // The song's bytes; they may go once this returns.
    virtual void load(std::span<const u8> bytes) = 0;
    // From the start of the song.
    virtual void play() = 0;
    virtual void stop() = 0;
    // 0 (silent) to 16383 (full), as the player's volume call takes it.
    virtual void setVolume(u32 volume) = 0;
    virtual void unload() = 0;
    // Where the song is, as the worklet last told.
    virtual Position position() = 0;
};

// The MOD player module as the page links it in: the same RPC server, function numbers and replies as the
// module file, the song read from IOP memory the same way, but the sound made by the sink.
class WorkletPlayer {
public:
    WorkletPlayer(const IopServices& iop, SongSink& sink) : iop_(iop), sink_(sink) {}
    ~WorkletPlayer();
    WorkletPlayer(const WorkletPlayer&) = delete;
    WorkletPlayer& operator=(const WorkletPlayer&) = delete;

    // Registers the RPC server; false when its id is taken.
    bool serve();
    // Serves one RPC call of `size` request bytes; returns the reply (64 bytes of little-endian words).
    void* call(s32 function, const u8* data, s32 size);

private:
    s32 load(u32 address);
    void reply(u32 index, s32 value);

    IopServices iop_;
    SongSink& sink_;
    bool serving_ = false;
    bool loaded_ = false;
    amigamod::Reply reply_{};
};

// The module's entry points, for the IOP's table of linked modules; the player they start sends to `sink`.
void SetPlayerSink(SongSink* sink);
int PlayerStart(const IopServices* iop, int argc, char** argv);
void PlayerStop();
extern const char* const PlayerImports[];

} // namespace web
