#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <utility>

namespace gs {

using u32 = std::uint32_t;

// GS local memory: 4 MiB of 32-bit words; every address wraps at its end.
inline constexpr u32 kMemoryWords = 1u << 20;
inline constexpr u32 kMemoryWordMask = kMemoryWords - 1;

class LocalMemory {
public:
    LocalMemory();
    // The same words, for a second thread that draws into them.
    LocalMemory share() const { return LocalMemory(words_); }

    u32 read(u32 word) const { return words_->at[word & kMemoryWordMask]; }
    void write(u32 word, u32 value) { words_->at[word & kMemoryWordMask] = value; }
    u32* data() { return words_->at; }
    const u32* data() const { return words_->at; }
    void clear();

private:
    // Page aligned, so that each 16-word run of two rows' pixels is one cache line.
    struct alignas(4096) Words {
        u32 at[kMemoryWords];
    };
    explicit LocalMemory(std::shared_ptr<Words> words) : words_(std::move(words)) {}

    std::shared_ptr<Words> words_;
};

} // namespace gs
