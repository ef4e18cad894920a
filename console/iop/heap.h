#pragma once

#include <cstdint>
#include <map>

namespace iop {

// The IOP heap: first-fit blocks of IOP memory above what the kernel and the modules take.
class Heap {
public:
    static constexpr std::uint32_t kStart = 0x100000;
    static constexpr std::uint32_t kEnd = 0x200000;
    static constexpr std::uint32_t kAlign = 64;

    // The block's IOP address, or 0 when none fits (or size is 0).
    std::uint32_t allocate(std::uint32_t size);
    // False when `address` is not a block the heap handed out.
    bool release(std::uint32_t address);
    // The size asked for the block at `address`, 0 when no block starts there.
    std::uint32_t blockSize(std::uint32_t address) const;
    std::uint32_t blocks() const { return static_cast<std::uint32_t>(blocks_.size()); }

private:
    struct Block {
        std::uint32_t size;  // taken, a whole number of kAlign bytes
        std::uint32_t asked; // what the caller asked for
    };
    std::map<std::uint32_t, Block> blocks_; // in address order
};

} // namespace iop
