#include "console/iop/heap.h"

namespace iop {

std::uint32_t Heap::allocate(std::uint32_t size)
{
    if (size == 0 || size > kEnd - kStart) return 0;
    const std::uint32_t rounded = (size + kAlign - 1) & ~(kAlign - 1);
    std::uint32_t gapStart = kStart;
    for (const auto& [address, length] : blocks_) {
        if (address - gapStart >= rounded) break;
        gapStart = address + length;
    }
    if (kEnd - gapStart < rounded) return 0;
    blocks_.emplace(gapStart, rounded);
    return gapStart;
}

bool Heap::release(std::uint32_t address) { return blocks_.erase(address) != 0; }

} // namespace iop
