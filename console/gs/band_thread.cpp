#include "console/gs/band_thread.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#ifdef __linux__
#include <sched.h>
#endif

namespace gs {
namespace {

// The thread's messages are the console's own, which the console's side reports.
console::SilentLog silent;

// Transfers the thread may lag behind before the console waits for it: about four fields of the demo.
constexpr std::size_t kMostBehind = 64;
// Fields between looks at the balance, and the rows the split moves by.
constexpr int kBalanceFields = 25;
constexpr int kSplitStep = 8;

using Clock = std::chrono::steady_clock;

// Processor threads this process may run on.
unsigned ProcessorThreads()
{
#ifdef __linux__
    cpu_set_t set;
    if (sched_getaffinity(0, sizeof set, &set) == 0) return static_cast<unsigned>(CPU_COUNT(&set));
#endif
    return std::thread::hardware_concurrency();
}

} // namespace

bool BandThreadPays()
{
    if (const char* forced = std::getenv("ORB_GS_THREADS")) return std::strcmp(forced, "2") == 0;
    return ProcessorThreads() >= 3;
}

void BandMeeting::arriveAndWait()
{
    std::unique_lock lock(mutex_);
    if (alone_) return;
    if (++waiting_ == 2) {
        waiting_ = 0;
        ++round_;
        met_.notify_all();
        return;
    }
    const u64 round = round_;
    met_.wait(lock, [&] { return round_ != round || alone_; });
}

void BandMeeting::leave()
{
    {
        std::lock_guard lock(mutex_);
        alone_ = true;
    }
    met_.notify_all();
}

BandThread::BandThread(Gs& console, int split, bool balanced)
    : gs_(silent, console, meeting_, split), split_(split), balanced_(balanced), thread_([this] { run(); })
{
}

BandThread::~BandThread()
{
    {
        std::lock_guard lock(mutex_);
        quit_ = true;
    }
    work_.notify_one();
    // Should the console's side have stopped between two meetings, the thread goes on alone.
    meeting_.leave();
    thread_.join();
}

void BandThread::post(const Qword* data, u32 count)
{
    std::unique_lock lock(mutex_);
    if (queue_.size() >= kMostBehind) {
        const auto since = Clock::now();
        idle_.wait(lock, [this] { return queue_.size() < kMostBehind / 2; });
        consoleWaited_ += Clock::now() - since;
    }
    std::vector<Qword> copy;
    if (!spare_.empty()) {
        copy = std::move(spare_.back());
        spare_.pop_back();
    }
    copy.assign(data, data + count);
    queue_.push_back(std::move(copy));
    lock.unlock();
    work_.notify_one();
}

void BandThread::drain()
{
    std::unique_lock lock(mutex_);
    if (queue_.empty() && !busy_) return;
    const auto since = Clock::now();
    idle_.wait(lock, [this] { return queue_.empty() && !busy_; });
    consoleWaited_ += Clock::now() - since;
}

int BandThread::balance()
{
    if (!balanced_ || ++fields_ % kBalanceFields != 0) return split_;
    std::chrono::nanoseconds console, thread;
    {
        std::lock_guard lock(mutex_);
        console = std::exchange(consoleWaited_, {});
        thread = std::exchange(threadWaited_, {});
    }
    // A millisecond over 25 fields is noise.
    const auto margin = std::chrono::milliseconds(1);
    int split = split_;
    if (console > thread + margin) split += kSplitStep;      // the thread has too much
    else if (thread > console + margin) split -= kSplitStep; // the console has
    split = std::clamp(split, 0, 2048);
    if (split == split_) return split_;
    // Rows change hands only while the thread is idle; both sides rebuild their setups from the next primitive.
    drain();
    split_ = split;
    gs_.band_.y0 = split;
    gs_.setupValid_ = false;
    return split_;
}

u64 BandThread::pixelsDrawn()
{
    drain();
    return gs_.pixelsDrawn_;
}

u64 BandThread::meetings()
{
    drain();
    return gs_.band_.meetings;
}

void BandThread::resetSide() { gs_.reset(); }

void BandThread::run()
{
    std::unique_lock lock(mutex_);
    for (;;) {
        if (queue_.empty()) {
            const auto since = Clock::now();
            work_.wait(lock, [this] { return quit_ || !queue_.empty(); });
            threadWaited_ += Clock::now() - since;
        }
        if (quit_) return;
        std::vector<Qword> data = std::move(queue_.front());
        queue_.pop_front();
        busy_ = true;
        lock.unlock();
        gs_.transfer(data.data(), static_cast<u32>(data.size()));
        lock.lock();
        busy_ = false;
        spare_.push_back(std::move(data));
        idle_.notify_all();
    }
}

} // namespace gs
