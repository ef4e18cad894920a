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
    std::uint32_t blocks() const { return static_cast<std::uint32_t>(blocks_.size()); }

private:
    std::map<std::uint32_t, std::uint32_t> blocks_; // address -> size, in address order
};

} // namespace iop
