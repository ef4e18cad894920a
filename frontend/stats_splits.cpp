#include "frontend/stats_splits.h"

#include <cstdio>
#include <utility>

namespace frontend {

StatsSplits::StatsSplits(std::vector<std::uint64_t> marks) : marks_(std::move(marks)), times_(marks_.size()) {}

std::string StatsSplits::report(std::uint64_t done, Clock::time_point end) const
{
    if (marks_.empty()) return {};
    std::string out;
    std::uint64_t from = 0;
    Clock::time_point since = start_;
    // The stretches the run reached, and the rest of the run after the last mark it reached.
    for (std::size_t i = 0; i <= next_; ++i) {
        const std::uint64_t to = i < next_ ? marks_[i] : done;
        const Clock::time_point at = i < next_ ? times_[i] : end;
        if (to <= from) break;
        const double seconds = std::chrono::duration<double>(at - since).count();
        char line[96];
        std::snprintf(line, sizeof line, "%s%llu-%llu at %.0f fields/s", out.empty() ? "fields " : ", ",
                      static_cast<unsigned long long>(from), static_cast<unsigned long long>(to - 1),
                      seconds > 0 ? static_cast<double>(to - from) / seconds : 0.0);
        out += line;
        from = to;
        since = at;
    }
    return out;
}

} // namespace frontend
