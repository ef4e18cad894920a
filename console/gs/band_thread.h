#pragma once

// A second GS drawing thread. It is handed every GIF transfer the console's GS takes, decodes it alike and
// draws the window rows from a split row down, while the console's GS draws the rows above it. The two
// meet where a primitive needs what the other drew (band_hazards.h); the split moves so that neither keeps
// the other waiting long.

#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

#include "console/gs/gs.h"

namespace gs {

// Whether a band thread speeds the console up here: with three processor threads or more, so that it need not
// share a core with the IOP's sound (on two, with the music playing, it slows a pass). ORB_GS_THREADS=1 or 2
// decides instead.
bool BandThreadPays();

// Where the two sides wait for each other: each arrives, and both go on once both have.
class BandMeeting {
public:
    void arriveAndWait();
    // The console's side has stopped: the other no longer waits for it.
    void leave();

private:
    std::mutex mutex_;
    std::condition_variable met_;
    int waiting_ = 0;
    u64 round_ = 0;
    bool alone_ = false;
};

class BandThread {
public:
    // Draws for `console`, in its memory, rows `split` on; `balanced`: and lets balance() move the split.
    BandThread(Gs& console, int split, bool balanced);
    ~BandThread();

    BandMeeting& meeting() { return meeting_; }
    int split() const { return split_; }

    // Hands the thread a copy of a transfer; waits first while it is far behind.
    void post(const Qword* data, u32 count);
    // Returns once the thread has drawn everything posted.
    void drain();
    // At a vertical blank: moves the split when one thread has waited much longer than the other. The
    // caller clips its rows to above the split it returns.
    int balance();

    // The thread's side, once it has drawn everything posted.
    u64 pixelsDrawn();
    u64 meetings();
    // Powers the thread's side up again, as the console's side is; only with nothing posted.
    void resetSide();

private:
    void run();

    BandMeeting meeting_;
    Gs gs_;
    int split_;
    bool balanced_;
    int fields_ = 0;

    std::mutex mutex_;
    std::condition_variable work_, idle_;
    std::deque<std::vector<Qword>> queue_;
    std::vector<std::vector<Qword>> spare_;
    bool busy_ = false;
    bool quit_ = false;
    std::chrono::nanoseconds consoleWaited_{0}, threadWaited_{0};

    std::thread thread_;
};

} // namespace gs
