#pragma once

#include <chrono>
#include <cstdint>

namespace console {

// Decides when vertical blanks happen.
class VblankClock {
public:
    virtual ~VblankClock() = default;
    // Number of blanks that have come since the last call (and were not waited for).
    virtual std::uint32_t due() = 0;
    // Returns when the next blank comes; that blank is then no longer due.
    virtual void waitForVblank() = 0;
};

// Headless time: a blank comes exactly when the program waits for one.
class VirtualClock final : public VblankClock {
public:
    std::uint32_t due() override { return 0; }
    void waitForVblank() override {}
};

// Wall-clock time: a blank every period (20 ms for PAL's 50 fields a second).
class WallClock final : public VblankClock {
public:
    explicit WallClock(std::chrono::nanoseconds period = std::chrono::milliseconds(20));
    std::uint32_t due() override;
    void waitForVblank() override;
    // Starts counting afresh from now, as after a pause: the time that passed brings no blanks.
    void restart() { next_ = std::chrono::steady_clock::now() + period_; }

private:
    std::chrono::nanoseconds period_;
    std::chrono::steady_clock::time_point next_;
};

} // namespace console
