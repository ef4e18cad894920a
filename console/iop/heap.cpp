#include "console/iop/heap.h"

namespace iop {

std::uint32_t Heap::allocate(std::uint32_t size)
{
    if (size == 0 || size > kEnd - kStart) return 0;
    const std::uint32_t rounded = (size + kAlign - 1) & ~(kAlign - 1);
    std::uint32_t gapStart = kStart;
    for (const auto& [address, block] : blocks_) {
        if (address - gapStart >= rounded) break;
        gapStart = address + block.size;
    }
    if (kEnd - gapStart < rounded) return 0;
    blocks_.emplace(gapStart, Block{rounded, size});
    return gapStart;
}

bool Heap::release(std::uint32_t address) { return blocks_.erase(address) != 0; }

std::uint32_t Heap::blockSize(std::uint32_t address) const
{
    const auto block = blocks_.find(address);
    return block == blocks_.end() ? 0 : block->second.asked;
}

} // namespace iop
