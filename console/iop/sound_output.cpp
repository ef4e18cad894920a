#include "console/iop/sound_output.h"

#include <algorithm>

#include "console/iop/serving.h"

namespace iop {

SoundOutput::SoundOutput(Iop& iop, std::mutex& modules) : iop_(iop), modules_(modules) {}

SoundOutput::~SoundOutput() { stop(); }

void SoundOutput::set(IrxSoundFill fill, void* context)
{
    fill_ = fill;
    context_ = context;
}

void SoundOutput::start()
{
#if defined(__EMSCRIPTEN__) && !defined(__EMSCRIPTEN_PTHREADS__)
    // No threads here: the field's sound is made at once.
    if (!quit_) fillField();
    return;
#endif
    if (!thread_.joinable()) thread_ = std::thread([this] { run(); });
    {
        std::lock_guard lock(mutex_);
        requested_ = true;
        done_ = false;
    }
    wake_.notify_all();
}

std::span<const std::int16_t> SoundOutput::finish()
{
    std::unique_lock lock(mutex_);
    if (requested_) {
        // The thread has not taken the field up yet, mostly because both cores are busy: making it here
        // costs no more than waiting for the thread to be scheduled.
        requested_ = false;
        lock.unlock();
        const auto since = std::chrono::steady_clock::now();
        fillField();
        waited_ += std::chrono::steady_clock::now() - since;
        lock.lock();
        done_ = true;
        return samples_;
    }
    if (!done_) {
        const auto since = std::chrono::steady_clock::now();
        wake_.wait(lock, [this] { return done_; });
        waited_ += std::chrono::steady_clock::now() - since;
    }
    return samples_;
}

void SoundOutput::stop()
{
    {
        std::lock_guard lock(mutex_);
        quit_ = true;
    }
    wake_.notify_all();
    if (thread_.joinable()) thread_.join();
    std::lock_guard lock(modules_);
    fill_ = nullptr;
}

void SoundOutput::run()
{
    for (;;) {
        {
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [this] { return requested_ || quit_; });
            if (!requested_) return;
            requested_ = false;
        }
        fillField();
        {
            std::lock_guard lock(mutex_);
            done_ = true;
        }
        wake_.notify_all();
    }
}

void SoundOutput::fillField()
{
    std::lock_guard lock(modules_);
    if (!fill_) {
        std::fill(samples_.begin(), samples_.end(), std::int16_t{0});
        return;
    }
    Serving serving(iop_);
    fill_(context_, samples_.data(), kFramesPerField);
}

} // namespace iop
