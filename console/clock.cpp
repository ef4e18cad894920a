#include "console/clock.h"

#include <thread>

namespace console {

WallClock::WallClock(std::chrono::nanoseconds period)
    : period_(period), next_(std::chrono::steady_clock::now() + period)
{
}

std::uint32_t WallClock::due()
{
    const auto now = std::chrono::steady_clock::now();
    if (now < next_) return 0;
    const auto late = (now - next_) / period_ + 1;
    next_ += late * period_;
    return static_cast<std::uint32_t>(late);
}

void WallClock::waitForVblank()
{
    std::this_thread::sleep_until(next_);
    next_ += period_;
}

} // namespace console
