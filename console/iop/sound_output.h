#pragma once

#include <array>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <span>
#include <thread>

#include "iop/irx.h"

namespace iop {

class Iop;

// LIBSD's output: 48,000 stereo frames a second, one PAL field's worth at each vertical blank.
inline constexpr std::uint32_t kSampleRate = 48000;
inline constexpr std::uint32_t kFramesPerField = kSampleRate / 50;

// LIBSD's output stream. As on the console, the IOP makes each field's sound on its own while the EE goes
// on: the module's fill runs on a thread of its own, under the lock that keeps module code on one thread
// at a time. A call into a module waits until the field in the making is done, so the sound comes out
// exactly as if it were made at the blank; a field the thread has not begun by then is made by the caller.
class SoundOutput {
public:
    SoundOutput(Iop& iop, std::mutex& modules);
    ~SoundOutput();
    SoundOutput(const SoundOutput&) = delete;
    SoundOutput& operator=(const SoundOutput&) = delete;

    // Called from module code, with the module lock held; a null fill is silence.
    void set(IrxSoundFill fill, void* context);
    // Starts making the next field's sound.
    void start();
    // Waits for the field started last: stereo samples, left then right.
    std::span<const std::int16_t> finish();
    // Waits until no field is in the making.
    void settle() { finish(); }
    // How long the callers of finish and settle have spent on the field in the making (waiting for it or
    // making it), in all.
    std::chrono::nanoseconds waited() const { return waited_; }
    // Ends the thread; the output is silent from then on.
    void stop();

private:
    void run();
    void fillField();

    Iop& iop_;
    std::mutex& modules_;
    IrxSoundFill fill_ = nullptr;
    void* context_ = nullptr;
    std::array<std::int16_t, 2 * kFramesPerField> samples_{};

    std::mutex mutex_;
    std::condition_variable wake_;
    bool requested_ = false;
    bool done_ = true;
    bool quit_ = false;
    std::chrono::nanoseconds waited_{0}; // the console thread's only
    std::thread thread_;
};

} // namespace iop
