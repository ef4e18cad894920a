#include "song_stream.h"

#include <algorithm>

namespace amigamod {

namespace {

Position PositionOf(openmpt_module* song)
{
    return {openmpt_module_get_current_order(song), openmpt_module_get_current_pattern(song),
            openmpt_module_get_current_row(song), openmpt_module_get_current_speed(song)};
}

} // namespace

SongStream::SongStream() : thread_([this] { run(); }) {}

SongStream::~SongStream()
{
    {
        std::lock_guard lock(mutex_);
        quit_ = true;
    }
    wake_.notify_all();
    thread_.join();
}

void SongStream::load(Song song)
{
    auto lock = settle();
    drop();
    running_ = false;
    song_ = std::move(song);
    heard_ = song_ ? PositionOf(song_.get()) : Position{};
}

bool SongStream::loaded() const
{
    std::lock_guard lock(mutex_);
    return song_ != nullptr;
}

bool SongStream::restart(Song fresh)
{
    auto lock = settle();
    if (!song_ || !fresh)
        return false;
    drop();
    song_ = std::move(fresh);
    heard_ = PositionOf(song_.get());
    running_ = true;
    wake_.notify_all();
    return true;
}

void SongStream::stop()
{
    std::lock_guard lock(mutex_);
    drop();
    running_ = false;
}

Position SongStream::heard() const
{
    std::lock_guard lock(mutex_);
    return heard_;
}

void SongStream::take(s16* samples, u32 frames)
{
    std::unique_lock lock(mutex_);
    size_t done = 0;
    while (done < frames) {
        wake_.wait(lock, [this] { return !ahead_.empty() || !running_; });
        if (ahead_.empty())
            break;
        Chunk& chunk = ahead_.front();
        const size_t count = std::min(size_t{frames} - done, chunk.samples.size() / 2 - taken_);
        std::copy_n(chunk.samples.begin() + static_cast<std::ptrdiff_t>(2 * taken_), 2 * count, samples + 2 * done);
        done += count;
        taken_ += count;
        heard_ = chunk.after;
        if (2 * taken_ == chunk.samples.size()) {
            ahead_.pop_front();
            taken_ = 0;
            wake_.notify_all();
        }
    }
    std::fill(samples + 2 * done, samples + 2 * size_t{frames}, s16{0});
}

void SongStream::drop()
{
    ahead_.clear();
    taken_ = 0;
}

std::unique_lock<std::mutex> SongStream::settle()
{
    std::unique_lock lock(mutex_);
    wake_.wait(lock, [this] { return !rendering_; });
    return lock;
}

void SongStream::run()
{
    std::unique_lock lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] { return quit_ || (running_ && ahead_.size() < kChunksAhead); });
        if (quit_)
            return;
        // A chunk the song does not fill (it cannot, as it repeats for ever) ends in silence, as the output's would.
        Chunk chunk{std::vector<s16>(2 * size_t{kChunkFrames}), {}};
        rendering_ = true;
        lock.unlock();
        openmpt_module_read_interleaved_stereo(song_.get(), kSampleRate, chunk.samples.size() / 2,
                                               chunk.samples.data());
        chunk.after = PositionOf(song_.get());
        lock.lock();
        rendering_ = false;
        // A stop while it was made drops it; a restart or load waits for it, then drops it.
        if (running_)
            ahead_.push_back(std::move(chunk));
        wake_.notify_all();
    }
}

} // namespace amigamod
