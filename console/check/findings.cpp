#include "console/check/findings.h"

namespace check {

const char* KindName(Kind kind)
{
    static constexpr const char* kNames[kKinds] = {
        "tag-past-end", "data-left-over", "eop-missing", "no-prim", "reserved-bits", "texture-unwritten",
        "texture-in-target", "target-overlap", "stale-dma", "image-size", "image-outside",
    };
    return kNames[static_cast<std::size_t>(kind)];
}

void Findings::report(Kind kind, const std::string& where, const std::string& what)
{
    const auto k = static_cast<std::size_t>(kind);
    ++counts_[k];
    std::string key = std::string(KindName(kind)) + ": " + what;
    auto [it, added] = seen_.try_emplace(std::move(key), 0);
    ++it->second;
    if (!added) return;
    if (++distinct_[k] <= kPrintedPerKind) {
        sink_(std::string(KindName(kind)) + ": " + where + ": " + what);
    } else if (distinct_[k] == kPrintedPerKind + 1) {
        sink_(std::string(KindName(kind)) + ": more findings of this kind are only counted");
    }
}

std::uint64_t Findings::total() const
{
    std::uint64_t n = 0;
    for (const std::uint64_t c : counts_) n += c;
    return n;
}

std::string Findings::summary() const
{
    if (total() == 0) return "no findings";
    std::string text = std::to_string(total()) + (total() == 1 ? " finding" : " findings") + " (" +
                       std::to_string(seen_.size()) + " distinct):";
    const char* separator = " ";
    for (std::size_t k = 0; k < kKinds; ++k) {
        if (counts_[k] == 0) continue;
        text += separator + std::string(KindName(static_cast<Kind>(k))) + " " + std::to_string(counts_[k]);
        separator = ", ";
    }
    return text;
}

} // namespace check
