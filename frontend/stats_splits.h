#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

namespace frontend {

// --stats-split: the speed of a run between given fields, all timed in the one run so that the stretches
// are measured alike.
class StatsSplits {
public:
    using Clock = std::chrono::steady_clock;

    // `marks`: field counts in increasing order.
    explicit StatsSplits(std::vector<std::uint64_t> marks);

    // The run starts now.
    void start(Clock::time_point at) { start_ = at; }

    // `done` fields have been shown.
    void fieldsDone(std::uint64_t done)
    {
        if (next_ < marks_.size() && done == marks_[next_]) times_[next_++] = Clock::now();
    }

    // "fields 0-1599 at 812 fields/s, 1600-1999 at ...", the last stretch ending with `done` fields at `end`;
    // empty without marks.
    std::string report(std::uint64_t done, Clock::time_point end) const;

private:
    std::vector<std::uint64_t> marks_;
    std::vector<Clock::time_point> times_;
    Clock::time_point start_;
    std::size_t next_ = 0;
};

} // namespace frontend
