#include "frontend/stats_splits.h"

#include <algorithm>
#include <charconv>
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

bool ParseSplits(const std::string& text, std::vector<std::uint64_t>& out)
{
    out.clear();
    std::size_t begin = 0;
    for (;;) {
        const std::size_t comma = std::min(text.find(',', begin), text.size());
        std::uint64_t mark = 0;
        const char* const first = text.data() + begin;
        const char* const last = text.data() + comma;
        const auto [ptr, ec] = std::from_chars(first, last, mark);
        if (ec != std::errc{} || ptr != last || mark == 0 || (!out.empty() && mark <= out.back())) return false;
        out.push_back(mark);
        if (comma == text.size()) return true;
        begin = comma + 1;
    }
}

} // namespace frontend
