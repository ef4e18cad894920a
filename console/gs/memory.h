#pragma once

#include <array>
#include <cstdint>
#include <memory>

namespace gs {

using u32 = std::uint32_t;

// GS local memory: 4 MiB of 32-bit words; every address wraps at its end.
inline constexpr u32 kMemoryWords = 1u << 20;
inline constexpr u32 kMemoryWordMask = kMemoryWords - 1;

class LocalMemory {
public:
    LocalMemory();

    u32 read(u32 word) const { return words_[word & kMemoryWordMask]; }
    void write(u32 word, u32 value) { words_[word & kMemoryWordMask] = value; }
    u32* data() { return words_.get(); }
    const u32* data() const { return words_.get(); }
    void clear();

private:
    std::unique_ptr<u32[]> words_;
};

} // namespace gs
