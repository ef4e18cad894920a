#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

#include "song.h"

namespace amigamod {

// Where a song stands: order, pattern, row and speed.
struct Position {
    s32 order = 0;
    s32 pattern = 0;
    s32 row = 0;
    s32 speed = 0;
};

// A song rendered ahead, on a thread of its own, so that the output takes a field's sound without waiting for
// it to be made. The song renders in chunks of one field, as LIBSD asks for it, so the sound is the same as
// rendering each field when it is asked for (the library's output depends on how it is cut into reads): the
// song advances only by the chunks rendered, and every stop or restart drops what was rendered but not taken.
// A restart takes the song opened anew: moving a song back to its beginning leaves some of its state as it
// was, and with rendering ahead, how far it had got depends on the thread.
class SongStream {
public:
    static constexpr u32 kChunkFrames = kSampleRate / 50;
    // How many chunks the thread renders before the output takes them: about 20 s (4 MB). The song costs
    // most (half a millisecond a field) where the demo draws quickest, so a fast run keeps up with it only on
    // the lead built up where the demo draws slowly.
    static constexpr std::size_t kChunksAhead = 1024;

    SongStream();
    ~SongStream();
    SongStream(const SongStream&) = delete;
    SongStream& operator=(const SongStream&) = delete;

    // Holds `song` (null for none), stopped.
    void load(Song song);
    bool loaded() const;
    // Holds `fresh`, the song opened anew, and renders ahead from its beginning; false without a song.
    bool restart(Song fresh);
    // Stops rendering ahead; what was rendered but not taken is dropped.
    void stop();
    // Takes the next `frames` stereo frames (any count), waiting for them if the thread is behind; silence when
    // stopped.
    void take(s16* samples, u32 frames);
    // The position after the frames taken last (or the start, after a load or restart).
    Position heard() const;

private:
    struct Chunk {
        std::vector<s16> samples;
        Position after;
    };

    void run();
    // Drops what was rendered ahead; called under the lock.
    void drop();
    // Waits until no chunk is in the making; the song is then the caller's while it holds the lock.
    std::unique_lock<std::mutex> settle();

    Song song_; // the thread's while it renders, otherwise touched only under the lock
    Position heard_;
    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<Chunk> ahead_;
    std::size_t taken_ = 0; // frames of the first chunk already taken
    bool rendering_ = false;
    bool running_ = false; // rendering ahead
    bool quit_ = false;
    std::thread thread_;
};

} // namespace amigamod
